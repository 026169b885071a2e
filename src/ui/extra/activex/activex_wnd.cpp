// The child window of a windowed object.
#include "ui/core/paint/manager/paint_manager.h"
#include "ui/core/paint/render/render_engine.h"
#include "ui/extra/activex/activex_site_internal.h"

namespace SkinUI {

namespace {
// Window timer of the caret blink, as the paint manager's own.
constexpr UINT kCaretTimer = CPaintManagerUI::kCaretTimerId;
}  // namespace

HWND CActiveXWnd::Init(CActiveXCtrl* pOwner, HWND hWndParent) {
  m_pOwner = pOwner;
  const DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
  return Create(hWndParent, L"UIActiveX", style, 0, 0, 0, 0, 0);
}

CPaintManagerUI* CActiveXWnd::Manager() const {
  CActiveXUI* owner = m_pOwner != nullptr ? m_pOwner->Owner() : nullptr;
  return owner != nullptr ? owner->GetManager() : nullptr;
}

bool CActiveXWnd::IsLayered() const { return Manager() != nullptr && Manager()->IsLayered(); }

void CActiveXWnd::OnFinalMessage(HWND hWnd) {
  if (IsLayered()) Manager()->RemoveNativeWindow(hWnd);
}

void CActiveXWnd::DoVerb(LONG iVerb) {
  CActiveXUI* owner = m_pOwner != nullptr ? m_pOwner->Owner() : nullptr;
  if (owner == nullptr || owner->m_pUnk == nullptr) return;
  RECT rc = owner->GetPos();
  owner->m_pUnk->DoVerb(iVerb, nullptr, static_cast<IOleClientSite*>(m_pOwner), 0, m_hWnd, &rc);
}

LRESULT CActiveXWnd::HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) {
  bool handled = true;
  LRESULT result = 0;
  switch (uMsg) {
    case WM_CREATE:
      if (IsLayered()) ::SetTimer(m_hWnd, kCaretTimer, ::GetCaretBlinkTime(), nullptr);
      handled = false;
      break;
    case WM_TIMER:
      OnTimer(wParam, handled);
      break;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      ::BeginPaint(m_hWnd, &ps);
      ::EndPaint(m_hWnd, &ps);
      result = 1;
      break;
    }
    case WM_PRINT:
      OnPrint(reinterpret_cast<HDC>(wParam));
      break;
    case WM_ERASEBKGND:
      result = 1;
      handled = m_pOwner != nullptr && m_pOwner->HasViewObject();
      break;
    case WM_SETFOCUS:
      handled = false;
      if (m_pOwner == nullptr) break;
      m_pOwner->SetFocused(true);
      if (!m_pOwner->IsUIActive()) DoVerb(OLEIVERB_UIACTIVATE);
      break;
    case WM_KILLFOCUS:
      handled = false;
      if (m_pOwner != nullptr) m_pOwner->SetFocused(false);
      break;
    case WM_MOUSEACTIVATE:
      result = OnMouseActivate(handled);
      break;
    case WM_MOUSEWHEEL:
      break;
    default:
      handled = false;
  }
  return handled ? result : CWindowWnd::HandleMessage(uMsg, wParam, lParam);
}

// While the window is layered the manager draws it from WM_PRINT: the blink timer repaints it.
void CActiveXWnd::OnTimer(WPARAM wParam, bool& bHandled) {
  bHandled = wParam == kCaretTimer && IsLayered();
  if (!bHandled) return;
  Manager()->AddNativeWindow(m_hWnd);
  if (++m_iTick > 9) {
    m_iTick = 0;
    m_bDrawCaret = !m_bDrawCaret;
  }
}

void CActiveXWnd::OnPrint(HDC hDC) {
  if (m_pOwner == nullptr) return;
  RECT rc;
  ::GetClientRect(m_hWnd, &rc);
  m_pOwner->Draw(hDC, rc);
  if (m_bDrawCaret) DrawCaret(hDC);
}

// The object's caret, when it lies in the control, as a black line the printed picture lacks.
void CActiveXWnd::DrawCaret(HDC hDC) {
  CActiveXUI* owner = m_pOwner->Owner();
  GUITHREADINFO info = {};
  info.cbSize = sizeof(info);
  if (owner == nullptr || Manager() == nullptr || !::GetGUIThreadInfo(0, &info) || info.hwndCaret == nullptr) return;
  POINT topLeft = {info.rcCaret.left, info.rcCaret.top};
  ::MapWindowPoints(info.hwndCaret, Manager()->GetPaintWindow(), &topLeft, 1);
  RECT item = owner->GetPos();
  if (!::PtInRect(&item, topLeft)) return;
  RECT caret = info.rcCaret;
  ::MapWindowPoints(info.hwndCaret, m_hWnd, reinterpret_cast<POINT*>(&caret), 2);
  caret.right = caret.left;
  CRenderEngine::DrawLine(hDC, caret, 1, 0xFF000000);
}

LRESULT CActiveXWnd::OnMouseActivate(bool& bHandled) {
  bHandled = false;
  CActiveXUI* owner = m_pOwner != nullptr ? m_pOwner->Owner() : nullptr;
  if (owner == nullptr || owner->m_pUnk == nullptr) return 0;
  DWORD misc = 0;
  owner->m_pUnk->GetMiscStatus(DVASPECT_CONTENT, &misc);
  if ((misc & OLEMISC_NOUIACTIVATE) == 0 && !m_pOwner->IsInPlaceActive()) DoVerb(OLEIVERB_INPLACEACTIVATE);
  return 0;
}

}  // namespace SkinUI
