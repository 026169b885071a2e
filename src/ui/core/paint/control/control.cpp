#include "ui/core/paint/control/control.h"

#include "ui/core/base/system_cursor.h"
#include "ui/core/paint/manager/paint_manager.h"
#include "ui/core/resources/resource_table.h"

namespace SkinUI {

CControlUI::CControlUI()
    : m_pManager(nullptr),
      m_pParent(nullptr),
      m_bUpdateNeeded(true),
      m_bMenuUsed(false),
      m_cxFixed(0),
      m_cyFixed(0),
      m_cxMin(0),
      m_cyMin(0),
      m_cxMax(9999),
      m_cyMax(9999),
      m_bVisible(true),
      m_bInternVisible(true),
      m_bEnabled(true),
      m_bMouseEnabled(true),
      m_bKeyboardEnabled(true),
      m_bFocused(false),
      m_bFloat(false),
      m_piFloatPercent{0, 0, 0, 0},
      m_uFloatAlign(0),
      m_bSetPos(false),
      m_bDragEnabled(false),
      m_bDropEnabled(false),
      m_bResourceText(false),
      m_chShortcut(L'\0'),
      m_pTag(0),
      m_dwBackColor(0),
      m_dwBackColor2(0),
      m_dwBackColor3(0),
      m_dwForeColor(0),
      m_dwBorderColor(0),
      m_dwFocusBorderColor(0),
      m_bColorHSL(false),
      m_nBorderSize(0),
      m_nBorderStyle(0),
      m_nTooltipWidth(300),
      m_wCursor(0) {}

CControlUI::~CControlUI() {
  for (CControlWatch* watch = m_pWatches; watch != nullptr; watch = watch->m_pNext) watch->m_pControl = nullptr;
  m_pWatches = nullptr;
  if (OnDestroy) OnDestroy(this);
  RemoveAllCustomAttribute();
  CPaintManagerUI::ForgetControl(this);
}

// The control holds the watch only while the watch lives: its destructor takes itself off.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdangling-pointer"
CControlWatch::CControlWatch(CControlUI* pControl) : m_pControl(pControl), m_pNext(nullptr) {
  if (pControl == nullptr) return;
  m_pNext = pControl->m_pWatches;
  pControl->m_pWatches = this;
}
#pragma GCC diagnostic pop

CControlWatch::~CControlWatch() {
  if (m_pControl == nullptr) return;
  for (CControlWatch** link = &m_pControl->m_pWatches; *link != nullptr; link = &(*link)->m_pNext) {
    if (*link != this) continue;
    *link = m_pNext;
    return;
  }
}

int CControlUI::ScaleValue(int value) const {
  return m_pManager != nullptr ? m_pManager->GetDPIObject()->Scale(value) : value;
}

CUIString CControlUI::GetName() const { return m_sName; }
void CControlUI::SetName(const wchar_t* pstrName) { m_sName = pstrName; }
const wchar_t* CControlUI::GetClass() const { return L"ControlUI"; }

LPVOID CControlUI::GetInterface(const wchar_t* pstrName) {
  if (pstrName != nullptr && _wcsicmp(pstrName, L"Control") == 0) return this;
  return nullptr;
}

UINT CControlUI::GetControlFlags() const { return 0; }
bool CControlUI::Activate() { return IsVisible() && IsEnabled(); }
CPaintManagerUI* CControlUI::GetManager() const { return m_pManager; }

void CControlUI::SetManager(CPaintManagerUI* pManager, CControlUI* pParent, bool bInit) {
  if (pManager != nullptr) SetHoldingManager(pManager);
  m_pManager = pManager;
  m_pParent = pParent;
  if (bInit && m_pParent != nullptr) Init();
}

void CControlUI::SetHoldingManager(CPaintManagerUI* pManager) {
  if (pManager == m_pHoldingManager) return;
  CPaintManagerUI* former = m_pHoldingManager;
  m_pHoldingManager = pManager;
  if (former != nullptr) CPaintManagerUI::ReleaseMovedControl(former, this);
}

CControlUI* CControlUI::GetParent() const { return m_pParent; }

CUIString CControlUI::GetText() const {
  if (m_bResourceText) return CResourceTableUI::GetInstance()->GetText(m_sText.GetData());
  return m_sText;
}

void CControlUI::SetText(const wchar_t* pstrText) {
  if (m_sText == (pstrText ? pstrText : L"")) return;
  m_sText = pstrText;
  Invalidate();
}

bool CControlUI::IsResourceText() const { return m_bResourceText; }

void CControlUI::SetResourceText(bool bResource) {
  if (m_bResourceText == bResource) return;
  m_bResourceText = bResource;
  Invalidate();
}

bool CControlUI::IsDragEnabled() const { return m_bDragEnabled; }
void CControlUI::SetDragEnabled(bool bDrag) { m_bDragEnabled = bDrag; }
bool CControlUI::IsDropEnabled() const { return m_bDropEnabled; }
void CControlUI::SetDropEnabled(bool bDrop) { m_bDropEnabled = bDrop; }

RECT CControlUI::GetRelativePos() const {
  if (m_pParent == nullptr) return CUIRect();
  CUIRect pos(m_rcItem);
  const RECT& parent = m_pParent->GetPos();
  pos.Offset(-parent.left, -parent.top);
  return pos;
}

RECT CControlUI::GetClientPos() const { return m_rcItem; }
const RECT& CControlUI::GetPos() const { return m_rcItem; }

void CControlUI::SetPos(RECT rc, bool bNeedInvalidate) {
  if (rc.right < rc.left) rc.right = rc.left;
  if (rc.bottom < rc.top) rc.bottom = rc.top;
  CUIRect invalidate = m_rcItem;
  if (::IsRectEmpty(&invalidate)) invalidate = rc;
  m_rcItem = rc;
  if (m_pManager == nullptr) return;
  if (!m_bSetPos) {
    m_bSetPos = true;
    // The program's size delegates may delete this control.
    CControlWatch alive(this);
    if (OnSize) OnSize(this);
    if (!alive) return;
    m_bSetPos = false;
  }
  m_bUpdateNeeded = false;
  if (!bNeedInvalidate || !IsVisible()) return;
  invalidate.Join(m_rcItem);
  for (CControlUI* parent = m_pParent; parent != nullptr; parent = parent->GetParent()) {
    if (!parent->IsVisible()) return;
    RECT parentPos = parent->GetPos();
    if (!::IntersectRect(&invalidate, &invalidate, &parentPos)) return;
  }
  m_pManager->Invalidate(invalidate);
}

void CControlUI::Move(SIZE szOffset, bool bNeedInvalidate) {
  m_cXY.cx += szOffset.cx;
  m_cXY.cy += szOffset.cy;
  NeedParentUpdate();
}

int CControlUI::GetWidth() const { return m_rcItem.right - m_rcItem.left; }
int CControlUI::GetHeight() const { return m_rcItem.bottom - m_rcItem.top; }
int CControlUI::GetX() const { return m_rcItem.left; }
int CControlUI::GetY() const { return m_rcItem.top; }

RECT CControlUI::GetPadding() const {
  CUIRect padding = m_rcPadding;
  if (m_pManager != nullptr) m_pManager->GetDPIObject()->Scale(&padding);
  return padding;
}

void CControlUI::SetPadding(RECT rcPadding) {
  m_rcPadding = rcPadding;
  NeedParentUpdate();
}

SIZE CControlUI::GetFixedXY() const {
  CUISize xy = m_cXY;
  if (m_pManager != nullptr) m_pManager->GetDPIObject()->Scale(&xy);
  return xy;
}

void CControlUI::SetFixedXY(SIZE szXY) {
  m_cXY.cx = szXY.cx;
  m_cXY.cy = szXY.cy;
  NeedParentUpdate();
}

int CControlUI::GetFixedWidth() const { return ScaleValue(m_cxFixed); }

void CControlUI::SetFixedWidth(int cx) {
  if (cx < 0) return;
  m_cxFixed = cx;
  NeedParentUpdate();
}

int CControlUI::GetFixedHeight() const { return ScaleValue(m_cyFixed); }

void CControlUI::SetFixedHeight(int cy) {
  if (cy < 0) return;
  m_cyFixed = cy;
  NeedParentUpdate();
}

int CControlUI::GetMinWidth() const { return ScaleValue(m_cxMin); }

void CControlUI::SetMinWidth(int cx) {
  if (cx < 0 || m_cxMin == cx) return;
  m_cxMin = cx;
  NeedParentUpdate();
}

int CControlUI::GetMaxWidth() const { return ScaleValue(m_cxMax); }

void CControlUI::SetMaxWidth(int cx) {
  if (cx < 0 || m_cxMax == cx) return;
  m_cxMax = cx;
  NeedParentUpdate();
}

int CControlUI::GetMinHeight() const { return ScaleValue(m_cyMin); }

void CControlUI::SetMinHeight(int cy) {
  if (cy < 0 || m_cyMin == cy) return;
  m_cyMin = cy;
  NeedParentUpdate();
}

int CControlUI::GetMaxHeight() const { return ScaleValue(m_cyMax); }

void CControlUI::SetMaxHeight(int cy) {
  if (cy < 0 || m_cyMax == cy) return;
  m_cyMax = cy;
  NeedParentUpdate();
}

CControlUI::FloatPercent CControlUI::GetFloatPercent() const { return m_piFloatPercent; }

void CControlUI::SetFloatPercent(FloatPercent percent) {
  m_piFloatPercent = percent;
  NeedParentUpdate();
}

void CControlUI::SetFloatAlign(UINT uAlign) {
  m_uFloatAlign = uAlign;
  NeedParentUpdate();
}

UINT CControlUI::GetFloatAlign() const { return m_uFloatAlign; }

CUIString CControlUI::GetToolTip() const {
  if (m_bResourceText) return CResourceTableUI::GetInstance()->GetText(m_sToolTip.GetData());
  return m_sToolTip;
}

void CControlUI::SetToolTip(const wchar_t* pstrText) {
  CUIString text(pstrText);
  text.Replace(L"<n>", L"\r\n");
  m_sToolTip = text;
}

void CControlUI::SetToolTipWidth(int nWidth) { m_nTooltipWidth = nWidth; }
int CControlUI::GetToolTipWidth() const { return ScaleValue(m_nTooltipWidth); }
WORD CControlUI::GetCursor() const { return m_wCursor; }

void CControlUI::SetCursor(WORD wCursor) {
  m_wCursor = wCursor;
  Invalidate();
}

wchar_t CControlUI::GetShortcut() const { return m_chShortcut; }
void CControlUI::SetShortcut(wchar_t ch) { m_chShortcut = ch; }
bool CControlUI::IsContextMenuEnabled() const { return m_bMenuUsed; }
void CControlUI::SetContextMenuEnabled(bool bMenuUsed) { m_bMenuUsed = bMenuUsed; }
const CUIString& CControlUI::GetUserData() const { return m_sUserData; }
void CControlUI::SetUserData(const wchar_t* pstrText) { m_sUserData = pstrText; }
UINT_PTR CControlUI::GetTag() const { return m_pTag; }
void CControlUI::SetTag(UINT_PTR pTag) { m_pTag = pTag; }

bool CControlUI::IsVisible() const { return m_bVisible && m_bInternVisible; }

void CControlUI::SetVisible(bool bVisible) {
  if (m_bVisible == bVisible) return;
  bool wasVisible = IsVisible();
  m_bVisible = bVisible;
  if (m_bFocused) m_bFocused = false;
  // The receiver of "killfocus" may delete this control.
  CControlWatch alive(this);
  if (!bVisible && m_pManager != nullptr && m_pManager->GetFocus() == this) m_pManager->SetFocus(nullptr);
  if (alive && IsVisible() != wasVisible) NeedParentUpdate();
}

void CControlUI::SetInternalVisible(bool bVisible) {
  m_bInternVisible = bVisible;
  if (!bVisible && m_pManager != nullptr && m_pManager->GetFocus() == this) m_pManager->SetFocus(nullptr);
}

bool CControlUI::IsEnabled() const { return m_bEnabled; }

void CControlUI::SetEnabled(bool bEnable) {
  if (m_bEnabled == bEnable) return;
  m_bEnabled = bEnable;
  Invalidate();
}

bool CControlUI::IsMouseEnabled() const { return m_bMouseEnabled; }
void CControlUI::SetMouseEnabled(bool bEnable) { m_bMouseEnabled = bEnable; }
bool CControlUI::IsKeyboardEnabled() const { return m_bKeyboardEnabled; }
void CControlUI::SetKeyboardEnabled(bool bEnable) { m_bKeyboardEnabled = bEnable; }
bool CControlUI::IsFocused() const { return m_bFocused; }

void CControlUI::SetFocus() {
  if (m_pManager != nullptr) m_pManager->SetFocus(this);
}

bool CControlUI::IsFloat() const { return m_bFloat; }

void CControlUI::SetFloat(bool bFloat) {
  if (m_bFloat == bFloat) return;
  m_bFloat = bFloat;
  NeedParentUpdate();
}

CControlUI* CControlUI::FindControl(FINDCONTROLPROC Proc, LPVOID pData, UINT uFlags) {
  if ((uFlags & UIFIND_VISIBLE) != 0 && !IsVisible()) return nullptr;
  if ((uFlags & UIFIND_ENABLED) != 0 && !IsEnabled()) return nullptr;
  if ((uFlags & UIFIND_HITTEST) != 0) {
    POINT* pt = static_cast<POINT*>(pData);
    if (!m_bMouseEnabled || !::PtInRect(&m_rcItem, *pt)) return nullptr;
  }
  return Proc(this, pData);
}

void CControlUI::Init() {
  DoInit();
  if (OnInit) OnInit(this);
}

void CControlUI::DoInit() {}

// A delegate may delete this control: its event source then answers false.
void CControlUI::Event(EventRecordUI& event) {
  if (OnEvent(&event)) DoEvent(event);
}

void CControlUI::DoEvent(EventRecordUI& event) {
  switch (event.Type) {
    case UIEVENT_SETCURSOR:
      ShowSystemCursor(m_wCursor != 0 ? m_wCursor : 32512);
      return;
    case UIEVENT_SETFOCUS:
      m_bFocused = true;
      Invalidate();
      return;
    case UIEVENT_KILLFOCUS:
      m_bFocused = false;
      Invalidate();
      return;
    case UIEVENT_TIMER:
      if (m_pManager != nullptr) m_pManager->SendNotify(this, L"timer", event.wParam, event.lParam);
      return;
    case UIEVENT_CONTEXTMENU:
      if (IsContextMenuEnabled()) {
        if (m_pManager != nullptr) m_pManager->SendNotify(this, L"menu", event.wParam, event.lParam);
        return;
      }
      break;
    default:
      break;
  }
  if (m_pParent != nullptr) m_pParent->DoEvent(event);
}

SIZE CControlUI::EstimateSize(SIZE) {
  SIZE size = {GetFixedWidth(), GetFixedHeight()};
  return size;
}

void CControlUI::Invalidate() {
  if (!IsVisible()) return;
  RECT invalidate = m_rcItem;
  for (CControlUI* parent = m_pParent; parent != nullptr; parent = parent->GetParent()) {
    RECT parentPos = parent->GetPos();
    if (!::IntersectRect(&invalidate, &invalidate, &parentPos)) return;
  }
  if (m_pManager != nullptr) m_pManager->Invalidate(invalidate);
}

void CControlUI::NeedUpdate() {
  if (!IsVisible()) return;
  m_bUpdateNeeded = true;
  Invalidate();
  if (m_pManager != nullptr) m_pManager->NeedUpdate();
}

void CControlUI::NeedParentUpdate() {
  if (m_pParent != nullptr) {
    m_pParent->NeedUpdate();
    m_pParent->Invalidate();
  } else {
    NeedUpdate();
  }
  if (m_pManager != nullptr) m_pManager->NeedUpdate();
}

CUIString CControlUI::GetVirtualWnd() const {
  if (!m_sVirtualWnd.IsEmpty()) return m_sVirtualWnd;
  if (m_pParent != nullptr) return m_pParent->GetVirtualWnd();
  return CUIString();
}

void CControlUI::SetVirtualWnd(const wchar_t* pstrValue) {
  m_sVirtualWnd = pstrValue;
  if (m_pManager != nullptr) m_pManager->SetUsedVirtualWnd(true);
}

}  // namespace SkinUI
