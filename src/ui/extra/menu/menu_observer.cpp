#include "ui/extra/menu/menu_observer.h"

namespace SkinUI {

void MenuReceiverImpl::AddObserver(MenuObserverImpl* pObserver) { m_observers.Add(pObserver); }

void MenuReceiverImpl::RemoveObserver() {
  for (int i = 0; i < m_observers.GetSize(); ++i) static_cast<MenuObserverImpl*>(m_observers[i])->RemoveReceiver(this);
  m_observers.Empty();
}

BOOL MenuReceiverImpl::Receive(int, HWND) { return FALSE; }

MenuObserverImpl* MenuObserverImpl::GetGlobal() {
  static MenuObserverImpl observer;
  return &observer;
}

void MenuObserverImpl::AddReceiver(MenuReceiverImpl* pReceiver) {
  if (pReceiver == nullptr) return;
  m_receivers.Add(pReceiver);
  pReceiver->AddObserver(this);
}

void MenuObserverImpl::RemoveReceiver(MenuReceiverImpl* pReceiver) {
  if (pReceiver == nullptr) return;
  int index = m_receivers.Find(pReceiver);
  if (index < 0) return;
  m_receivers.Remove(index);
  // With the last menu gone nothing may reach the opener's manager or the host's map any more:
  // either may go before the next menu, which brings its own.
  if (m_receivers.IsEmpty()) {
    m_pMainManager = nullptr;
    m_pCheckMap = nullptr;
  }
}

// Menus close by posted messages, so no receiver leaves the list while this walks it.
BOOL MenuObserverImpl::Broadcast(int code, HWND hWnd) {
  for (int i = m_receivers.GetSize() - 1; i >= 0; --i) GetReceiverAt(i)->Receive(code, hWnd);
  return FALSE;
}

void MenuObserverImpl::SetMainManager(CPaintManagerUI* pManager) {
  if (pManager != nullptr) m_pMainManager = pManager;
}

CPaintManagerUI* MenuObserverImpl::GetMainManager() const { return m_pMainManager; }
void MenuObserverImpl::SetCheckMap(CUIStringMap* pMap) { m_pCheckMap = pMap; }
CUIStringMap* MenuObserverImpl::GetCheckMap() const { return m_pCheckMap; }

}  // namespace SkinUI
