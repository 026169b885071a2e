#include <cwchar>

#include "ui/core/paint/manager/paint_manager.h"
#include "ui/core/resources/attribute_values.h"
#include "ui/extra/menu/menu.h"
#include "ui/extra/menu/menu_wnd.h"

namespace SkinUI {

namespace {

const int kDefaultWidth = 150;
const int kDefaultHeight = 30;
const int kLineHeight = 6;
const UINT kPushed = 0x10;

// Cuts `text` to the field, keeping the terminator and never half of a surrogate pair.
template <size_t N>
void CopyField(wchar_t (&field)[N], const CUIString& text) {
  ::lstrcpynW(field, text.GetData(), static_cast<int>(N));
  size_t length = wcslen(field);
  if (length == N - 1 && IS_HIGH_SURROGATE(field[length - 1])) field[length - 1] = L'\0';
}

// Seeding looks past the case of the stored names; lookups and updates use the exact key.
bool HasKeyIgnoringCase(const CUIStringMap& map, const wchar_t* name) {
  for (int i = 0; i < map.GetSize(); ++i) {
    if (_wcsicmp(map.GetAt(i), name) == 0) return true;
  }
  return false;
}

}  // namespace

CMenuElementUI::CMenuElementUI()
    : m_pSubMenuWindow(nullptr),
      m_bDrawLine(false),
      m_dwLineColor(0xFFBCBFC4),
      m_rcLinePadding{29, 0, 7, 0},
      m_szIconSize{16, 16},
      m_bCheckItem(false),
      m_bShowExplandIcon(false) {
  m_cxFixed = kDefaultWidth;
  m_cyFixed = kDefaultHeight;
}

CMenuElementUI::~CMenuElementUI() {
  // Deleted while it laid out: the nested items set aside go with it.
  for (NestedAside* aside = m_pNestedAside; aside != nullptr; aside = aside->outer) {
    for (int i = 0; i < aside->items.GetSize(); ++i) m_items.Add(aside->items[i]);
  }
  if (m_pSubMenuWindow != nullptr) ::DestroyWindow(m_pSubMenuWindow->GetHWND());
  CMenuWnd::ForgetBorrowedItem(this);
}

const wchar_t* CMenuElementUI::GetClass() const { return L"MenuElementUI"; }

LPVOID CMenuElementUI::GetInterface(const wchar_t* pstrName) {
  if (pstrName != nullptr && _wcsicmp(pstrName, L"MenuElement") == 0) return static_cast<CMenuElementUI*>(this);
  return CListContainerElementUI::GetInterface(pstrName);
}

int CMenuElementUI::GetSubItemCount() const {
  int count = 0;
  for (int i = 0; i < m_items.GetSize(); ++i) {
    if (static_cast<CControlUI*>(m_items[i])->GetInterface(L"MenuElement") != nullptr) ++count;
  }
  return count;
}

CMenuElementUI* CMenuElementUI::GetSubItemAt(int index) const {
  for (int i = 0; i < m_items.GetSize(); ++i) {
    auto* item = static_cast<CMenuElementUI*>(static_cast<CControlUI*>(m_items[i])->GetInterface(L"MenuElement"));
    if (item != nullptr && index-- == 0) return item;
  }
  return nullptr;
}

void CMenuElementUI::SetAttribute(const wchar_t* pstrName, const wchar_t* pstrValue) {
  if (pstrName == nullptr || pstrValue == nullptr) return;
  if (_wcsicmp(pstrName, L"icon") == 0) {
    m_strIcon = pstrValue;
    Invalidate();
  } else if (_wcsicmp(pstrName, L"iconsize") == 0) {
    long size[2] = {};
    ReadNumberList(pstrValue, size, 2);
    m_szIconSize = SIZE{size[0], size[1]};
  } else if (_wcsicmp(pstrName, L"checkitem") == 0) {
    m_bCheckItem = IsTrueValue(pstrValue);
  } else if (_wcsicmp(pstrName, L"ischeck") == 0) {
    // Seeds only a name the map does not know: a state set by a click survives reopening the menu.
    CUIStringMap* map = MenuObserverImpl::GetGlobal()->GetCheckMap();
    if (map != nullptr && !HasKeyIgnoringCase(*map, m_sName.GetData()))
      SetCheckState(m_sName.GetData(), IsTrueValue(pstrValue));
  } else if (_wcsicmp(pstrName, L"linetype") == 0) {
    if (!IsTrueValue(pstrValue)) return;
    m_bDrawLine = true;
    if (m_cyFixed == 0 || m_cyFixed == kDefaultHeight) SetFixedHeight(kLineHeight);
    SetMouseChildEnabled(false);
    SetMouseEnabled(false);
    SetEnabled(false);
  } else if (_wcsicmp(pstrName, L"expland") == 0) {
    m_bShowExplandIcon = IsTrueValue(pstrValue);
  } else if (_wcsicmp(pstrName, L"linecolor") == 0) {
    m_dwLineColor = ReadColorValue(pstrValue);
  } else if (_wcsicmp(pstrName, L"linepadding") == 0) {
    long padding[4] = {};
    ReadNumberList(pstrValue, padding, 4);
    m_rcLinePadding = RECT{padding[0], padding[1], padding[2], padding[3]};
  } else if (_wcsicmp(pstrName, L"height") == 0) {
    SetFixedHeight(_wtoi(pstrValue));
  } else {
    CListContainerElementUI::SetAttribute(pstrName, pstrValue);
  }
}

// One lookup by the exact name, as the records are stored.
bool CMenuElementUI::GetChecked() const {
  CUIStringMap* map = MenuObserverImpl::GetGlobal()->GetCheckMap();
  if (m_sName.IsEmpty() || map == nullptr) return false;
  auto* record = static_cast<MenuCheckRecord*>(map->Find(m_sName.GetData()));
  return record != nullptr && record->bChecked;
}

void CMenuElementUI::SetChecked(bool bChecked) { SetCheckState(m_sName.GetData(), bChecked); }

MenuCheckRecord* CMenuElementUI::SetCheckState(const wchar_t* name, bool bChecked) {
  CUIStringMap* map = MenuObserverImpl::GetGlobal()->GetCheckMap();
  if (name == nullptr || name[0] == L'\0' || map == nullptr) return nullptr;
  auto* record = static_cast<MenuCheckRecord*>(map->Find(name));
  if (record == nullptr) {
    record = new MenuCheckRecord();
    ::lstrcpynW(record->szName, name, 256);
    map->Insert(name, record);
  }
  record->bChecked = bChecked;
  return record;
}

HWND CMenuElementUI::MenuWindowHandle() const { return m_pManager != nullptr ? m_pManager->GetPaintWindow() : nullptr; }

void CMenuElementUI::SelectInOwner(int index) {
  if (m_row.pOwner != nullptr) m_row.pOwner->SelectItem(index, true);
}

bool CMenuElementUI::ShowSubItems() {
  int count = GetSubItemCount();
  for (int i = 0; i < count; ++i) {
    CMenuElementUI* item = GetSubItemAt(i);
    item->SetVisible(true);
    item->SetInternalVisible(true);
  }
  return count > 0;
}

// An item taken out of its menu opens nothing.
void CMenuElementUI::Open() {
  if (m_pSubMenuWindow != nullptr || m_row.IsLetGo()) return;
  if (ShowSubItems()) {
    // The receiver of the menu's "itemselect" may delete this item or take it out of the menu.
    CControlWatch alive(this);
    SelectInOwner(GetIndex());
    if (alive && !m_row.IsLetGo()) CreateSubMenu();
    return;
  }
  MenuObserverImpl::GetGlobal()->Broadcast(kMenuCloseBelow, MenuWindowHandle());
  SelectInOwner(GetIndex());
}

void CMenuElementUI::CreateSubMenu() {
  if (m_pSubMenuWindow != nullptr) return;
  m_pSubMenuWindow = new CMenuWnd();
  MenuObserverImpl::GetGlobal()->Broadcast(kMenuCloseBelow, MenuWindowHandle());
  // A sub-menu whose window cannot be made ends at once and clears the field again.
  m_pSubMenuWindow->Init(this, L"", POINT{0, 0}, nullptr);
}

void CMenuElementUI::SubMenuClosed() {
  m_pSubMenuWindow = nullptr;
  m_row.uButtonState &= ~kPushed;
  InvalidateItem();
}

void CMenuElementUI::PostCommand(CPaintManagerUI* mainManager) const {
  auto* record = new MenuCommandRecord();
  CopyField(record->szName, m_sName);
  CopyField(record->szUserData, GetUserData());
  CopyField(record->szText, GetText());
  record->bChecked = GetChecked() ? 1 : 0;
  if (!::PostMessageW(mainManager->GetPaintWindow(), kMenuCommandMessage, reinterpret_cast<WPARAM>(record), 0)) {
    delete record;
  }
}

// The menus only post their closing: this item and its manager are still there afterwards.
void CMenuElementUI::ClickLeaf() {
  SetChecked(!GetChecked());
  MenuObserverImpl* observer = MenuObserverImpl::GetGlobal();
  CMenuUI* menu = dynamic_cast<CMenuUI*>(m_row.pOwner);
  CMenuWnd* window = menu != nullptr ? menu->GetMenuWnd() : nullptr;
  if (window != nullptr && ::IsWindow(window->GetHWND()) && !window->IsClosing() &&
      observer->GetMainManager() != nullptr) {
    PostCommand(observer->GetMainManager());
  }
  observer->Broadcast(kMenuCloseAll, MenuWindowHandle());
}

void CMenuElementUI::DoEvent(EventRecordUI& event) {
  switch (event.Type) {
    case UIEVENT_MOUSEENTER:
      CListContainerElementUI::DoEvent(event);
      Open();
      return;
    case UIEVENT_MOUSELEAVE:
      if (GetSubItemCount() == 0) SelectInOwner(-1);
      CListContainerElementUI::DoEvent(event);
      return;
    case UIEVENT_BUTTONUP: {
      if (!IsEnabled()) return;
      // The receiver of "itemclick" may delete this item or take it out of the menu.
      CControlWatch alive(this);
      CListContainerElementUI::DoEvent(event);
      if (!alive || m_row.IsLetGo() || m_pSubMenuWindow != nullptr) return;
      if (ShowSubItems())
        CreateSubMenu();
      else
        ClickLeaf();
      return;
    }
    case UIEVENT_KEYDOWN:
      if (event.chKey != VK_RIGHT) break;
      Open();
      return;
    default:
      break;
  }
  CListContainerElementUI::DoEvent(event);
}

}  // namespace SkinUI
