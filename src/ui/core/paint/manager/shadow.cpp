#include "ui/core/paint/manager/shadow.h"

#include <map>

#include "ui/core/paint/manager/paint_manager.h"

namespace SkinUI {

namespace {
const wchar_t kShadowClass[] = L"TovrinShadowWnd";
enum : BYTE { SS_ENABLED = 1, SS_VISABLE = 2, SS_PARENTVISIBLE = 4 };

HINSTANCE& ShadowInstance() {
  static HINSTANCE instance = nullptr;
  return instance;
}

std::map<HWND, CShadowUI*>& ShadowMap() {
  static std::map<HWND, CShadowUI*> map;
  return map;
}

bool InRange(int value, int low, int high) { return value >= low && value <= high; }
}  // namespace

CShadowUI::CShadowUI()
    : m_pManager(nullptr),
      m_hWnd(nullptr),
      m_OriParentProc(nullptr),
      m_Status(0),
      m_bIsImageMode(false),
      m_bIsShowShadow(false),
      m_nDarkness(150),
      m_nSharpness(5),
      m_nSize(0),
      m_nxOffset(0),
      m_nyOffset(0),
      m_WndSize(0),
      m_bUpdate(false),
      m_Color(0),
      m_rcShadowCorner{0, 0, 0, 0} {}

CShadowUI::~CShadowUI() {
  // A shadow that dies before its parent window hands the parent its own procedure back.
  for (auto it = ShadowMap().begin(); it != ShadowMap().end(); ++it) {
    if (it->second != this) continue;
    const LONG_PTR ours = reinterpret_cast<LONG_PTR>(&CShadowUI::ParentProc);
    if (::IsWindow(it->first) && ::GetWindowLongPtrW(it->first, GWLP_WNDPROC) == ours) {
      ::SetWindowLongPtrW(it->first, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_OriParentProc));
    }
    ShadowMap().erase(it);
    break;
  }
  if (m_hWnd != nullptr && ::IsWindow(m_hWnd)) ::DestroyWindow(m_hWnd);
}

bool CShadowUI::Initialize(HINSTANCE hInstance) {
  if (ShadowInstance() != nullptr) return false;
  ShadowInstance() = hInstance != nullptr ? hInstance : ::GetModuleHandleW(nullptr);
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof(wc);
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = ::DefWindowProcW;
  wc.hInstance = ShadowInstance();
  wc.hCursor = ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = kShadowClass;
  ::RegisterClassExW(&wc);
  return true;
}

void CShadowUI::Create(CPaintManagerUI* pPaintManager) {
  if (!m_bIsShowShadow || pPaintManager == nullptr) return;
  HWND parent = pPaintManager->GetPaintWindow();
  // One shadow window and one subclassing per parent: a second Create must not chain the
  // parent's procedure to itself.
  if (m_hWnd != nullptr || ShadowMap().count(parent) != 0) return;
  m_pManager = pPaintManager;
  ShadowMap()[parent] = this;
  LONG parentStyle = ::GetWindowLongW(parent, GWL_STYLE);
  m_hWnd = ::CreateWindowExW(WS_EX_LAYERED | WS_EX_TRANSPARENT, kShadowClass, nullptr,
                             WS_POPUPWINDOW | (parentStyle & WS_DLGFRAME), CW_USEDEFAULT, 0, 0, 0, parent, nullptr,
                             ShadowInstance(), nullptr);
  if (!(parentStyle & WS_VISIBLE)) {
    m_Status = SS_ENABLED;
  } else if (parentStyle & (WS_MAXIMIZE | WS_MINIMIZE)) {
    m_Status = SS_ENABLED | SS_PARENTVISIBLE;
  } else {
    m_Status = SS_ENABLED | SS_VISABLE | SS_PARENTVISIBLE;
    ::ShowWindow(m_hWnd, SW_SHOWNOACTIVATE);
    Update(parent);
  }
  m_OriParentProc = reinterpret_cast<WNDPROC>(
      ::SetWindowLongPtrW(parent, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CShadowUI::ParentProc)));
}

LRESULT CALLBACK CShadowUI::ParentProc(HWND hwnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  auto found = ShadowMap().find(hwnd);
  if (found == ShadowMap().end()) return ::DefWindowProcW(hwnd, uMsg, wParam, lParam);
  CShadowUI* self = found->second;
  WNDPROC previous = self->m_OriParentProc;
  self->OnParentMessage(hwnd, uMsg, wParam, lParam);
  if (uMsg == WM_NCDESTROY) ShadowMap().erase(hwnd);
  return ::CallWindowProcW(previous, hwnd, uMsg, wParam, lParam);
}

void CShadowUI::MoveBehind(HWND hParent) {
  RECT rc;
  ::GetWindowRect(hParent, &rc);
  int x = rc.left - m_nSize, y = rc.top - m_nSize;
  if (!m_bIsImageMode) {
    x += m_nxOffset;
    y += m_nyOffset;
  }
  ::SetWindowPos(m_hWnd, hParent, x, y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
}

void CShadowUI::OnParentMessage(HWND hParent, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  switch (uMsg) {
    case WM_MOVE:
      if (m_Status & SS_VISABLE) MoveBehind(hParent);
      break;
    case WM_WINDOWPOSCHANGED:
      MoveBehind(hParent);
      break;
    case WM_SIZE:
      if (!(m_Status & SS_ENABLED)) break;
      if (wParam == SIZE_MAXIMIZED || wParam == SIZE_MINIMIZED) {
        ::ShowWindow(m_hWnd, SW_HIDE);
        m_Status &= ~SS_VISABLE;
      } else if (m_Status & SS_PARENTVISIBLE) {
        if (LOWORD(lParam) > LOWORD(m_WndSize) || HIWORD(lParam) > HIWORD(m_WndSize))
          m_bUpdate = true;
        else
          Update(hParent);
        if (!(m_Status & SS_VISABLE)) {
          ::ShowWindow(m_hWnd, SW_SHOWNOACTIVATE);
          m_Status |= SS_VISABLE;
        }
      }
      m_WndSize = lParam;
      break;
    case WM_PAINT:
      if (m_bUpdate) {
        Update(hParent);
        m_bUpdate = false;
      }
      break;
    case WM_SHOWWINDOW:
      if (!(m_Status & SS_ENABLED)) break;
      if (!wParam) {
        ::ShowWindow(m_hWnd, SW_HIDE);
        m_Status &= ~(SS_VISABLE | SS_PARENTVISIBLE);
      } else if (!(m_Status & SS_PARENTVISIBLE)) {
        m_bUpdate = true;
        ::ShowWindow(m_hWnd, SW_SHOWNOACTIVATE);
        m_Status |= SS_VISABLE | SS_PARENTVISIBLE;
      }
      break;
    case WM_ACTIVATEAPP:
    case WM_NCACTIVATE:
      ::SetWindowPos(m_hWnd, hParent, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOREDRAW | SWP_NOACTIVATE);
      break;
    case WM_EXITSIZEMOVE:
      if (m_Status & SS_VISABLE) Update(hParent);
      break;
    case WM_DESTROY:
      if (m_hWnd != nullptr) ::DestroyWindow(m_hWnd);
      m_hWnd = nullptr;
      break;
    default:
      break;
  }
}

void CShadowUI::Repaint() {
  if (m_hWnd != nullptr && ::IsWindowVisible(m_hWnd)) Update(::GetParent(m_hWnd));
}

bool CShadowUI::SetSize(int NewSize) {
  if (!InRange(NewSize, -35, 35)) return false;
  m_nSize = static_cast<signed char>(NewSize);
  Repaint();
  return true;
}

bool CShadowUI::SetSharpness(unsigned int NewSharpness) {
  if (NewSharpness > 35) return false;
  m_nSharpness = static_cast<unsigned char>(NewSharpness);
  Repaint();
  return true;
}

bool CShadowUI::SetDarkness(unsigned int NewDarkness) {
  if (NewDarkness > 255) return false;
  m_nDarkness = static_cast<unsigned char>(NewDarkness);
  Repaint();
  return true;
}

bool CShadowUI::SetPosition(int NewXOffset, int NewYOffset) {
  if (!InRange(NewXOffset, -35, 35) || !InRange(NewYOffset, -35, 35)) return false;
  m_nxOffset = static_cast<signed char>(NewXOffset);
  m_nyOffset = static_cast<signed char>(NewYOffset);
  Repaint();
  return true;
}

bool CShadowUI::SetColor(COLORREF NewColor) {
  m_Color = NewColor;
  Repaint();
  return true;
}

bool CShadowUI::SetImage(const wchar_t* szImage) {
  if (szImage == nullptr) return false;
  m_bIsImageMode = true;
  m_sShadowImage = szImage;
  Repaint();
  return true;
}

bool CShadowUI::SetShadowCorner(RECT rcCorner) {
  if (rcCorner.left < 0 || rcCorner.top < 0 || rcCorner.right < 0 || rcCorner.bottom < 0) return false;
  m_rcShadowCorner = rcCorner;
  Repaint();
  return true;
}

void CShadowUI::ShowShadow(bool bShow) { m_bIsShowShadow = bShow; }

bool CShadowUI::CopyShadow(CShadowUI* pShadow) {
  if (m_bIsImageMode) {
    pShadow->SetImage(m_sShadowImage.GetData());
    pShadow->SetShadowCorner(m_rcShadowCorner);
    pShadow->SetSize(m_nSize);
  } else {
    pShadow->SetSize(m_nSize);
    pShadow->SetSharpness(m_nSharpness);
    pShadow->SetDarkness(m_nDarkness);
    pShadow->SetColor(m_Color);
    pShadow->SetPosition(m_nxOffset, m_nyOffset);
  }
  pShadow->ShowShadow(m_bIsShowShadow);
  return true;
}

}  // namespace SkinUI
