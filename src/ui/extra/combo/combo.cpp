#include "ui/extra/combo/combo.h"

#include <cwchar>

#include "ui/core/controls/button.h"
#include "ui/core/paint/manager/paint_manager.h"
#include "ui/extra/combo/combo_wnd.h"

namespace SkinUI {

CComboUI::CComboUI()
    : m_pWindow(nullptr),
      m_iCurSel(-1),
      m_dwTextColor(0),
      m_dwDisabledTextColor(0),
      m_iFont(-1),
      m_uTextStyle(DT_VCENTER | DT_SINGLELINE),
      m_rcTextPadding(0, 0, 0, 0),
      m_bShowHtml(false),
      m_bShowShadow(false),
      m_szDropBox(0, 150),
      m_uButtonState(0),
      m_bScrollSelect(true) {
  m_ListInfo.uTextStyle = DT_VCENTER;
}

// An open drop-down takes the items back now and is left with no owner to write into.
CComboUI::~CComboUI() {
  if (m_pWindow != nullptr) m_pWindow->DetachOwner();
  m_pWindow = nullptr;
}

const wchar_t* CComboUI::GetClass() const { return L"ComboUI"; }

LPVOID CComboUI::GetInterface(const wchar_t* pstrName) {
  if (pstrName != nullptr) {
    if (_wcsicmp(pstrName, L"Combo") == 0) return static_cast<CComboUI*>(this);
    if (_wcsicmp(pstrName, L"IListOwner") == 0) return static_cast<IListOwnerUI*>(this);
  }
  return CContainerUI::GetInterface(pstrName);
}

int CComboUI::GetListType() { return 1; }
ListInfoUI* CComboUI::GetListInfo() { return &m_ListInfo; }
int CComboUI::GetCurSel() const { return m_iCurSel; }
bool CComboUI::SelectMultiItem(int iIndex, bool bTakeFocus) { return SelectItem(iIndex, bTakeFocus); }
bool CComboUI::UnSelectItem(int, bool) { return false; }

IListItemUI* CComboUI::ItemAt(int index) const {
  CControlUI* control = GetItemAt(index);
  return control != nullptr ? static_cast<IListItemUI*>(control->GetInterface(L"ListItem")) : nullptr;
}

CUIString CComboUI::GetText() const {
  CControlUI* selected = GetItemAt(m_iCurSel);
  return selected != nullptr ? selected->GetText() : CUIString();
}

// The receivers of the focus change may remove, move, hide or disable the item, select another or
// delete this combo: the item is looked up again afterwards, and once it is no longer the one to
// select, what the receivers did stands and nothing is announced for it. Those of "itemselect"
// come last.
bool CComboUI::SelectItem(int iIndex, bool bTakeFocus) {
  CControlWatch alive(this);
  int count = GetCount();
  if (iIndex >= count && count > 0) iIndex = count - 1;
  if (iIndex == m_iCurSel) return true;
  int old = m_iCurSel;
  CChildWatch previous(this, GetItemAt(old));
  if (m_iCurSel >= 0) {
    CControlUI* current = GetItemAt(m_iCurSel);
    if (current == nullptr) return false;
    IListItemUI* item = ItemAt(m_iCurSel);
    if (item != nullptr) item->Select(false);
    m_iCurSel = -1;
  }
  // Back to no selection (Escape where nothing was selected before) is a change like any other.
  if (iIndex < 0 && old >= 0) {
    if (m_pManager != nullptr) m_pManager->SendNotify(this, L"itemselect", static_cast<WPARAM>(-1), old);
    if (alive) Invalidate();
    return true;
  }
  CControlUI* control = GetItemAt(iIndex);
  IListItemUI* item = ItemAt(iIndex);
  if (control == nullptr || !control->IsEnabled() || item == nullptr) return false;
  m_iCurSel = iIndex;
  if (m_pWindow != nullptr || bTakeFocus) {
    // The receivers of "killfocus" and "setfocus" may remove or move the item, or delete it.
    CChildWatch held(this, control);
    control->SetFocus();
    if (!alive) return true;
    int at = held.Index();
    if (at < 0) return false;
    if (at != m_iCurSel) return true;
    iIndex = at;
    if (!control->IsEnabled()) {
      m_iCurSel = -1;
      return false;
    }
  }
  item->Select(true);
  if (m_pManager != nullptr)
    m_pManager->SendNotify(this, L"itemselect", static_cast<WPARAM>(iIndex), static_cast<LPARAM>(previous.Index()));
  if (alive) Invalidate();
  return true;
}

void CComboUI::RenumberItems(int from, int to) {
  for (int i = from < 0 ? 0 : from; i <= to && i < GetCount(); ++i) {
    IListItemUI* item = ItemAt(i);
    if (item != nullptr) item->SetIndex(i);
  }
}

bool CComboUI::Add(CControlUI* pControl) { return AddAt(pControl, GetCount()); }

bool CComboUI::AddAt(CControlUI* pControl, int iIndex) {
  if (!CContainerUI::AddAt(pControl, iIndex)) return false;
  IListItemUI* item = static_cast<IListItemUI*>(pControl->GetInterface(L"ListItem"));
  if (item != nullptr) item->SetOwner(this);
  RenumberItems(iIndex, GetCount() - 1);
  if (m_iCurSel >= iIndex) ++m_iCurSel;
  return true;
}

bool CComboUI::Remove(CControlUI* pControl) {
  int index = GetItemIndex(pControl);
  if (index < 0) return false;
  // The drop-down lets go of the item before it may be deleted.
  if (m_pWindow != nullptr) m_pWindow->ReleaseItem(pControl);
  // An item let go reports nothing more to this combo (it may live on until the delayed clean-up).
  IListItemUI* item = ItemAt(index);
  if (item != nullptr) item->SetIndex(-1);
  CContainerUI::Remove(pControl);
  RenumberItems(index, GetCount() - 1);
  if (index == m_iCurSel) {
    m_iCurSel = -1;
    SelectItem(FindSelectable(index, false), false);
  } else if (index < m_iCurSel) {
    --m_iCurSel;
  }
  return true;
}

bool CComboUI::RemoveAt(int iIndex) {
  CControlUI* control = GetItemAt(iIndex);
  return control != nullptr && Remove(control);
}

void CComboUI::RemoveAll() {
  m_iCurSel = -1;
  if (m_pWindow != nullptr) m_pWindow->ReleaseItems();
  for (int i = 0; i < GetCount(); ++i) {
    IListItemUI* item = ItemAt(i);
    if (item != nullptr) item->SetIndex(-1);
  }
  CContainerUI::RemoveAll();
}

bool CComboUI::SetItemIndex(CControlUI* pControl, int iNewIndex) {
  int oldIndex = GetItemIndex(pControl);
  if (oldIndex < 0) return false;
  if (oldIndex == iNewIndex) return true;
  CControlUI* selected = GetItemAt(m_iCurSel);
  if (!CContainerUI::SetItemIndex(pControl, iNewIndex)) return false;
  RenumberItems(oldIndex < iNewIndex ? oldIndex : iNewIndex, oldIndex < iNewIndex ? iNewIndex : oldIndex);
  if (selected != nullptr) m_iCurSel = GetItemIndex(selected);
  return true;
}

// The receivers of "predropdown" and "dropdown" may delete this combo.
bool CComboUI::Activate() {
  if (!CControlUI::Activate()) return false;
  CControlWatch alive(this);
  if (m_pManager != nullptr) m_pManager->SendNotify(this, L"predropdown");
  if (!alive || m_pWindow != nullptr) return true;
  // A "predropdown" handler may have hidden or disabled the combo: no drop-down then.
  if (!CControlUI::Activate()) return false;
  CComboWnd* window = new CComboWnd;
  m_pWindow = window;
  if (!window->Init(this)) {
    // A window that came to its final message has deleted itself already.
    if (m_pWindow == window) delete window;
    m_pWindow = nullptr;
    return false;
  }
  if (m_pManager != nullptr) m_pManager->SendNotify(this, L"dropdown");
  if (alive) Invalidate();
  return true;
}

// Placing an item may reach the program, as any layout may.
void CComboUI::SetPos(RECT rc, bool bNeedInvalidate) {
  if (::EqualRect(&rc, &m_rcItem)) return;
  if (m_pWindow != nullptr) m_pWindow->Close(1);
  CLayoutPass pass(this);
  for (int i = 0; i < GetCount(); ++i) {
    CControlUI* item = GetItemAt(i);
    item->SetPos(RECT{0, 0, 0, 0}, false);
    if (!pass.Holds()) return;
  }
  CControlUI::SetPos(rc, bNeedInvalidate);
}

void CComboUI::Move(SIZE szOffset, bool bNeedInvalidate) { CControlUI::Move(szOffset, bNeedInvalidate); }

void CComboUI::SetEnabled(bool bEnable) {
  CContainerUI::SetEnabled(bEnable);
  if (!IsEnabled()) m_uButtonState = 0;
}

SIZE CComboUI::EstimateSize(SIZE szAvailable) {
  if (m_cyFixed != 0 || m_pManager == nullptr) return CControlUI::EstimateSize(szAvailable);
  return SIZE{m_cxFixed, m_pManager->GetDefaultFontInfo()->tm.tmHeight + 12};
}

SIZE CComboUI::GetDropBoxSize() const {
  CUISize size = m_szDropBox;
  if (m_pManager != nullptr) m_pManager->GetDPIObject()->Scale(&size);
  return size;
}

bool CComboUI::HandleKey(const EventRecordUI& event) {
  switch (event.chKey) {
    case VK_UP:
    case VK_PRIOR:
      SelectItem(FindSelectable(m_iCurSel - 1, false));
      return true;
    case VK_DOWN:
    case VK_NEXT:
      SelectItem(FindSelectable(m_iCurSel + 1, true));
      return true;
    case VK_HOME:
      SelectItem(FindSelectable(0, false));
      return true;
    case VK_END:
      SelectItem(FindSelectable(GetCount() - 1, true));
      return true;
    case VK_F4:
      Activate();
      return true;
    default:
      return false;
  }
}

void CComboUI::HandleWheel(const EventRecordUI& event) {
  if (!m_bScrollSelect) return;
  bool down = event.wParam == 1;
  SelectItem(FindSelectable(down ? m_iCurSel + 1 : m_iCurSel - 1, down));
}

void CComboUI::DoEvent(EventRecordUI& event) {
  if (!IsMouseEnabled() && event.Type >= UIEVENT__MOUSEFIRST && event.Type <= UIEVENT__MOUSELAST) {
    if (m_pParent != nullptr)
      m_pParent->DoEvent(event);
    else
      CContainerUI::DoEvent(event);
    return;
  }
  switch (event.Type) {
    case UIEVENT_SETFOCUS:
    case UIEVENT_KILLFOCUS:
      Invalidate();
      break;
    case UIEVENT_BUTTONDOWN:
      // Pushed only while a drop-down is open: the drop-down's end clears it.
      if (IsEnabled()) {
        CControlWatch alive(this);
        Activate();
        if (!alive) return;
        m_uButtonState |= UISTATE_CAPTURED;
        if (m_pWindow != nullptr) m_uButtonState |= UISTATE_PUSHED;
      }
      return;
    case UIEVENT_BUTTONUP:
      // Pushed stays until the drop-down closes.
      if ((m_uButtonState & UISTATE_CAPTURED) != 0) {
        m_uButtonState &= ~UISTATE_CAPTURED;
        Invalidate();
      }
      return;
    case UIEVENT_MOUSEMOVE:
    case UIEVENT_CONTEXTMENU:
      return;
    case UIEVENT_KEYDOWN:
      if (HandleKey(event)) return;
      break;
    case UIEVENT_SCROLLWHEEL:
      HandleWheel(event);
      return;
    case UIEVENT_MOUSEENTER:
      if (::PtInRect(&m_rcItem, event.ptMouse) && (m_uButtonState & UISTATE_HOT) == 0) {
        m_uButtonState |= UISTATE_HOT;
        Invalidate();
      }
      return;
    case UIEVENT_MOUSELEAVE:
      if ((m_uButtonState & UISTATE_HOT) != 0) {
        m_uButtonState &= ~UISTATE_HOT;
        Invalidate();
      }
      return;
    default:
      break;
  }
  CControlUI::DoEvent(event);
}

// The items live in the drop-down while it is open: the combo paints itself only.
void CComboUI::DoPaint(HDC hDC, const RECT& rcPaint) { CControlUI::DoPaint(hDC, rcPaint); }

}  // namespace SkinUI
