#include <cwchar>

#include "ui/extra/menu/menu_wnd.h"

namespace SkinUI {

CMenuWnd::CMenuWnd()
    : m_bClosed(false),
      m_BasedPoint{0, 0},
      m_xml(L""),
      m_pOwner(nullptr),
      m_pLayout(nullptr),
      m_dwAlignment(kMenuAlignLeft | kMenuAlignTop),
      m_pFinished(nullptr) {}

const wchar_t* CMenuWnd::GetWindowClassName() const { return L"SkinMenuWnd"; }
const wchar_t* CMenuWnd::GetSuperClassName() const { return nullptr; }
UINT CMenuWnd::GetClassStyle() const { return 0; }

LRESULT CMenuWnd::Init(CMenuElementUI* pOwner, STRINGorID xml, POINT point, CPaintManagerUI* pMainPaintManager,
                       CUIStringMap* pMenuCheckInfo, DWORD dwAlignment) {
  m_BasedPoint = point;
  m_pOwner = pOwner;
  m_pLayout = nullptr;
  m_dwAlignment = dwAlignment;
  if (IS_INTRESOURCE(xml.m_lpstr)) {
    m_xml = xml;
  } else {
    m_sXmlText = xml.m_lpstr;
    m_xml = STRINGorID(m_sXmlText.GetData());
  }
  MenuObserverImpl* observer = MenuObserverImpl::GetGlobal();
  if (pOwner == nullptr) {
    observer->SetMainManager(pMainPaintManager);
    if (pMenuCheckInfo != nullptr) observer->SetCheckMap(pMenuCheckInfo);
  }
  observer->AddReceiver(this);
  CPaintManagerUI* parentManager = pOwner != nullptr ? pOwner->GetManager() : pMainPaintManager;
  HWND parent = parentManager != nullptr ? parentManager->GetPaintWindow() : nullptr;

  bool finished = false;
  m_pFinished = &finished;
  HWND hwnd = Create(parent, nullptr, WS_POPUP, WS_EX_TOOLWINDOW | WS_EX_TOPMOST, RECT{0, 0, 0, 0});
  if (finished) return 0;  // the window came and went, and this object with it
  m_pFinished = nullptr;
  if (hwnd == nullptr) {
    Finish();
    return 0;
  }
  HWND top = hwnd;
  for (HWND up = ::GetParent(top); up != nullptr; up = ::GetParent(up)) top = up;
  ::ShowWindow(hwnd, SW_SHOW);
  // The window that opened the menu keeps its active look.
  return ::SendMessageW(top, WM_NCACTIVATE, TRUE, 0);
}

// Posted, not sent: the window may be in the middle of handling the event that closes it.
void CMenuWnd::Close(UINT nRet) {
  if (m_bClosed || !::IsWindow(m_hWnd)) return;
  m_bClosed = true;
  ::PostMessageW(m_hWnd, WM_CLOSE, nRet, 0);
}

BOOL CMenuWnd::Receive(int code, HWND hWnd) {
  if (code == kMenuCloseAll) {
    Close(1);
  } else if (code == kMenuCloseBelow) {
    for (HWND up = ::GetParent(m_hWnd); up != nullptr; up = ::GetParent(up)) {
      if (up == hWnd) {
        Close(1);
        break;
      }
    }
  }
  return TRUE;
}

// Clicks and value changes of controls inside items go to the window that opened the menu.
void CMenuWnd::Notify(NotifyRecordUI& msg) {
  CPaintManagerUI* main = MenuObserverImpl::GetGlobal()->GetMainManager();
  if (main != nullptr && (msg.sType == L"click" || msg.sType == L"valuechanged")) main->SendNotify(msg, false);
}

CControlUI* CMenuWnd::CreateControl(const wchar_t* pstrClass) {
  if (_wcsicmp(pstrClass, L"Menu") == 0) return new CMenuUI;
  if (_wcsicmp(pstrClass, L"MenuElement") == 0) return new CMenuElementUI;
  return nullptr;
}

LRESULT CMenuWnd::HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) {
  switch (uMsg) {
    case WM_CREATE:
      return OnCreate();
    case WM_SIZE:
      ApplyRoundCorner(m_pm.GetRoundCorner());
      break;
    case WM_KILLFOCUS:
      OnKillFocus(reinterpret_cast<HWND>(wParam));
      break;
    case WM_KEYDOWN:
      if (wParam == VK_ESCAPE || wParam == VK_LEFT) Close(1);
      break;
    case WM_CONTEXTMENU:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
      return 0;
    default:
      break;
  }
  LRESULT result = 0;
  if (m_pm.MessageHandler(uMsg, wParam, lParam, result)) return result;
  return CWindowWnd::HandleMessage(uMsg, wParam, lParam);
}

void CMenuWnd::ForgetBorrowedItem(CMenuElementUI* pItem) {
  MenuObserverImpl* observer = MenuObserverImpl::GetGlobal();
  for (int i = 0; i < observer->GetReceiverCount(); ++i) {
    CMenuWnd* menu = dynamic_cast<CMenuWnd*>(observer->GetReceiverAt(i));
    if (menu != nullptr && menu->m_pLayout != nullptr && menu->m_pLayout->GetItemIndex(pItem) >= 0)
      menu->m_pLayout->Remove(pItem);
  }
}

// Focus moving between menu windows keeps them open; anywhere else closes them all.
void CMenuWnd::OnKillFocus(HWND hWndFocus) {
  MenuObserverImpl* observer = MenuObserverImpl::GetGlobal();
  for (int i = 0; i < observer->GetReceiverCount(); ++i) {
    CMenuWnd* menu = dynamic_cast<CMenuWnd*>(observer->GetReceiverAt(i));
    if (menu != nullptr && hWndFocus != nullptr && menu->m_hWnd == hWndFocus) return;
  }
  observer->Broadcast(kMenuCloseAll, m_hWnd);
}

void CMenuWnd::OnFinalMessage(HWND) {
  if (m_pFinished != nullptr) *m_pFinished = true;
  Finish();
}

void CMenuWnd::Finish() {
  RemoveObserver();
  if (m_pOwner != nullptr) GiveItemsBack();
  delete this;
}

// However the sub-menu ends (a close, its parent's or the main window's destruction), the nested
// items return to their owner item, its manager and its list, hidden.
void CMenuWnd::GiveItemsBack() {
  // The owner's size and focus receivers, and those of the items as they hide, may delete the
  // owner and the items it lent with it.
  CControlWatch owner(m_pOwner);
  CPaintManagerUI* ownerManager = m_pOwner->GetManager();
  m_pOwner->SetManager(ownerManager, m_pOwner->GetParent(), false);
  m_pOwner->SetPos(m_pOwner->GetPos(), true);
  if (owner && ownerManager != nullptr && ::IsWindowVisible(ownerManager->GetPaintWindow())) m_pOwner->SetFocus();
  if (!owner) return;
  CControlUI* parentList = dynamic_cast<CControlUI*>(m_pOwner->GetOwner());
  for (int i = 0; i < m_pOwner->GetSubItemCount(); ++i) {
    CMenuElementUI* item = m_pOwner->GetSubItemAt(i);
    CControlWatch alive(item);
    item->SetOwner(parentList);
    item->SetVisible(false);
    if (alive) item->SetInternalVisible(false);
    if (!owner) return;
  }
  m_pOwner->SubMenuClosed();
}

}  // namespace SkinUI
