#include <algorithm>
using std::max;
using std::min;
#include <objidl.h>
#include <gdiplus.h>

#include <cstring>

#include "ui/core/paint/control/control.h"
#include "ui/core/paint/manager/layered_window_internal.h"
#include "ui/core/paint/manager/paint_manager_internal.h"
#include "ui/core/paint/render/render_engine.h"

namespace SkinUI {

namespace {

void InitSharedDefaults() {
  PaintManagerGlobals& g = UIGlobals();
  if (g.shared.DefaultFontInfo.hFont != nullptr) return;
  LOGFONTW lf = {};
  ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(LOGFONTW), &lf);
  lf.lfCharSet = DEFAULT_CHARSET;
  HFONT font = ::CreateFontIndirectW(&lf);
  FontInfo& info = g.shared.DefaultFontInfo;
  info.hFont = font;
  info.sFontName = lf.lfFaceName;
  info.iSize = -lf.lfHeight;
  info.bBold = lf.lfWeight >= FW_BOLD;
  info.bUnderline = lf.lfUnderline == TRUE;
  info.bItalic = lf.lfItalic == TRUE;
  memset(&info.tm, 0, sizeof(info.tm));
  if (!g.commonControlsReady) {
    ::InitCommonControls();
    g.msimg32 = ::LoadLibraryW(L"msimg32.dll");
    g.commonControlsReady = true;
  }
}

}  // namespace

CPaintManagerUI::CPaintManagerUI()
    : m_hWndPaint(nullptr),
      m_hDcPaint(nullptr),
      m_hDcOffscreen(nullptr),
      m_hDcBackground(nullptr),
      m_hbmpOffscreen(nullptr),
      m_pOffscreenBits(nullptr),
      m_hbmpBackground(nullptr),
      m_pDPI(nullptr),
      m_bShowUpdateRect(false),
      m_bUseGdiplusText(false),
      m_trh(0),
      m_gdiplusToken(0),
      m_hwndTooltip(nullptr),
      m_iHoverTime(400),
      m_bCaretShowing(false),
      m_bCaretActive(false),
      m_pCaretOwner(nullptr),
      m_pRoot(nullptr),
      m_pFocus(nullptr),
      m_pEventHover(nullptr),
      m_pEventClick(nullptr),
      m_pEventKey(nullptr),
      m_uTimerID(0x1000),
      m_bFirstLayout(true),
      m_bUpdateNeeded(false),
      m_bFocusNeeded(false),
      m_bOffscreenPaint(true),
      m_nOpacity(0xFF),
      m_bLayered(false),
      m_bLayeredOpacitySet(false),
      m_dwLayeredError(0),
      m_bDragMode(false),
      m_hDragBitmap(nullptr),
      m_bMouseTracking(false),
      m_bMouseCapture(false),
      m_bIsPainting(false),
      m_bUsedVirtualWnd(false),
      m_bForceUseSharedRes(false) {
  InitSharedDefaults();
  const ResourceInfo& shared = UIGlobals().shared;
  m_ResInfo.dwDefaultDisabledColor = shared.dwDefaultDisabledColor;
  m_ResInfo.dwDefaultFontColor = shared.dwDefaultFontColor;
  m_ResInfo.dwDefaultLinkFontColor = shared.dwDefaultLinkFontColor;
  m_ResInfo.dwDefaultLinkHoverFontColor = shared.dwDefaultLinkHoverFontColor;
  m_ResInfo.dwDefaultSelectedBkColor = shared.dwDefaultSelectedBkColor;
  m_ResInfo.DefaultFontInfo.hFont = nullptr;
  m_ResInfo.DefaultFontInfo.iSize = 0;
  m_ResInfo.DefaultFontInfo.bBold = m_ResInfo.DefaultFontInfo.bUnderline = m_ResInfo.DefaultFontInfo.bItalic = false;
  memset(&m_ResInfo.DefaultFontInfo.tm, 0, sizeof(m_ResInfo.DefaultFontInfo.tm));
  memset(&m_ToolTip, 0, sizeof(m_ToolTip));
  memset(&m_rtCaret, 0, sizeof(m_rtCaret));
  m_ptLastMousePos.x = m_ptLastMousePos.y = -1;

  Gdiplus::GdiplusStartupInput input;
  Gdiplus::GdiplusStartup(&m_gdiplusToken, &input, nullptr);
  CShadowUI::Initialize(GetInstance());
  UIGlobals().managers.Add(this);
}

CPaintManagerUI::~CPaintManagerUI() {
  DeleteDelayedCleanup();
  for (int i = 0; i < m_aAsyncNotify.GetSize(); ++i) delete static_cast<NotifyRecordUI*>(m_aAsyncNotify[i]);
  m_aAsyncNotify.Empty();
  m_mNameHash.Resize(0);
  CControlUI* root = m_pRoot;
  m_pRoot = nullptr;
  delete root;

  DeleteFontInfo(&m_ResInfo.DefaultFontInfo);
  RemoveAllFonts();
  RemoveAllImages();
  RemoveAllDefaultAttributeList();
  RemoveAllStyles();
  RemoveAllOptionGroups();
  RemoveAllTimers();
  RemoveAllDrawInfos();

  if (m_hwndTooltip != nullptr) {
    ::DestroyWindow(m_hwndTooltip);
    m_hwndTooltip = nullptr;
  }
  for (int i = 0; i < m_aFonts.GetSize(); ++i) ::RemoveFontMemResourceEx(static_cast<HANDLE>(m_aFonts[i]));
  m_aFonts.Empty();
  DeleteOffscreen();
  if (m_hDcPaint != nullptr) ::ReleaseDC(m_hWndPaint, m_hDcPaint);
  PaintManagerGlobals& g = UIGlobals();
  int live = g.liveManagers.Find(this);
  if (live >= 0) g.liveManagers.Remove(live);
  g.managers.Remove(g.managers.Find(this));
  RevokeDropTarget();
  if (m_hDragBitmap != nullptr) ::DeleteObject(m_hDragBitmap);
  if (m_gdiplusToken != 0) Gdiplus::GdiplusShutdown(m_gdiplusToken);
  delete m_pDPI;
}

void CPaintManagerUI::DeleteOffscreen() {
  if (m_hDcOffscreen != nullptr) ::DeleteDC(m_hDcOffscreen);
  if (m_hDcBackground != nullptr) ::DeleteDC(m_hDcBackground);
  if (m_hbmpOffscreen != nullptr) ::DeleteObject(m_hbmpOffscreen);
  if (m_hbmpBackground != nullptr) ::DeleteObject(m_hbmpBackground);
  m_hDcOffscreen = m_hDcBackground = nullptr;
  m_hbmpOffscreen = m_hbmpBackground = nullptr;
  m_pOffscreenBits = nullptr;
}

void CPaintManagerUI::Init(HWND hWnd, const wchar_t* name) {
  m_mNameHash.Resize(CUIStringMap::kDefaultBuckets);
  RemoveAllFonts();
  RemoveAllImages();
  RemoveAllDefaultAttributeList();
  RemoveAllStyles();
  RemoveAllOptionGroups();
  RemoveAllTimers();
  m_sName = name;
  if (m_hWndPaint != hWnd) {
    // A manager moved to another window gives the old window's DC back first.
    if (m_hDcPaint != nullptr) ::ReleaseDC(m_hWndPaint, m_hDcPaint);
    RevokeDropTarget();
    m_hWndPaint = hWnd;
    m_hDcPaint = ::GetDC(hWnd);
    PaintManagerGlobals& g = UIGlobals();
    if (g.liveManagers.Find(this) < 0) g.liveManagers.Add(this);
  }
  SetTargetWnd(hWnd);
  RegisterDropTarget();
}

CDPIScaler* CPaintManagerUI::GetDPIObject() {
  if (m_pDPI == nullptr) m_pDPI = new CDPIScaler();
  return m_pDPI;
}

bool CPaintManagerUI::AttachDialog(CControlUI* pControl) {
  m_shadow.Create(this);
  SetFocus(nullptr);
  m_pEventKey = nullptr;
  m_pEventHover = nullptr;
  m_pEventClick = nullptr;
  if (m_pRoot != nullptr) {
    m_aPostPaintControls.Empty();
    AddDelayedCleanup(m_pRoot);
  }
  m_pRoot = pControl;
  m_bUpdateNeeded = true;
  m_bFirstLayout = true;
  m_bFocusNeeded = true;
  return InitControls(pControl, nullptr);
}

bool CPaintManagerUI::InitControls(CControlUI* pControl, CControlUI* pParent) {
  if (pControl == nullptr) return false;
  pControl->SetManager(this, pParent != nullptr ? pParent : pControl->GetParent(), true);
  pControl->FindControl(__FindControlFromNameHash, this, UIFIND_ALL);
  return true;
}

CControlUI* CALLBACK CPaintManagerUI::__FindControlFromNameHash(CControlUI* pThis, LPVOID pData) {
  CPaintManagerUI* manager = static_cast<CPaintManagerUI*>(pData);
  CUIString name = pThis->GetName();
  if (!name.IsEmpty()) manager->m_mNameHash.Set(name.GetData(), pThis);
  return nullptr;
}

void CPaintManagerUI::AddDelayedCleanup(CControlUI* pControl) {
  if (pControl == nullptr) return;
  pControl->SetManager(this, nullptr, false);
  if (!m_aDelayedCleanup.Add(pControl)) return;
  m_queuedForCleanup.insert(pControl);
  ::PostMessageW(m_hWndPaint, kCleanupMessage, 0, 0);
}

// One at a time from the list itself, last first: a control that goes may take another queued
// one with it, and a control that dies leaves the list.
void CPaintManagerUI::DeleteDelayedCleanup() {
  for (int last = m_aDelayedCleanup.GetSize() - 1; last >= 0; last = m_aDelayedCleanup.GetSize() - 1) {
    CControlUI* control = static_cast<CControlUI*>(m_aDelayedCleanup[last]);
    m_aDelayedCleanup.Remove(last);
    m_queuedForCleanup.erase(control);
    delete control;
  }
}

CUISize CPaintManagerUI::GetInitSize() { return m_szInitWindowSize; }

void CPaintManagerUI::SetInitSize(int cx, int cy) {
  m_szInitWindowSize.cx = cx;
  m_szInitWindowSize.cy = cy;
  if (m_pRoot == nullptr && m_hWndPaint != nullptr) {
    // Never larger than the monitor's work area, as far as the window may be sized by hand: a
    // window of a skin's 32768 rows cannot be seen, and its shape region (round corners) is more
    // than the display takes (Wine's X11 driver ends the process on it).
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof(monitor);
    if (::GetMonitorInfoW(::MonitorFromWindow(m_hWndPaint, MONITOR_DEFAULTTOPRIMARY), &monitor)) {
      cx = std::min<int>(cx, monitor.rcWork.right - monitor.rcWork.left);
      cy = std::min<int>(cy, monitor.rcWork.bottom - monitor.rcWork.top);
    }
    ::SetWindowPos(m_hWndPaint, nullptr, 0, 0, cx, cy, SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
  }
}

void CPaintManagerUI::SetMinInfo(int cx, int cy) {
  m_szMinWindow.cx = cx;
  m_szMinWindow.cy = cy;
}

void CPaintManagerUI::SetMaxInfo(int cx, int cy) {
  m_szMaxWindow.cx = cx;
  m_szMaxWindow.cy = cy;
}

void CPaintManagerUI::SetRoundCorner(int cx, int cy) {
  m_szRoundCorner.cx = cx;
  m_szRoundCorner.cy = cy;
}

void CPaintManagerUI::NeedUpdate() { m_bUpdateNeeded = true; }

void CPaintManagerUI::Invalidate() {
  RECT client = {0, 0, 0, 0};
  ::GetClientRect(m_hWndPaint, &client);
  m_rcLayeredUpdate.Join(client);
  ::UnionRect(&m_rcInvalidated, &m_rcInvalidated, &client);
  ::InvalidateRect(m_hWndPaint, nullptr, FALSE);
}

void CPaintManagerUI::Invalidate(RECT& rcItem) {
  if (rcItem.left < 0) rcItem.left = 0;
  if (rcItem.top < 0) rcItem.top = 0;
  if (rcItem.right < rcItem.left) rcItem.right = rcItem.left;
  if (rcItem.bottom < rcItem.top) rcItem.bottom = rcItem.top;
  m_rcLayeredUpdate.Join(rcItem);
  ::UnionRect(&m_rcInvalidated, &m_rcInvalidated, &rcItem);
  // An empty rectangle adds nothing to the update region, but the call is still a round trip to
  // the window server: a window's start makes over a hundred of them.
  if (!::IsRectEmpty(&rcItem)) ::InvalidateRect(m_hWndPaint, &rcItem, FALSE);
}

bool CPaintManagerUI::GetChildWndRect(HWND hWnd, HWND hChildWnd, RECT& rcChildWnd) {
  if (!::GetWindowRect(hChildWnd, &rcChildWnd)) return false;
  POINT pt = {rcChildWnd.left, rcChildWnd.top};
  ::ScreenToClient(hWnd, &pt);
  int width = rcChildWnd.right - rcChildWnd.left;
  int height = rcChildWnd.bottom - rcChildWnd.top;
  rcChildWnd.left = pt.x;
  rcChildWnd.top = pt.y;
  rcChildWnd.right = pt.x + width;
  rcChildWnd.bottom = pt.y + height;
  return true;
}

void CPaintManagerUI::SetOpacity(BYTE nOpacity) {
  m_nOpacity = nOpacity;
  if (m_hWndPaint == nullptr) return;
  if (m_bLayered) {
    // Layered painting carries the opacity in its blend; window attributes would stop it.
    Invalidate();
    return;
  }
  PFN_SetLayeredWindowAttributes setAttributes = LookUpSetLayeredWindowAttributes();
  if (setAttributes == nullptr) return;
  LONG exStyle = ::GetWindowLongW(m_hWndPaint, GWL_EXSTYLE);
  if ((exStyle & WS_EX_LAYERED) == 0) ::SetWindowLongW(m_hWndPaint, GWL_EXSTYLE, exStyle | WS_EX_LAYERED);
  setAttributes(m_hWndPaint, 0, nOpacity, LWA_ALPHA);
}

void CPaintManagerUI::SetLayeredOpacity(BYTE nOpacity) {
  m_nOpacity = nOpacity;
  m_bLayeredOpacitySet = true;
  Invalidate();
}

void CPaintManagerUI::SetLayered(bool bLayered) {
  if (m_hWndPaint == nullptr || bLayered == m_bLayered) return;
  if ((::GetWindowLongW(m_hWndPaint, GWL_STYLE) & WS_CHILD) != 0) return;
  if (LookUpUpdateLayeredWindow() == nullptr) return;
  m_bLayered = bLayered;
  LONG exStyle = ::GetWindowLongW(m_hWndPaint, GWL_EXSTYLE);
  if (bLayered && (exStyle & WS_EX_LAYERED) != 0) {
    // Attributes set earlier would make every layered update fail: start the layered state afresh.
    ::SetWindowLongW(m_hWndPaint, GWL_EXSTYLE, exStyle & ~WS_EX_LAYERED);
    ::SetWindowLongW(m_hWndPaint, GWL_EXSTYLE, exStyle);
  }
  if (m_pRoot != nullptr) m_pRoot->NeedUpdate();
  Invalidate();
}

bool CPaintManagerUI::AddNativeWindow(HWND hChildWnd) {
  RECT rcChild;
  if (GetChildWndRect(m_hWndPaint, hChildWnd, rcChild)) Invalidate(rcChild);
  if (m_aNativeWindow.Find(hChildWnd) >= 0) return false;
  return m_aNativeWindow.Add(hChildWnd);
}

bool CPaintManagerUI::RemoveNativeWindow(HWND hChildWnd) {
  int index = m_aNativeWindow.Find(hChildWnd);
  return index >= 0 && m_aNativeWindow.Remove(index);
}

CControlUI* CPaintManagerUI::FindControl(const wchar_t* name) const {
  if (name == nullptr) return nullptr;
  return static_cast<CControlUI*>(m_mNameHash.Find(name));
}

CControlUI* CPaintManagerUI::FindControl(POINT pt) const { return FindControlAt(pt); }

bool CPaintManagerUI::AddOptionGroup(const wchar_t* group, CControlUI* pControl) {
  if (group == nullptr) return false;
  if (pControl != nullptr) pControl->SetHoldingManager(this);
  CUIPtrArray* members = static_cast<CUIPtrArray*>(m_mOptionGroup.Find(group));
  if (members == nullptr) {
    members = new CUIPtrArray(6);
    if (!m_mOptionGroup.Insert(group, members)) {
      delete members;
      return false;
    }
  }
  if (members->Find(pControl) >= 0) return false;
  return members->Add(pControl);
}

CUIPtrArray* CPaintManagerUI::GetOptionGroup(const wchar_t* group) {
  if (group == nullptr) return nullptr;
  return static_cast<CUIPtrArray*>(m_mOptionGroup.Find(group));
}

void CPaintManagerUI::RemoveOptionGroup(const wchar_t* group, CControlUI* pControl) {
  CUIPtrArray* members = GetOptionGroup(group);
  if (members == nullptr) return;
  int index = members->Find(pControl);
  if (index >= 0) members->Remove(index);
  if (members->IsEmpty()) {
    delete members;
    m_mOptionGroup.Remove(group);
  }
}

void CPaintManagerUI::RemoveAllOptionGroups() {
  for (int i = 0; i < m_mOptionGroup.GetSize(); ++i) {
    const wchar_t* key = m_mOptionGroup.GetAt(i);
    if (key != nullptr) delete static_cast<CUIPtrArray*>(m_mOptionGroup.Find(key, false));
  }
  m_mOptionGroup.RemoveAll();
}

}  // namespace SkinUI
