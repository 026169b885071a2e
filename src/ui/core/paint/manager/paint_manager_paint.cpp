#include "ui/core/paint/control/container.h"
#include "ui/core/paint/control/control.h"
#include "ui/core/paint/manager/layered_window_internal.h"
#include "ui/core/paint/manager/paint_manager_internal.h"
#include "ui/core/paint/render/render_engine.h"

namespace SkinUI {

namespace {

// A float control is placed by its parent from its fixed position: its relative rectangle would be
// taken as a window position, and one never laid out (inside a page shown later) has none yet.
void PlaceFloat(CControlUI* control) {
  CControlUI* parent = control->GetParent();
  CContainerUI* container =
      parent != nullptr ? static_cast<CContainerUI*>(parent->GetInterface(L"Container")) : nullptr;
  const int index = container != nullptr ? container->GetItemIndex(control) : -1;
  if (index < 0) {
    control->SetPos(control->GetPos(), true);
    return;
  }
  container->SetFloatPos(index);
  control->Invalidate();
}

struct DcCloser {
  HDC dc;
  ~DcCloser() {
    if (dc != nullptr) ::DeleteDC(dc);
  }
};

struct BitmapCloser {
  HBITMAP bitmap;
  ~BitmapCloser() {
    if (bitmap != nullptr) ::DeleteObject(bitmap);
  }
};

// The update rectangle: the box of the update region, as GetUpdateRect gives it for a window
// whose DC maps nothing (the framework's windows own no DC). GetUpdateRect also takes and
// releases a window DC to map it: under Wine that doubles the query, a sixth of a small paint.
bool TakeUpdateRect(HWND window, RECT& rect) {
  HRGN region = ::CreateRectRgn(0, 0, 0, 0);
  if (region == nullptr) return ::GetUpdateRect(window, &rect, FALSE) != FALSE;
  const bool some = ::GetUpdateRgn(window, region, FALSE) > NULLREGION && ::GetRgnBox(region, &rect) > NULLREGION;
  ::DeleteObject(region);
  return some;
}

}  // namespace

CControlUI* CALLBACK CPaintManagerUI::__FindControlFromUpdate(CControlUI* pThis, LPVOID pData) {
  CPaintManagerUI* manager = static_cast<CPaintManagerUI*>(pData);
  if (pThis->IsUpdateNeeded()) manager->m_aFoundControls.Add(pThis);
  return nullptr;
}

// Lays the tree out when asked to; true when a layout took place.
bool CPaintManagerUI::LayoutIfNeeded(const RECT& rcClient) {
  if (!m_bUpdateNeeded) return false;
  m_bUpdateNeeded = false;
  if (::IsRectEmpty(&rcClient) || ::IsIconic(m_hWndPaint)) return false;
  if (m_pRoot->IsUpdateNeeded()) {
    DeleteOffscreen();
    m_pRoot->SetPos(rcClient, true);
  } else {
    m_aFoundControls.Empty();
    m_pRoot->FindControl(__FindControlFromUpdate, this, UIFIND_VISIBLE | UIFIND_ME_FIRST | UIFIND_UPDATETEST);
    for (int i = 0; i < m_aFoundControls.GetSize(); ++i) {
      CControlUI* control = static_cast<CControlUI*>(m_aFoundControls[i]);
      if (control == nullptr) continue;
      if (control->IsFloat())
        PlaceFloat(control);
      else
        control->SetPos(control->GetPos(), true);
    }
    m_aFoundControls.Empty();
  }
  if (m_bFirstLayout) {
    m_bFirstLayout = false;
    SendNotify(m_pRoot, L"windowinit", 0, 0, false);
    m_shadow.Update(m_hWndPaint);
  }
  return true;
}

void CPaintManagerUI::OnPaint(LRESULT& lRes) {
  lRes = 0;
  // With nothing to lay out, to focus or to join from a layered update, and the offscreen
  // bitmap made, nothing before BeginPaint changes the update region: the update rectangle is
  // BeginPaint's, one query of the window server fewer for every small repaint. BeginPaint
  // leaves out what native child windows cover; what the framework invalidated there is
  // joined from its own record, so the offscreen bitmap stays whole under them.
  const bool rectFromBeginPaint = m_pRoot != nullptr && !m_bUpdateNeeded && !m_bFocusNeeded && !m_bLayered &&
                                  (!m_bOffscreenPaint || m_hbmpOffscreen != nullptr);
  RECT rcPaint = {0, 0, 0, 0};
  if (!rectFromBeginPaint && !TakeUpdateRect(m_hWndPaint, rcPaint)) return;
  if (m_pRoot == nullptr) {
    PAINTSTRUCT ps;
    ::BeginPaint(m_hWndPaint, &ps);
    ::EndPaint(m_hWndPaint, &ps);
    return;
  }
  RECT rcClient = {0, 0, 0, 0};
  ::GetClientRect(m_hWndPaint, &rcClient);
  m_bIsPainting = true;
  bool laidOut = LayoutIfNeeded(rcClient);
  if (m_bFocusNeeded) SetNextTabControl();

  if (m_bLayered) {
    LONG exStyle = ::GetWindowLongW(m_hWndPaint, GWL_EXSTYLE);
    if ((exStyle & WS_EX_LAYERED) == 0) ::SetWindowLongW(m_hWndPaint, GWL_EXSTYLE, exStyle | WS_EX_LAYERED);
    m_bOffscreenPaint = true;
    ::UnionRect(&rcPaint, &rcPaint, &m_rcLayeredUpdate);
    if (rcPaint.right > rcClient.right) rcPaint.right = rcClient.right;
    if (rcPaint.bottom > rcClient.bottom) rcPaint.bottom = rcClient.bottom;
    ::SetRectEmpty(&m_rcLayeredUpdate);
  }
  if (m_bOffscreenPaint && m_hbmpOffscreen == nullptr) {
    m_hDcOffscreen = ::CreateCompatibleDC(m_hDcPaint);
    m_hbmpOffscreen = CRenderEngine::CreateDibSection32(m_hDcPaint, rcClient.right - rcClient.left,
                                                        rcClient.bottom - rcClient.top, &m_pOffscreenBits);
  }

  PAINTSTRUCT ps;
  ::BeginPaint(m_hWndPaint, &ps);
  if (rectFromBeginPaint) {
    RECT invalidated;
    ::IntersectRect(&invalidated, &m_rcInvalidated, &rcClient);
    ::UnionRect(&rcPaint, &ps.rcPaint, &invalidated);
  }
  ::SetRectEmpty(&m_rcInvalidated);
  if (::IsRectEmpty(&rcPaint)) {
    // No update region after all: nothing is drawn.
  } else if (m_bOffscreenPaint && m_hDcOffscreen != nullptr && m_hbmpOffscreen != nullptr) {
    PaintOffscreen(ps.hdc, rcPaint, rcClient);
  } else {
    int saved = ::SaveDC(ps.hdc);
    ::SelectObject(ps.hdc, GetFont(-1));
    m_pRoot->DoPaint(ps.hdc, rcPaint);
    for (int i = 0; i < m_aPostPaintControls.GetSize(); ++i) {
      static_cast<CControlUI*>(m_aPostPaintControls[i])->DoPostPaint(ps.hdc, rcPaint);
    }
    ::RestoreDC(ps.hdc, saved);
  }
  ::EndPaint(m_hWndPaint, &ps);
  if (m_bUpdateNeeded) ::InvalidateRect(m_hWndPaint, nullptr, FALSE);
  m_bIsPainting = false;
  if (laidOut) SendNotify(m_pRoot, L"windowsize", 0, 0, true);
}

void CPaintManagerUI::PaintOffscreen(HDC hDC, RECT& rcPaint, const RECT& rcClient) {
  HGDIOBJ oldBitmap = ::SelectObject(m_hDcOffscreen, m_hbmpOffscreen);
  int saved = ::SaveDC(m_hDcOffscreen);
  // Texts in the default font then find it selected (the restore gives the old one back).
  ::SelectObject(m_hDcOffscreen, GetFont(-1));
  if (m_bLayered) ClearLayeredPixels(rcPaint, false);
  m_pRoot->DoPaint(m_hDcOffscreen, rcPaint);
  DrawCaret(m_hDcOffscreen, rcPaint);
  for (int i = 0; i < m_aPostPaintControls.GetSize(); ++i) {
    static_cast<CControlUI*>(m_aPostPaintControls[i])->DoPostPaint(m_hDcOffscreen, rcPaint);
  }
  if (m_bLayered) {
    ClearLayeredPixels(rcPaint, true);
    PaintLayeredChildren(rcPaint, rcClient);
  }
  ::RestoreDC(m_hDcOffscreen, saved);
  if (!m_bLayered) {
    ::BitBlt(hDC, rcPaint.left, rcPaint.top, rcPaint.right - rcPaint.left, rcPaint.bottom - rcPaint.top, m_hDcOffscreen,
             rcPaint.left, rcPaint.top, SRCCOPY);
  } else {
    PresentLayered(rcClient);
  }
  ::SelectObject(m_hDcOffscreen, oldBitmap);
  if (m_bShowUpdateRect) {
    HBRUSH red = ::CreateSolidBrush(RGB(0xFF, 0, 0));
    ::FrameRect(hDC, &rcPaint, red);
    ::DeleteObject(red);
  }
}

// Clears the paint rectangle's pixels, or after painting makes drawn pixels without alpha opaque.
void CPaintManagerUI::ClearLayeredPixels(const RECT& rc, bool fixAlpha) {
  if (m_pOffscreenBits == nullptr) return;
  ::GdiFlush();
  BITMAP bm = {};
  ::GetObjectW(m_hbmpOffscreen, sizeof(bm), &bm);
  int left = rc.left < 0 ? 0 : rc.left, top = rc.top < 0 ? 0 : rc.top;
  int right = rc.right > bm.bmWidth ? bm.bmWidth : rc.right;
  int bottom = rc.bottom > bm.bmHeight ? bm.bmHeight : rc.bottom;
  for (int y = top; y < bottom; ++y) {
    // Rows of the offscreen bitmap run from the bottom up.
    LPDWORD row = m_pOffscreenBits + static_cast<size_t>(bm.bmHeight - 1 - y) * bm.bmWidth;
    for (int x = left; x < right; ++x) {
      if (!fixAlpha)
        row[x] = 0;
      else if ((row[x] & 0xFF000000) == 0 && (row[x] & 0x00FFFFFF) != 0)
        row[x] |= 0xFF000000;
    }
  }
}

void CPaintManagerUI::PaintLayeredChildren(const RECT& rcPaint, const RECT& rcClient) {
  for (int i = m_aNativeWindow.GetSize() - 1; i >= 0; --i) {
    HWND child = static_cast<HWND>(m_aNativeWindow[i]);
    if (!::IsWindow(child)) {
      m_aNativeWindow.Remove(i);
      continue;
    }
    RECT rcChild, rcTemp;
    if (!::IsWindowVisible(child) || !GetChildWndRect(m_hWndPaint, child, rcChild)) continue;
    if (!::IntersectRect(&rcTemp, &rcPaint, &rcChild)) continue;
    int width = rcChild.right - rcChild.left, height = rcChild.bottom - rcChild.top;
    LPDWORD bits = nullptr;
    DcCloser dc{::CreateCompatibleDC(m_hDcPaint)};
    BitmapCloser bitmap{CRenderEngine::CreateDibSection32(m_hDcPaint, width, height, &bits)};
    if (dc.dc == nullptr || bitmap.bitmap == nullptr) continue;
    HGDIOBJ old = ::SelectObject(dc.dc, bitmap.bitmap);
    ::SendMessageW(child, WM_PRINT, reinterpret_cast<WPARAM>(dc.dc),
                   PRF_CHECKVISIBLE | PRF_CLIENT | PRF_CHILDREN | PRF_OWNED);
    ::GdiFlush();
    for (int p = 0; p < width * height; ++p) {
      if (bits[p] != 0) bits[p] |= 0xFF000000;
    }
    ::BitBlt(m_hDcOffscreen, rcChild.left, rcChild.top, width, height, dc.dc, 0, 0, SRCCOPY);
    ::SelectObject(dc.dc, old);
  }
}

void CPaintManagerUI::PresentLayered(const RECT& rcClient) {
  PFN_UpdateLayeredWindow update = LookUpUpdateLayeredWindow();
  if (update == nullptr) return;
  RECT rcWnd;
  ::GetWindowRect(m_hWndPaint, &rcWnd);
  POINT ptPos = {rcWnd.left, rcWnd.top};
  SIZE size = {rcClient.right - rcClient.left, rcClient.bottom - rcClient.top};
  POINT ptSrc = {0, 0};
  BLENDFUNCTION blend = {AC_SRC_OVER, 0, m_nOpacity, AC_SRC_ALPHA};
  if (update(m_hWndPaint, nullptr, &ptPos, &size, m_hDcOffscreen, &ptSrc, 0, &blend, ULW_ALPHA)) {
    m_dwLayeredError = 0;
    return;
  }
  // Layered attributes set by someone else block the update: start the layered state afresh once.
  LONG exStyle = ::GetWindowLongW(m_hWndPaint, GWL_EXSTYLE);
  ::SetWindowLongW(m_hWndPaint, GWL_EXSTYLE, exStyle & ~WS_EX_LAYERED);
  ::SetWindowLongW(m_hWndPaint, GWL_EXSTYLE, exStyle | WS_EX_LAYERED);
  if (update(m_hWndPaint, nullptr, &ptPos, &size, m_hDcOffscreen, &ptSrc, 0, &blend, ULW_ALPHA)) {
    m_dwLayeredError = 0;
    return;
  }
  m_dwLayeredError = ::GetLastError();
  if (m_dwLayeredError == 0) m_dwLayeredError = ERROR_GEN_FAILURE;
}

void CPaintManagerUI::OnPrintClient(WPARAM wParam, LPARAM lParam) {
  if (m_pRoot == nullptr) return;
  HDC hDC = reinterpret_cast<HDC>(wParam);
  RECT rcClient;
  ::GetClientRect(m_hWndPaint, &rcClient);
  int saved = ::SaveDC(hDC);
  m_pRoot->DoPaint(hDC, rcClient);
  ::RestoreDC(hDC, saved);
  if ((lParam & PRF_CHILDREN) == 0) return;
  for (HWND child = ::GetWindow(m_hWndPaint, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
    RECT rcChild;
    if (!GetChildWndRect(m_hWndPaint, child, rcChild)) continue;
    POINT old;
    ::SetWindowOrgEx(hDC, -rcChild.left, -rcChild.top, &old);
    ::SendMessageW(child, WM_PRINT, wParam, lParam | PRF_NONCLIENT);
    ::SetWindowOrgEx(hDC, old.x, old.y, nullptr);
  }
}

}  // namespace SkinUI
