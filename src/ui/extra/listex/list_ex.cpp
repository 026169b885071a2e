#include "ui/extra/listex/list_ex.h"

#include <cwchar>

#include "ui/core/controls/edit.h"
#include "ui/core/paint/manager/paint_manager.h"
#include "ui/extra/combo/combo.h"
#include "ui/extra/list/list_body.h"
#include "ui/extra/list/list_header.h"

namespace SkinUI {

namespace {

const RECT kNowhere = {0, 0, 0, 0};

// An editor floats over the list: the list's layout leaves it no room among the header and body.
template <class T>
T* MakeEditor(CListUI& list, const wchar_t* name, const wchar_t* defaultsOf) {
  T* editor = new T;
  editor->SetName(name);
  CPaintManagerUI* manager = list.GetManager();
  const wchar_t* defaults = manager != nullptr ? manager->GetDefaultAttributeList(defaultsOf) : nullptr;
  if (defaults != nullptr) editor->ApplyAttributeList(defaults);
  editor->SetFloat(true);
  list.Add(editor);
  return editor;
}

}  // namespace

CListExUI::CListExUI()
    : m_pEditUI(nullptr),
      m_pComboBoxUI(nullptr),
      m_nRow(-1),
      m_nColumn(-1),
      m_pComboCallback(nullptr),
      m_pEditedRow(nullptr),
      m_pShownEditor(nullptr),
      m_bFillingCombo(false),
      m_pNotifyManager(nullptr) {
  m_pList->OnScroll += MakeDelegate(this, &CListExUI::OnBodyScroll);
}

CListExUI::~CListExUI() {
  if (m_pNotifyManager != nullptr) m_pNotifyManager->RemoveNotifier(this);
}

const wchar_t* CListExUI::GetClass() const { return L"XListUI"; }

LPVOID CListExUI::GetInterface(const wchar_t* pstrName) {
  if (pstrName != nullptr && _wcsicmp(pstrName, L"ListEx") == 0) return static_cast<IListUI*>(this);
  return CListUI::GetInterface(pstrName);
}

// The list hears its manager's notifications (its rows', header columns' and editors') from the
// manager it belongs to, and stops before it goes.
void CListExUI::SetManager(CPaintManagerUI* pManager, CControlUI* pParent, bool bInit) {
  if (pManager != m_pNotifyManager) {
    if (m_pNotifyManager != nullptr) m_pNotifyManager->RemoveNotifier(this);
    if (pManager != nullptr) pManager->AddNotifier(this);
    m_pNotifyManager = pManager;
  }
  CListUI::SetManager(pManager, pParent, bInit);
}

IListComboCallbackUI* CListExUI::GetComboCallback() const { return m_pComboCallback; }
void CListExUI::SetComboCallback(IListComboCallbackUI* pCallback) { m_pComboCallback = pCallback; }

CListContainerHeaderItemUI* CListExUI::HeaderColumnAt(int iColumn) const {
  CControlUI* item = m_pHeader->GetItemAt(iColumn);
  return item != nullptr ? static_cast<CListContainerHeaderItemUI*>(item->GetInterface(L"ListContainerHeaderItem"))
                         : nullptr;
}

bool CListExUI::IsColumnEditable(int iColumn) {
  CListContainerHeaderItemUI* column = HeaderColumnAt(iColumn);
  return column != nullptr && column->IsEditable();
}

bool CListExUI::IsColumnCombo(int iColumn) {
  CListContainerHeaderItemUI* column = HeaderColumnAt(iColumn);
  return column != nullptr && column->IsComboable();
}

bool CListExUI::IsColumnCheckable(int iColumn) {
  CListContainerHeaderItemUI* column = HeaderColumnAt(iColumn);
  return column != nullptr && column->IsCheckable();
}

CEditUI* CListExUI::GetCellEdit() {
  if (m_pEditUI == nullptr) m_pEditUI = MakeEditor<CEditUI>(*this, L"ListEx_Edit", L"Edit");
  if (m_pComboBoxUI != nullptr) m_pComboBoxUI->SetPos(kNowhere, true);
  return m_pEditUI;
}

CComboBoxUI* CListExUI::GetCellCombo() {
  if (m_pComboBoxUI == nullptr) m_pComboBoxUI = MakeEditor<CComboBoxUI>(*this, L"ListEx_Combo", L"Combo");
  if (m_pEditUI != nullptr) m_pEditUI->SetPos(kNowhere, true);
  return m_pComboBoxUI;
}

RECT CListExUI::CellRect(int iRow, int iColumn) const {
  CControlUI* row = m_pList->GetItemAt(iRow);
  if (row == nullptr || iColumn < 0 || iColumn >= m_ListInfo.nColumns) return kNowhere;
  const RECT& span = m_ListInfo.rcColumn[iColumn];
  RECT rc = {span.left + 2, row->GetPos().top + 2, span.right - 2, row->GetPos().bottom - 2};
  return rc;
}

void CListExUI::EditCell(int iRow, int iColumn) {
  m_pEditedRow = m_pList->GetItemAt(iRow);
  m_nRow = iRow;
  m_nColumn = iColumn;
}

int CListExUI::EditedRow() {
  m_nRow = m_pEditedRow != nullptr ? m_pList->GetItemIndex(m_pEditedRow) : -1;
  return m_nRow;
}

void CListExUI::ForgetEditedCell() {
  m_pEditedRow = nullptr;
  m_nRow = m_nColumn = -1;
}

void CListExUI::FollowEditedRow() {
  if (m_pShownEditor != nullptr) NeedUpdate();
}

void CListExUI::ShowCellEditor(int iRow, int iColumn, RECT rc, const wchar_t* pstrText) {
  if (iColumn >= 0 && IsColumnEditable(iColumn) && GetCellEdit() != nullptr) {
    EditCell(iRow, iColumn);
    m_pEditUI->SetText(pstrText);
    m_pEditUI->SetVisible(true);
    m_pEditUI->SetPos(rc, true);
    m_pShownEditor = m_pEditUI;
    return;
  }
  if (iColumn >= 0 && IsColumnCombo(iColumn) && GetCellCombo() != nullptr) {
    m_pComboBoxUI->RemoveAll();
    EditCell(iRow, iColumn);
    m_pComboBoxUI->SetText(pstrText);
    if (m_pComboCallback != nullptr) {
      // The program's filling may delete this list, or take the edited row out of it (which hides
      // the editors and forgets the cell).
      CControlWatch alive(this);
      m_bFillingCombo = true;
      m_pComboCallback->FillCellCombo(m_pComboBoxUI, iRow, iColumn);
      if (!alive) return;
      m_bFillingCombo = false;
      if (m_pEditedRow == nullptr) return;
    }
    m_pComboBoxUI->SetPos(rc, true);
    m_pComboBoxUI->SetVisible(true);
    m_pShownEditor = m_pComboBoxUI;
    return;
  }
  HideCellEditors();
}

void CListExUI::HideCellEditors() {
  m_pShownEditor = nullptr;
  if (m_pEditUI != nullptr) m_pEditUI->SetPos(kNowhere, true);
  if (m_pComboBoxUI != nullptr) m_pComboBoxUI->SetPos(kNowhere, true);
}

// The layout puts floating editors at their own (empty) place: the shown one goes back over its cell.
void CListExUI::SetPos(RECT rc, bool bNeedInvalidate) {
  CControlWatch alive(this);  // the layout may reach the program, which may delete this list
  CListUI::SetPos(rc, bNeedInvalidate);
  if (!alive) return;
  if (m_pShownEditor != nullptr) m_pShownEditor->SetPos(CellRect(EditedRow(), m_nColumn), bNeedInvalidate);
}

bool CListExUI::AddAt(CControlUI* pControl, int iIndex) {
  if (!CListUI::AddAt(pControl, iIndex)) return false;
  FollowEditedRow();
  return true;
}

bool CListExUI::SetItemIndex(CControlUI* pControl, int iNewIndex) {
  if (!CListUI::SetItemIndex(pControl, iNewIndex)) return false;
  FollowEditedRow();
  return true;
}

// The edited row's record is gone: nothing may be written for it, and the list may delete it.
bool CListExUI::Remove(CControlUI* pControl) {
  if (pControl != nullptr && pControl == m_pEditedRow) {
    ForgetEditedCell();
    HideCellEditors();
  }
  if (!CListUI::Remove(pControl)) return false;
  FollowEditedRow();
  return true;
}

void CListExUI::RemoveAll() {
  if (m_pEditedRow != nullptr) {
    ForgetEditedCell();
    HideCellEditors();
  }
  CListUI::RemoveAll();
}

// The body moved its rows under the editors.
bool CListExUI::OnBodyScroll(void*) {
  if (m_pShownEditor != nullptr) HideCellEditors();
  return true;
}

void CListExUI::DoEvent(EventRecordUI& event) {
  if (event.Type == UIEVENT_BUTTONDOWN) HideCellEditors();
  CListUI::DoEvent(event);
}

void CListExUI::WriteCell(const CUIString& text) {
  CControlUI* row = m_pList->GetItemAt(EditedRow());
  CListTextExtElementUI* cells =
      row != nullptr ? static_cast<CListTextExtElementUI*>(row->GetInterface(L"ListTextExElement")) : nullptr;
  if (cells != nullptr) cells->SetText(m_nColumn, text.GetData());
  ForgetEditedCell();
}

bool CListExUI::AllRowsChecked() const {
  for (int i = 0; i < m_pList->GetCount(); ++i) {
    auto* row = static_cast<CListTextExtElementUI*>(m_pList->GetItemAt(i)->GetInterface(L"ListTextExElement"));
    if (row != nullptr && !row->GetCheck()) return false;
  }
  return true;
}

void CListExUI::OnListItemChecked(int, int iColumn, bool bChecked) {
  CListContainerHeaderItemUI* column = HeaderColumnAt(iColumn);
  if (column == nullptr) return;
  column->SetCheck(bChecked && AllRowsChecked());
}

void CListExUI::Notify(NotifyRecordUI& msg) {
  CControlUI* sender = msg.pSender;
  if (sender == nullptr) return;
  if (msg.sType == L"listheaditemchecked" && m_pHeader->GetItemIndex(sender) >= 0) {
    for (int i = 0; i < m_pList->GetCount(); ++i) {
      auto* row = static_cast<CListTextExtElementUI*>(m_pList->GetItemAt(i)->GetInterface(L"ListTextExElement"));
      if (row != nullptr) row->SetCheck(msg.lParam != 0);
    }
  } else if (msg.sType == L"listitemchecked" && m_pList->GetItemIndex(sender) >= 0) {
    OnListItemChecked(static_cast<int>(msg.wParam), HIWORD(msg.lParam), LOWORD(msg.lParam) != 0);
  } else if (sender == m_pEditUI && msg.sType == L"killfocus" && m_nRow >= 0 && m_nColumn >= 0) {
    WriteCell(m_pEditUI->GetText());
    m_pShownEditor = nullptr;
    m_pEditUI->SetPos(kNowhere, true);
  } else if (sender == m_pComboBoxUI && msg.sType == L"itemselect" && static_cast<int>(msg.wParam) >= 0 &&
             !m_bFillingCombo && m_nRow >= 0 && m_nColumn >= 0) {
    WriteCell(m_pComboBoxUI->GetText());
    m_pShownEditor = nullptr;
    m_pComboBoxUI->SetPos(kNowhere, true);
  }
}

}  // namespace SkinUI
