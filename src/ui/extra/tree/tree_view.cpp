#include <cwchar>

#include "ui/core/resources/attribute_values.h"
#include "ui/extra/list/list_header.h"
#include "ui/extra/tree/tree_view.h"

namespace SkinUI {

namespace {

bool IsPlainNode(CControlUI* control) {
  return control != nullptr && _wcsicmp(control->GetClass(), L"TreeNodeUI") == 0;
}

}  // namespace

CTreeViewUI::CTreeViewUI() : m_uItemMinWidth(0), m_bVisibleFolderBtn(true), m_bVisibleCheckBtn(false) {
  GetHeader()->SetVisible(false);
}

const wchar_t* CTreeViewUI::GetClass() const { return L"TreeViewUI"; }

LPVOID CTreeViewUI::GetInterface(const wchar_t* pstrName) {
  if (pstrName != nullptr) {
    if (_wcsicmp(pstrName, L"TreeView") == 0) return static_cast<CTreeViewUI*>(this);
    if (_wcsicmp(pstrName, L"ITreeItemParent") == 0) return static_cast<ITreeItemParentUI*>(this);
  }
  return CListUI::GetInterface(pstrName);
}

int CTreeViewUI::GetListType() { return 2; }
void CTreeViewUI::Notify(NotifyRecordUI&) {}
CControlUI* CTreeViewUI::GetTreeItemView() { return this; }

bool CTreeViewUI::AddTreeItem(CControlUI* pControl) {
  CTreeNodeUI* node = static_cast<CTreeNodeUI*>(pControl->GetInterface(L"TreeNode"));
  return node != nullptr && Add(node);
}

CTreeNodeUI* CTreeViewUI::NodeAt(int index) const {
  CControlUI* item = GetItemAt(index);
  return item != nullptr ? static_cast<CTreeNodeUI*>(item->GetInterface(L"TreeNode")) : nullptr;
}

void CTreeViewUI::Adopt(CTreeNodeUI* node) {
  node->OnNotify += MakeDelegate(this, &CTreeViewUI::OnDBClickItem);
  node->GetFolderButton()->OnNotify += MakeDelegate(this, &CTreeViewUI::OnFolderChanged);
  node->GetCheckBox()->OnNotify += MakeDelegate(this, &CTreeViewUI::OnCheckBoxChanged);
  node->SetVisibleFolderBtn(m_bVisibleFolderBtn);
  node->SetVisibleCheckBtn(m_bVisibleCheckBtn);
  if (m_uItemMinWidth > 0) node->SetMinWidth(static_cast<int>(m_uItemMinWidth));
}

bool CTreeViewUI::Add(CTreeNodeUI* pControl) {
  if (!IsPlainNode(pControl)) return false;
  Adopt(pControl);
  CListUI::Add(pControl);
  for (int i = 0; i < pControl->GetCountChild(); ++i) {
    CTreeNodeUI* child = pControl->GetChildNode(i);
    if (child != nullptr) Add(child);
  }
  pControl->SetTreeView(this);
  return true;
}

// The node goes in at the index with its whole subtree after it, in depth-first order.
int CTreeViewUI::AddAt(CTreeNodeUI* pControl, int iIndex) {
  if (!IsPlainNode(pControl)) return -1;
  Adopt(pControl);
  CListUI::AddAt(pControl, iIndex);
  pControl->SetTreeView(this);
  int next = iIndex + 1;
  for (int i = 0; i < pControl->GetCountChild(); ++i) {
    CTreeNodeUI* child = pControl->GetChildNode(i);
    if (child != nullptr) next = AddAt(child, next);
  }
  return next;
}

bool CTreeViewUI::AddAt(CTreeNodeUI* pControl, CTreeNodeUI* pIndexNode) {
  if (pControl == nullptr || pIndexNode == nullptr) return false;
  int index = GetItemIndex(pIndexNode);
  return index >= 0 && AddAt(pControl, index) >= 0;
}

// Each removal may move the selection, and the receiver of its "itemselect" may remove nodes too,
// this one among them.
bool CTreeViewUI::Remove(CTreeNodeUI* pControl) {
  if (pControl == nullptr) return false;
  CControlWatch alive(this);
  CControlWatch node(pControl);
  while (alive && node && pControl->IsHasChild()) pControl->Remove(pControl->GetChildNode(0));
  if (!alive || !node) return true;
  if (pControl->GetParentNode() != nullptr) pControl->GetParentNode()->ForgetChild(pControl);
  CListUI::Remove(pControl);
  return true;
}

bool CTreeViewUI::RemoveAt(int iIndex) {
  CTreeNodeUI* node = NodeAt(iIndex);
  if (node == nullptr) return CListUI::RemoveAt(iIndex);
  return Remove(node);
}

void CTreeViewUI::RemoveAll() { CListUI::RemoveAll(); }

CTreeNodeUI* CTreeViewUI::NodeOfPart(const NotifyRecordUI& msg) {
  CControlUI* layout = msg.pSender != nullptr ? msg.pSender->GetParent() : nullptr;
  CControlUI* node = layout != nullptr ? layout->GetParent() : nullptr;
  return node != nullptr ? static_cast<CTreeNodeUI*>(node->GetInterface(L"TreeNode")) : nullptr;
}

bool CTreeViewUI::OnCheckBoxChanged(void* param) {
  NotifyRecordUI* msg = static_cast<NotifyRecordUI*>(param);
  CTreeNodeUI* node = msg->sType == L"selectchanged" ? NodeOfPart(*msg) : nullptr;
  if (node != nullptr) SetItemCheckBox(node->GetCheckBox()->IsSelected(), node);
  return true;
}

bool CTreeViewUI::OnFolderChanged(void* param) {
  NotifyRecordUI* msg = static_cast<NotifyRecordUI*>(param);
  CTreeNodeUI* node = msg->sType == L"selectchanged" ? NodeOfPart(*msg) : nullptr;
  if (node == nullptr) return true;
  bool expanded = !node->GetFolderButton()->IsSelected();
  node->SetVisibleTag(expanded);
  SetItemExpand(expanded, node);
  return true;
}

bool CTreeViewUI::OnDBClickItem(void* param) {
  NotifyRecordUI* msg = static_cast<NotifyRecordUI*>(param);
  if (msg->sType != L"treeitemdbclick" || msg->pSender == nullptr) return false;
  CTreeNodeUI* node = static_cast<CTreeNodeUI*>(msg->pSender->GetInterface(L"TreeNode"));
  if (node == nullptr) return false;
  CCheckBoxUI* folder = node->GetFolderButton();
  // The receiver of the folder's "selectchanged" may delete the node.
  CControlWatch alive(node);
  folder->Selected(!folder->IsSelected());
  if (!alive) return true;
  node->SetVisibleTag(!folder->IsSelected());
  SetItemExpand(!folder->IsSelected(), node);
  return true;
}

// Each box notifies "selectchanged", and hiding a node may move the focus: their receivers may
// remove nodes, this tree too. When the nodes walked change under the walk, it starts again:
// ticking a box or showing a node a second time does nothing.
bool CTreeViewUI::SetItemCheckBox(bool bSelected, CTreeNodeUI* pTreeNode) {
  ForEachItem(
      pTreeNode,
      [bSelected](CControlUI* item) {
        CTreeNodeUI* node = static_cast<CTreeNodeUI*>(item->GetInterface(L"TreeNode"));
        if (node != nullptr) node->GetCheckBox()->Selected(bSelected);
      },
      [this, bSelected](CTreeNodeUI* node) { SetItemCheckBox(bSelected, node); });
  return true;
}

// The descendants of a collapsed child keep their state.
void CTreeViewUI::SetItemExpand(bool bExpanded, CTreeNodeUI* pTreeNode) {
  ForEachItem(
      pTreeNode, [bExpanded](CControlUI* item) { item->SetVisible(bExpanded); },
      [this, bExpanded](CTreeNodeUI* node) {
        if (!node->GetFolderButton()->IsSelected()) SetItemExpand(bExpanded, node);
      });
}

void CTreeViewUI::ForEachItem(CTreeNodeUI* pTreeNode, const std::function<void(CControlUI*)>& act,
                              const std::function<void(CTreeNodeUI*)>& descend) {
  CControlWatch alive(this);
  CControlWatch parent(pTreeNode);
  auto walked = [&] { return alive && (pTreeNode == nullptr || parent); };
  auto itemAt = [&](int i) -> CControlUI* { return pTreeNode != nullptr ? pTreeNode->GetChildNode(i) : GetItemAt(i); };
  auto count = [&] { return pTreeNode != nullptr ? pTreeNode->GetCountChild() : GetCount(); };
  for (int i = 0; walked() && i < count(); ++i) {
    CControlUI* item = itemAt(i);
    if (item == nullptr) continue;
    CControlWatch held(item);
    act(item);
    if (pTreeNode != nullptr && held && walked() && pTreeNode->GetChildNode(i) == item) {
      CTreeNodeUI* node = pTreeNode->GetChildNode(i);
      if (node->IsHasChild()) descend(node);
    }
    if (!walked()) return;
    if (!held || itemAt(i) != item) i = -1;
  }
}

void CTreeViewUI::SetVisibleFolderBtn(bool bIsVisible) {
  m_bVisibleFolderBtn = bIsVisible;
  for (int i = 0; i < GetCount(); ++i) {
    CTreeNodeUI* node = NodeAt(i);
    if (node != nullptr) node->SetVisibleFolderBtn(bIsVisible);
  }
}

bool CTreeViewUI::GetVisibleFolderBtn() { return m_bVisibleFolderBtn; }

void CTreeViewUI::SetVisibleCheckBtn(bool bIsVisible) {
  m_bVisibleCheckBtn = bIsVisible;
  for (int i = 0; i < GetCount(); ++i) {
    CTreeNodeUI* node = NodeAt(i);
    if (node != nullptr) node->SetVisibleCheckBtn(bIsVisible);
  }
}

bool CTreeViewUI::GetVisibleCheckBtn() { return m_bVisibleCheckBtn; }

void CTreeViewUI::SetItemMinWidth(UINT uItemMinWidth) {
  m_uItemMinWidth = uItemMinWidth;
  for (int i = 0; i < GetCount(); ++i) GetItemAt(i)->SetMinWidth(static_cast<int>(uItemMinWidth));
  Invalidate();
}

UINT CTreeViewUI::GetItemMinWidth() { return m_uItemMinWidth; }

void CTreeViewUI::SetNodeColors(void (CTreeNodeUI::*set)(DWORD), DWORD dwColor) {
  for (int i = 0; i < GetCount(); ++i) {
    CTreeNodeUI* node = NodeAt(i);
    if (node != nullptr) (node->*set)(dwColor);
  }
}

void CTreeViewUI::SetItemTextColor(DWORD dwItemTextColor) {
  SetNodeColors(&CTreeNodeUI::SetItemTextColor, dwItemTextColor);
}

void CTreeViewUI::SetItemHotTextColor(DWORD dwItemHotTextColor) {
  SetNodeColors(&CTreeNodeUI::SetItemHotTextColor, dwItemHotTextColor);
}

void CTreeViewUI::SetSelItemTextColor(DWORD dwSelItemTextColor) {
  SetNodeColors(&CTreeNodeUI::SetSelItemTextColor, dwSelItemTextColor);
}

void CTreeViewUI::SetSelItemHotTextColor(DWORD dwSelHotItemTextColor) {
  SetNodeColors(&CTreeNodeUI::SetSelItemHotTextColor, dwSelHotItemTextColor);
}

void CTreeViewUI::SetAttribute(const wchar_t* pstrName, const wchar_t* pstrValue) {
  if (pstrName == nullptr || pstrValue == nullptr) return;
  auto is = [pstrName](const wchar_t* name) { return _wcsicmp(pstrName, name) == 0; };
  if (is(L"visiblefolderbtn"))
    SetVisibleFolderBtn(_wcsicmp(pstrValue, L"TRUE") == 0);
  else if (is(L"visiblecheckbtn"))
    SetVisibleCheckBtn(_wcsicmp(pstrValue, L"TRUE") == 0);
  else if (is(L"itemminwidth"))
    SetItemMinWidth(static_cast<UINT>(_wtoi(pstrValue)));
  else if (is(L"itemtextcolor"))
    SetItemTextColor(ReadColorValue(pstrValue));
  else if (is(L"itemhottextcolor"))
    SetItemHotTextColor(ReadColorValue(pstrValue));
  else if (is(L"selitemtextcolor"))
    SetSelItemTextColor(ReadColorValue(pstrValue));
  else if (is(L"selitemhottextcolor"))
    SetSelItemHotTextColor(ReadColorValue(pstrValue));
  else
    CListUI::SetAttribute(pstrName, pstrValue);
}

}  // namespace SkinUI
