#include "ui/extra/list/list.h"

#include <algorithm>
#include <cwchar>

#include "ui/extra/list/list_body.h"
#include "ui/extra/list/list_header.h"

namespace SkinUI {

CListUI::CListUI()
    : m_bFixedScrollbar(false),
      m_bScrollSelect(false),
      m_iCurSel(-1),
      m_bMultiSel(false),
      m_iExpandedItem(-1),
      m_pCallback(nullptr),
      m_pList(new CListBodyUI(this)),
      m_pHeader(new CListHeaderUI),
      m_bDeferEnsureVisible(false) {
  Add(m_pHeader);
  CVerticalLayoutUI::AddAt(m_pList, m_items.GetSize());
}

CListUI::~CListUI() = default;

const wchar_t* CListUI::GetClass() const { return L"ListUI"; }

LPVOID CListUI::GetInterface(const wchar_t* pstrName) {
  if (pstrName != nullptr) {
    if (_wcsicmp(pstrName, L"List") == 0) return static_cast<CListUI*>(this);
    if (_wcsicmp(pstrName, L"IList") == 0) return static_cast<IListUI*>(this);
    if (_wcsicmp(pstrName, L"IListOwner") == 0) return static_cast<IListOwnerUI*>(this);
  }
  return CVerticalLayoutUI::GetInterface(pstrName);
}

int CListUI::GetListType() { return 0; }
ListInfoUI* CListUI::GetListInfo() { return &m_ListInfo; }
CListHeaderUI* CListUI::GetHeader() const { return m_pHeader; }
CContainerUI* CListUI::GetList() const { return m_pList; }
IListCallbackUI* CListUI::GetTextCallback() const { return m_pCallback; }
void CListUI::SetTextCallback(IListCallbackUI* pCallback) { m_pCallback = pCallback; }
bool CListUI::IsColumnEditable(int) { return false; }
CEditUI* CListUI::GetCellEdit() { return nullptr; }
bool CListUI::IsColumnCombo(int) { return false; }
CComboBoxUI* CListUI::GetCellCombo() { return nullptr; }

IListItemUI* CListUI::RowAt(int index) const {
  CControlUI* control = m_pList->GetItemAt(index);
  return control != nullptr ? static_cast<IListItemUI*>(control->GetInterface(L"ListItem")) : nullptr;
}

int CListUI::FindSelectableRow(int index, bool forward) const { return m_pList->FindSelectable(index, forward); }

void CListUI::UpdateColumnCount() { m_ListInfo.nColumns = std::min(m_pHeader->GetCount(), kMaxListColumns); }

// A hidden column has no place: its cells and its column line are not drawn. The header's items
// are counted again: laying the header out may have reached the program, which may remove some.
void CListUI::CopyColumnRects() {
  UpdateColumnCount();
  for (int i = 0; i < m_ListInfo.nColumns; ++i) {
    CControlUI* item = m_pHeader->GetItemAt(i);
    if (!item->IsVisible())
      ::SetRectEmpty(&m_ListInfo.rcColumn[i]);
    else if (!item->IsFloat())
      m_ListInfo.rcColumn[i] = item->GetPos();
  }
}

// Laying out the header and the body may reach the program, which may delete this list.
void CListUI::SetPos(RECT rc, bool bNeedInvalidate) {
  CControlWatch alive(this);
  CVerticalLayoutUI::SetPos(rc, bNeedInvalidate);
  if (!alive) return;
  UpdateColumnCount();
  // A hidden header is laid out all the same, so that the columns get their widths.
  bool hidden = !m_pHeader->IsVisible();
  for (int i = 0; hidden && alive && i < m_pHeader->GetCount(); ++i) m_pHeader->GetItemAt(i)->SetInternalVisible(true);
  if (hidden && alive) m_pHeader->SetPos(RECT{m_rcItem.left, 0, m_rcItem.right, 0}, false);
  if (!alive) return;
  CopyColumnRects();
  for (int i = 0; hidden && alive && i < m_pHeader->GetCount(); ++i) m_pHeader->GetItemAt(i)->SetInternalVisible(false);
  if (alive) m_pList->SetPos(m_pList->GetPos(), bNeedInvalidate);
}

void CListUI::Move(SIZE szOffset, bool bNeedInvalidate) {
  CVerticalLayoutUI::Move(szOffset, bNeedInvalidate);
  if (!m_pHeader->IsVisible()) m_pHeader->Move(szOffset, false);
}

int CListUI::GetChildPadding() const { return m_pList->GetChildPadding(); }
void CListUI::SetChildPadding(int iPadding) { m_pList->SetChildPadding(iPadding); }
bool CListUI::IsDelayedDestroy() const { return m_pList->IsDelayedDestroy(); }
void CListUI::SetDelayedDestroy(bool bDelayed) { m_pList->SetDelayedDestroy(bDelayed); }
SIZE CListUI::GetScrollPos() const { return m_pList->GetScrollPos(); }
SIZE CListUI::GetScrollRange() const { return m_pList->GetScrollRange(); }
void CListUI::SetScrollPos(SIZE szPos, bool bMsg) { m_pList->SetScrollPos(szPos, bMsg); }
void CListUI::LineUp() { m_pList->LineUp(); }
void CListUI::LineDown() { m_pList->LineDown(); }
void CListUI::PageUp() { m_pList->PageUp(); }
void CListUI::PageDown() { m_pList->PageDown(); }
void CListUI::HomeUp() { m_pList->HomeUp(); }
void CListUI::EndDown() { m_pList->EndDown(); }
void CListUI::LineLeft() { m_pList->LineLeft(); }
void CListUI::LineRight() { m_pList->LineRight(); }
void CListUI::PageLeft() { m_pList->PageLeft(); }
void CListUI::PageRight() { m_pList->PageRight(); }
void CListUI::HomeLeft() { m_pList->HomeLeft(); }
void CListUI::EndRight() { m_pList->EndRight(); }
void CListUI::EnableScrollBar(bool bEnableVertical, bool bEnableHorizontal) {
  m_pList->EnableScrollBar(bEnableVertical, bEnableHorizontal);
}
CScrollBarUI* CListUI::GetVerticalScrollBar() const { return m_pList->GetVerticalScrollBar(); }
CScrollBarUI* CListUI::GetHorizontalScrollBar() const { return m_pList->GetHorizontalScrollBar(); }

CControlUI* CListUI::GetItemAt(int iIndex) const { return m_pList->GetItemAt(iIndex); }
int CListUI::GetCount() const { return m_pList->GetCount(); }

namespace {

bool IsHeaderItem(CControlUI* control) { return wcsstr(control->GetClass(), L"ListHeaderItemUI") != nullptr; }

}  // namespace

int CListUI::GetItemIndex(CControlUI* pControl) const {
  if (pControl == nullptr) return -1;
  if (pControl->GetInterface(L"ListHeader") != nullptr) return CVerticalLayoutUI::GetItemIndex(pControl);
  if (IsHeaderItem(pControl)) return m_pHeader->GetItemIndex(pControl);
  return m_pList->GetItemIndex(pControl);
}

void CListUI::RenumberRows(int from, int to) {
  for (int i = std::max(from, 0); i <= to && i < m_pList->GetCount(); ++i) {
    IListItemUI* item = RowAt(i);
    if (item != nullptr) item->SetIndex(i);
  }
}

void CListUI::AdoptHeader(CListHeaderUI* header) {
  if (header != m_pHeader && m_pHeader->GetCount() == 0) {
    CVerticalLayoutUI::Remove(m_pHeader);
    m_pHeader = header;
  }
  UpdateColumnCount();
}

bool CListUI::Add(CControlUI* pControl) {
  if (pControl == nullptr) return false;
  if (pControl->GetInterface(L"ListHeader") != nullptr) {
    AdoptHeader(static_cast<CListHeaderUI*>(pControl->GetInterface(L"ListHeader")));
    return CVerticalLayoutUI::AddAt(pControl, 0);
  }
  if (IsHeaderItem(pControl)) {
    bool added = m_pHeader->Add(pControl);
    UpdateColumnCount();
    return added;
  }
  IListItemUI* item = static_cast<IListItemUI*>(pControl->GetInterface(L"ListItem"));
  // The container's Add would come back here through AddAt.
  if (item == nullptr) return CVerticalLayoutUI::AddAt(pControl, m_items.GetSize());
  item->SetOwner(this);
  item->SetIndex(m_pList->GetCount());
  return m_pList->Add(pControl);
}

bool CListUI::AddAt(CControlUI* pControl, int iIndex) {
  if (pControl == nullptr) return false;
  if (pControl->GetInterface(L"ListHeader") != nullptr || IsHeaderItem(pControl)) return Add(pControl);
  if (!m_pList->AddAt(pControl, iIndex)) return false;
  IListItemUI* item = static_cast<IListItemUI*>(pControl->GetInterface(L"ListItem"));
  if (item != nullptr) {
    item->SetOwner(this);
    item->SetIndex(iIndex);
  }
  RenumberRows(iIndex + 1, m_pList->GetCount() - 1);
  if (m_iCurSel >= iIndex) ++m_iCurSel;
  m_aSelItems.Renumber(iIndex, 1);
  return true;
}

bool CListUI::Remove(CControlUI* pControl) {
  if (pControl == nullptr) return false;
  if (pControl->GetInterface(L"ListHeader") != nullptr) {
    if (!CVerticalLayoutUI::Remove(pControl)) return false;
    // The list always has a header: the removed one is followed by an empty one.
    if (pControl == m_pHeader) {
      m_pHeader = new CListHeaderUI;
      CVerticalLayoutUI::AddAt(m_pHeader, 0);
    }
    UpdateColumnCount();
    return true;
  }
  if (IsHeaderItem(pControl)) {
    bool removed = m_pHeader->Remove(pControl);
    UpdateColumnCount();
    return removed;
  }
  int index = m_pList->GetItemIndex(pControl);
  if (index < 0) return false;
  // A row let go reports nothing more to this list (it may live on until the delayed clean-up).
  IListItemUI* item = RowAt(index);
  if (item != nullptr) item->SetIndex(-1);
  m_pList->Remove(pControl);
  RenumberRows(index, m_pList->GetCount() - 1);
  m_aSelItems.Renumber(index, -1);
  if (index == m_iCurSel) {
    m_iCurSel = -1;
    SelectItem(FindSelectableRow(index, false), false);
  } else if (index < m_iCurSel) {
    --m_iCurSel;
  }
  return true;
}

bool CListUI::RemoveAt(int iIndex) {
  CControlUI* control = m_pList->GetItemAt(iIndex);
  return control != nullptr && Remove(control);
}

void CListUI::RemoveAll() {
  m_iCurSel = -1;
  m_iExpandedItem = -1;
  m_aSelItems.Clear();
  for (int i = 0; i < m_pList->GetCount(); ++i) {
    IListItemUI* item = RowAt(i);
    if (item != nullptr) item->SetIndex(-1);
  }
  m_pList->RemoveAll();
}

bool CListUI::SetItemIndex(CControlUI* pControl, int iNewIndex) {
  if (pControl == nullptr) return false;
  if (pControl->GetInterface(L"ListHeader") != nullptr) return CVerticalLayoutUI::SetItemIndex(pControl, iNewIndex);
  if (IsHeaderItem(pControl)) return m_pHeader->SetItemIndex(pControl, iNewIndex);
  int oldIndex = m_pList->GetItemIndex(pControl);
  if (oldIndex < 0) return false;
  if (oldIndex == iNewIndex) return true;
  CControlUI* selected = m_pList->GetItemAt(m_iCurSel);
  std::vector<CControlUI*> selectedRows;
  for (int index : m_aSelItems.Order()) selectedRows.push_back(m_pList->GetItemAt(index));
  if (!m_pList->SetItemIndex(pControl, iNewIndex)) return false;
  RenumberRows(std::min(oldIndex, iNewIndex), std::max(oldIndex, iNewIndex));
  if (selected != nullptr) m_iCurSel = m_pList->GetItemIndex(selected);
  std::vector<int> order;
  for (CControlUI* row : selectedRows) order.push_back(m_pList->GetItemIndex(row));
  m_aSelItems.Assign(order);
  return true;
}

}  // namespace SkinUI
