#include "ui/core/paint/control/container.h"
#include "ui/extra/menu/menu_wnd.h"

namespace SkinUI {

// The shadow window is made once the menu has its place: attaching must not make it first.
LRESULT CMenuWnd::OnCreate() {
  CControlUI* root = m_pOwner == nullptr ? BuildRoot() : BuildSubMenu();
  if (root == nullptr) return -1;
  CShadowUI* shadow = m_pm.GetShadow();
  bool showShadow = shadow->IsShowShadow();
  shadow->ShowShadow(false);
  m_pm.AttachDialog(root);
  m_pm.AddNotifier(this);
  if (m_pOwner == nullptr)
    PlaceMenu();
  else
    PlaceSubMenu();
  CMenuUI* menu = static_cast<CMenuUI*>(root->GetInterface(L"Menu"));
  if (menu != nullptr) menu->SetMenuWnd(this);
  shadow->ShowShadow(showShadow);
  shadow->Create(&m_pm);
  return 0;
}

CControlUI* CMenuWnd::BuildRoot() {
  m_pm.Init(m_hWnd);
  CPaintManagerUI* main = MenuObserverImpl::GetGlobal()->GetMainManager();
  if (main != nullptr) m_pm.GetDPIObject()->SetDPI(main->GetDPIObject()->GetDPI());
  CDialogBuilder builder;
  return builder.Create(m_xml, nullptr, this, &m_pm);
}

// The list of a sub-menu borrows its owner's nested items; its look is the owner manager's
// default for "Menu".
CControlUI* CMenuWnd::BuildSubMenu() {
  LONG style = ::GetWindowLongW(m_hWnd, GWL_STYLE);
  ::SetWindowLongW(m_hWnd, GWL_STYLE, (style & ~WS_CAPTION) | WS_CLIPSIBLINGS | WS_CLIPCHILDREN);
  RECT client;
  ::GetClientRect(m_hWnd, &client);
  ::SetWindowPos(m_hWnd, nullptr, client.left, client.top, client.right - client.left, client.bottom - client.top,
                 SWP_FRAMECHANGED);
  m_pm.Init(m_hWnd);
  CPaintManagerUI* ownerManager = m_pOwner->GetManager();
  m_pm.GetDPIObject()->SetDPI(ownerManager->GetDPIObject()->GetDPI());
  m_pLayout = new CMenuUI;
  m_pm.SetForceSharedResources(true);
  m_pLayout->SetManager(&m_pm, nullptr, true);
  const wchar_t* defaults = ownerManager->GetDefaultAttributeList(L"Menu");
  if (defaults != nullptr) m_pLayout->ApplyAttributeList(defaults);
  m_pLayout->GetList()->SetAutoDestroy(false);
  for (int i = 0; i < m_pOwner->GetSubItemCount(); ++i) {
    CMenuElementUI* item = m_pOwner->GetSubItemAt(i);
    item->SetOwner(m_pLayout);
    m_pLayout->Add(item);
  }
  ownerManager->GetShadow()->CopyShadow(m_pm.GetShadow());
  m_pm.SetLayered(ownerManager->IsLayered());
  return m_pLayout;
}

}  // namespace SkinUI
