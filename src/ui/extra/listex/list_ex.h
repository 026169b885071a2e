// ui/extra/listex/: the list extension: a list ("ListEx") whose cells are edited in place by an
// edit field or a combo box, header columns ("ListContainerHeaderItem") with a check box that
// checks every row, and text rows ("ListTextExtElement") with a check box in each checkable
// column. Uses ui/core, ui/extra/list and ui/extra/combo.
#pragma once
#include "ui/extra/list/header_column.h"
#include "ui/extra/list/list.h"
#include "ui/extra/list/list_elements.h"
#include "ui/extra/listex/cell_check_box.h"

namespace SkinUI {

class CEditUI;
class CComboBoxUI;

// The host's filler of the in-cell combo: adds the combo's items for a cell before it is shown.
class IListComboCallbackUI {
 public:
  virtual void FillCellCombo(CComboBoxUI* pCombo, int iRow, int iColumn) = 0;

 protected:
  ~IListComboCallbackUI() = default;
};

// A list whose cells are edited in place: a press on a cell of an editable column puts the edit
// "ListEx_Edit" over it, of a comboable column the combo box "ListEx_Combo"; the edit's text goes
// into that cell when it loses the focus, the combo's when an item is chosen. The editors float
// over the body and take no room from it. The list also keeps the header check boxes in step with
// the rows' check boxes. It listens to its manager's notifications on its own.
class CListExUI : public CListUI, public INotifyUI {
 public:
  CListExUI();
  ~CListExUI() override;

  const wchar_t* GetClass() const override;
  LPVOID GetInterface(const wchar_t* pstrName) override;
  void SetManager(CPaintManagerUI* pManager, CControlUI* pParent, bool bInit = true) override;
  void SetPos(RECT rc, bool bNeedInvalidate = true) override;
  void DoEvent(EventRecordUI& event) override;
  // Rows that come, go or move keep the edited cell with its row; the row's removal ends the edit.
  bool AddAt(CControlUI* pControl, int iIndex) override;
  bool Remove(CControlUI* pControl) override;
  void RemoveAll() override;
  bool SetItemIndex(CControlUI* pControl, int iNewIndex) override;

  bool IsColumnEditable(int iColumn) override;
  CEditUI* GetCellEdit() override;
  bool IsColumnCombo(int iColumn) override;
  CComboBoxUI* GetCellCombo() override;
  virtual bool IsColumnCheckable(int iColumn);
  virtual IListComboCallbackUI* GetComboCallback() const;
  virtual void SetComboCallback(IListComboCallbackUI* pCallback);

  void Notify(NotifyRecordUI& msg) override;

  // Puts the editor of the cell's column over `rc` with the text (no column, or a column with no
  // editor: hides the editors).
  void ShowCellEditor(int iRow, int iColumn, RECT rc, const wchar_t* pstrText);
  void HideCellEditors();
  // A row's box in the column was clicked: the column's header box follows the rows.
  void OnListItemChecked(int iRow, int iColumn, bool bChecked);

 private:
  class CListContainerHeaderItemUI* HeaderColumnAt(int iColumn) const;
  RECT CellRect(int iRow, int iColumn) const;
  void EditCell(int iRow, int iColumn);
  // The edited row's index now, or -1 when it is no longer in the list.
  int EditedRow();
  void ForgetEditedCell();
  // The body lays its rows out again: the shown editor goes over its row's cell with the list.
  void FollowEditedRow();
  void WriteCell(const CUIString& text);
  bool OnBodyScroll(void* param);
  // Every text row (with a check box) is checked.
  bool AllRowsChecked() const;

  CEditUI* m_pEditUI;
  CComboBoxUI* m_pComboBoxUI;
  int m_nRow;
  int m_nColumn;
  IListComboCallbackUI* m_pComboCallback;
  // The edited row itself: its index changes as rows come, go and move. Only compared with the
  // list's rows, never used through, as it may have been deleted.
  CControlUI* m_pEditedRow;
  // The editor over the stored cell, kept there when the list is laid out again.
  CControlUI* m_pShownEditor;
  // While the host fills the combo, its selection is not a choice.
  bool m_bFillingCombo;
  CPaintManagerUI* m_pNotifyManager;
};

// A header column that may hold controls, with a separator that resizes the column, the flags
// that make the column editable, comboable or checkable, and a check box that checks every row
// ("listheaditemchecked"; a press elsewhere sends "listheaderclick").
class CListContainerHeaderItemUI : public CHorizontalLayoutUI {
 public:
  CListContainerHeaderItemUI();

  const wchar_t* GetClass() const override;
  LPVOID GetInterface(const wchar_t* pstrName) override;
  UINT GetControlFlags() const override;
  void DoEvent(EventRecordUI& event) override;
  void SetAttribute(const wchar_t* pstrName, const wchar_t* pstrValue) override;
  SIZE EstimateSize(SIZE szAvailable) override;
  void PaintStatusImage(HDC hDC) override;
  void PaintText(HDC hDC) override;

  bool IsEditable() const { return m_bEditable; }
  bool IsComboable() const { return m_bComboable; }
  bool IsCheckable() const { return m_bCheckable; }
  bool GetCheck() const { return m_box.bChecked; }
  void SetCheck(bool bCheck);

 private:
  RECT BoxRect() const;

  HeaderColumn m_column;
  bool m_bEditable;
  bool m_bComboable;
  bool m_bCheckable;
  CellCheckBox m_box;
};

// A text row with a check box in every checkable column of its list; a click on one flips the
// row's check and sends "listitemchecked" (wParam the row's index, lParam checked in the low word
// and the column in the high word). A press on a cell offers the list its editor.
class CListTextExtElementUI : public CListTextElementUI {
 public:
  CListTextExtElementUI();

  const wchar_t* GetClass() const override;
  LPVOID GetInterface(const wchar_t* pstrName) override;
  void SetOwner(CControlUI* pOwner) override;
  void DoEvent(EventRecordUI& event) override;
  void SetAttribute(const wchar_t* pstrName, const wchar_t* pstrValue) override;
  void DoPaint(HDC hDC, const RECT& rcPaint) override;
  void PaintStatusImage(HDC hDC) override;
  void DrawItemText(HDC hDC, const RECT& rcItem) override;

  using CListTextElementUI::GetText;
  using CListTextElementUI::SetText;
  // A column's stored text, or null.
  const wchar_t* GetText(int iColumn) const;
  // Stores the column's text; nothing without a list or for a column outside its columns.
  void SetText(int iColumn, const wchar_t* pstrText);
  bool GetCheck() const { return m_box.bChecked; }
  void SetCheck(bool bCheck);

 private:
  bool IsCheckable(int iColumn) const;
  RECT BoxRect(int iColumn) const;
  // The column whose cell (less the list's text padding) holds the point, or -1.
  int ColumnAt(POINT pt) const;
  void OfferCellEditor(POINT pt);

  CListExUI* m_pListEx;
  CellCheckBox m_box;
};

}  // namespace SkinUI
