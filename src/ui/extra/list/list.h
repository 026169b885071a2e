// ui/extra/list/: the list ("List") with its header, scrolling body and rows, and the list
// interfaces that the tree view, combo box, menu and list extension share. Uses ui/core only.
#pragma once
#include <unordered_set>
#include <vector>

#include "ui/core/layouts/linear_layout.h"
#include "ui/extra/list/list_interfaces.h"

namespace SkinUI {

class CListBodyUI;
class CEditUI;
class CComboBoxUI;

// The indices of a list's selected rows in the order they were recorded, each once.
class CListSelection {
 public:
  const std::vector<int>& Order() const { return m_order; }
  bool Has(int index) const { return m_members.count(index) != 0; }
  bool Empty() const { return m_order.empty(); }
  int Size() const { return static_cast<int>(m_order.size()); }
  void Add(int index);
  void Remove(int index);
  void Clear();
  void Assign(const std::vector<int>& order);
  // Rows came (delta 1) or went (delta -1) at `index`: the indices follow their rows.
  void Renumber(int index, int delta);

 private:
  std::vector<int> m_order;
  std::unordered_set<int> m_members;
};

// A vertical layout owning a column header and a scrolling body of rows. It keeps the selection,
// moves it by keyboard and wheel, scrolls rows into view and shares one style record with its rows.
class CListUI : public CVerticalLayoutUI, public IListUI {
 public:
  CListUI();
  ~CListUI() override;

  const wchar_t* GetClass() const override;
  LPVOID GetInterface(const wchar_t* pstrName) override;
  void SetPos(RECT rc, bool bNeedInvalidate = true) override;
  void Move(SIZE szOffset, bool bNeedInvalidate = true) override;
  void DoEvent(EventRecordUI& event) override;
  void SetAttribute(const wchar_t* pstrName, const wchar_t* pstrValue) override;

  // The body's: a list's child padding, scrolling and scroll bars are those of its body.
  int GetChildPadding() const override;
  void SetChildPadding(int iPadding) override;
  bool IsDelayedDestroy() const override;
  void SetDelayedDestroy(bool bDelayed) override;
  SIZE GetScrollPos() const override;
  SIZE GetScrollRange() const override;
  void SetScrollPos(SIZE szPos, bool bMsg = true) override;
  void LineUp() override;
  void LineDown() override;
  void PageUp() override;
  void PageDown() override;
  void HomeUp() override;
  void EndDown() override;
  void LineLeft() override;
  void LineRight() override;
  void PageLeft() override;
  void PageRight() override;
  void HomeLeft() override;
  void EndRight() override;
  void EnableScrollBar(bool bEnableVertical = true, bool bEnableHorizontal = false) override;
  CScrollBarUI* GetVerticalScrollBar() const override;
  CScrollBarUI* GetHorizontalScrollBar() const override;

  // The rows in the body; headers and header items go to the header.
  CControlUI* GetItemAt(int iIndex) const override;
  int GetItemIndex(CControlUI* pControl) const override;
  bool SetItemIndex(CControlUI* pControl, int iNewIndex) override;
  int GetCount() const override;
  bool Add(CControlUI* pControl) override;
  bool AddAt(CControlUI* pControl, int iIndex) override;
  bool Remove(CControlUI* pControl) override;
  bool RemoveAt(int iIndex) override;
  void RemoveAll() override;

  // Hooks for in-cell editors; the extended list gives them their meaning.
  virtual bool IsColumnEditable(int iColumn);
  virtual CEditUI* GetCellEdit();
  virtual bool IsColumnCombo(int iColumn);
  virtual CComboBoxUI* GetCellCombo();

  int GetListType() override;
  ListInfoUI* GetListInfo() override;
  int GetCurSel() const override;
  bool SelectItem(int iIndex, bool bTakeFocus = false) override;
  bool SelectMultiItem(int iIndex, bool bTakeFocus = false) override;
  bool UnSelectItem(int iIndex, bool bOthers = false) override;
  CListHeaderUI* GetHeader() const override;
  CContainerUI* GetList() const override;
  IListCallbackUI* GetTextCallback() const override;
  void SetTextCallback(IListCallbackUI* pCallback) override;
  bool ExpandItem(int iIndex, bool bExpand = true) override;
  int GetExpandedItem() const override;
  void SetMultiSelect(bool bMultiSel) override;
  bool IsMultiSelect() const override;
  void SelectAllItems() override;
  void UnSelectAllItems() override;
  int GetSelectItemCount() const override;
  int GetNextSelItem(int nItem) const override;

  void EnsureVisible(int iIndex);
  void Scroll(int dx, int dy);
  bool IsFixedScrollbar() const { return m_bFixedScrollbar; }
  bool IsScrollSelect() const { return m_bScrollSelect; }

 protected:
  // The row of the body at `index` as a list item, or null.
  IListItemUI* RowAt(int index) const;
  // The first selectable row from `index` on (forward) or back (backward, else the first of all).
  int FindSelectableRow(int index, bool forward) const;
  void RenumberRows(int from, int to);
  void AdoptHeader(CListHeaderUI* header);
  void UpdateColumnCount();
  void CopyColumnRects();
  bool HandleKey(const EventRecordUI& event);
  bool HandleWheel(const EventRecordUI& event);
  // The row a page away from the current selection, down or up, that can be selected.
  int PageTarget(bool down) const;
  bool SetInfoAttribute(const wchar_t* name, const wchar_t* value);

  bool m_bFixedScrollbar;
  bool m_bScrollSelect;
  int m_iCurSel;
  bool m_bMultiSel;
  CListSelection m_aSelItems;
  int m_iExpandedItem;
  IListCallbackUI* m_pCallback;
  CListBodyUI* m_pList;
  CListHeaderUI* m_pHeader;
  ListInfoUI m_ListInfo;
  // While set, selecting leaves scrolling rows into view to the end of the run (select all).
  bool m_bDeferEnsureVisible;
};

}  // namespace SkinUI
