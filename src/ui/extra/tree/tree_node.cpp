#include <algorithm>
#include <cwchar>
#include <initializer_list>
#include <vector>

#include "ui/core/base/ui_log.h"
#include "ui/core/paint/manager/paint_manager.h"
#include "ui/core/resources/attribute_values.h"
#include "ui/extra/tree/tree_view.h"

namespace SkinUI {

namespace {

const int kIndentStep = 16;

// The fixed width as written, for 96 dots per inch.
int StoredWidth(CControlUI* control) {
  int width = control->GetFixedWidth();
  CPaintManagerUI* manager = control->GetManager();
  return manager != nullptr ? manager->GetDPIObject()->ScaleBack(width) : width;
}

CTreeNodeUI* AsNode(CControlUI* control) {
  return control != nullptr ? static_cast<CTreeNodeUI*>(control->GetInterface(L"TreeNode")) : nullptr;
}

bool IsPlainNode(CControlUI* control) {
  return control != nullptr && _wcsicmp(control->GetClass(), L"TreeNodeUI") == 0;
}

// A node's row: the program may add controls to it and take them away again, but the parts the
// node made (dotted line, folder button, check box, item button) stay, as the node goes on using
// them.
class CNodeRowUI : public CHorizontalLayoutUI {
 public:
  explicit CNodeRowUI(std::initializer_list<CControlUI*> parts) : m_parts(parts) {
    for (CControlUI* part : parts) Add(part);
  }
  bool Remove(CControlUI* pControl) override {
    if (!IsPart(pControl)) return CHorizontalLayoutUI::Remove(pControl);
    UILog(L"Remove, refused: the %ls is a part of its tree node", pControl->GetClass());
    return false;
  }
  void RemoveAll() override {
    for (int i = GetCount() - 1; i >= 0; --i) {
      if (!IsPart(GetItemAt(i))) CHorizontalLayoutUI::Remove(GetItemAt(i));
    }
  }

 private:
  bool IsPart(CControlUI* control) const {
    return std::find(m_parts.begin(), m_parts.end(), control) != m_parts.end();
  }
  std::vector<CControlUI*> m_parts;
};

}  // namespace

CTreeNodeUI::CTreeNodeUI(CTreeNodeUI* pParent)
    : m_bIsVisable(true),
      m_dwItemTextColor(0),
      m_dwItemHotTextColor(0),
      m_dwSelItemTextColor(0),
      m_dwSelItemHotTextColor(0),
      m_pTreeView(nullptr),
      m_pHoriz(nullptr),
      m_pFolderButton(new CCheckBoxUI),
      m_pDottedLine(new CLabelUI),
      m_pCheckBox(new CCheckBoxUI),
      m_pItemButton(new COptionUI),
      m_pParentTreeNode(nullptr) {
  SetFixedHeight(18);
  SetFixedWidth(250);
  m_pFolderButton->SetFixedWidth(18);
  m_pDottedLine->SetFixedWidth(2);
  m_pCheckBox->SetFixedWidth(18);
  m_pItemButton->SetAttribute(L"align", L"left");
  m_pDottedLine->SetVisible(false);
  m_pCheckBox->SetVisible(false);
  m_pItemButton->SetMouseEnabled(false);
  if (pParent != nullptr) {
    m_pParentTreeNode = pParent;
    m_pDottedLine->SetVisible(pParent->m_pDottedLine->IsVisible());
    m_pDottedLine->SetFixedWidth(StoredWidth(pParent->m_pDottedLine) + kIndentStep);
  }
  m_pHoriz = new CNodeRowUI({m_pDottedLine, m_pFolderButton, m_pCheckBox, m_pItemButton});
  m_pHoriz->SetChildVAlign(DT_VCENTER);
  CListContainerElementUI::AddAt(m_pHoriz, 0);
}

// Nothing keeps a pointer to a node that is gone: its parent node lets go of it, its child nodes
// forget it, and child nodes that no view holds go with it.
CTreeNodeUI::~CTreeNodeUI() {
  if (m_pParentTreeNode != nullptr) m_pParentTreeNode->ForgetChild(this);
  for (int i = 0; i < m_aTreeNodes.GetSize(); ++i) {
    CTreeNodeUI* child = static_cast<CTreeNodeUI*>(m_aTreeNodes[i]);
    child->m_pParentTreeNode = nullptr;
    if (child->m_pTreeView == nullptr) delete child;
  }
}

const wchar_t* CTreeNodeUI::GetClass() const { return L"TreeNodeUI"; }

LPVOID CTreeNodeUI::GetInterface(const wchar_t* pstrName) {
  if (pstrName != nullptr) {
    if (_wcsicmp(pstrName, L"TreeNode") == 0) return static_cast<CTreeNodeUI*>(this);
    if (_wcsicmp(pstrName, L"ITreeItemParent") == 0) return static_cast<ITreeItemParentUI*>(this);
  }
  return CListContainerElementUI::GetInterface(pstrName);
}

CTreeNodeUI* CTreeNodeUI::GetChildNode(int iIndex) const {
  return static_cast<CTreeNodeUI*>(m_aTreeNodes.GetAt(iIndex));
}

int CTreeNodeUI::GetTreeIndex() { return m_pTreeView != nullptr ? m_pTreeView->GetItemIndex(this) : -1; }

CTreeNodeUI* CTreeNodeUI::GetLastNode() {
  CTreeNodeUI* last = this;
  while (last->IsHasChild()) last = last->GetChildNode(last->GetCountChild() - 1);
  return last;
}

void CTreeNodeUI::ForgetChild(CTreeNodeUI* pNode) {
  int index = m_aTreeNodes.Find(pNode);
  if (index >= 0) m_aTreeNodes.Remove(index);
  if (pNode->m_pParentTreeNode == this) pNode->m_pParentTreeNode = nullptr;
}

void CTreeNodeUI::CalLocation(CTreeNodeUI* pNode) {
  pNode->m_pDottedLine->SetVisible(true);
  pNode->m_pDottedLine->SetFixedWidth(StoredWidth(m_pDottedLine) + kIndentStep);
  pNode->m_pParentTreeNode = this;
  pNode->m_pItemButton->SetGroup(m_pItemButton->GetGroup());
  pNode->m_pTreeView = m_pTreeView;
  pNode->RelocateChildren();
}

void CTreeNodeUI::RelocateChildren() {
  for (int i = 0; i < m_aTreeNodes.GetSize(); ++i) CalLocation(GetChildNode(i));
}

bool CTreeNodeUI::AddChildNode(CTreeNodeUI* pNode) {
  if (!IsPlainNode(pNode)) return false;
  CalLocation(pNode);
  if (m_pTreeView == nullptr) return m_aTreeNodes.Add(pNode);
  // Right after this node's subtree as it stands.
  int index = GetLastNode()->GetTreeIndex() + 1;
  if (m_pTreeView->AddAt(pNode, index) < 0) return false;
  return m_aTreeNodes.Add(pNode);
}

bool CTreeNodeUI::Add(CControlUI* pControl) {
  if (IsPlainNode(pControl)) return AddChildNode(AsNode(pControl));
  // The container's Add would come back here through AddAt.
  return CListContainerElementUI::AddAt(pControl, m_items.GetSize());
}

// A node placed past the end of the child list goes after this node's subtree, as AddChildNode.
bool CTreeNodeUI::AddAt(CControlUI* pControl, int iIndex) {
  CTreeNodeUI* node = AsNode(pControl);
  if (node == nullptr) return false;
  if (iIndex < 0 || iIndex >= m_aTreeNodes.GetSize()) return AddChildNode(node);
  CTreeNodeUI* position = GetChildNode(iIndex);
  if (!m_aTreeNodes.InsertAt(iIndex, node)) return false;
  CalLocation(node);
  return m_pTreeView == nullptr || m_pTreeView->AddAt(node, position);
}

// Each removal from the view may move its selection, and the receiver of its "itemselect" may
// remove nodes too, this one or the node taken among them.
bool CTreeNodeUI::Remove(CControlUI* pControl) {
  CTreeNodeUI* node = AsNode(pControl);
  if (node == nullptr || m_aTreeNodes.Find(node) < 0) return false;
  CControlWatch alive(this);
  CControlWatch taken(node);
  while (alive && taken && node->IsHasChild()) node->RemoveAt(node->GetChildNode(0));
  if (!alive || !taken || m_aTreeNodes.Find(node) < 0) return true;
  ForgetChild(node);
  if (m_pTreeView != nullptr)
    m_pTreeView->Remove(node);
  else
    delete node;
  return true;
}

// The row layout and its parts are this node's own: only the child nodes go.
void CTreeNodeUI::RemoveAll() {
  CControlWatch alive(this);
  while (alive && IsHasChild()) Remove(GetChildNode(0));
}

bool CTreeNodeUI::RemoveAt(CTreeNodeUI* pNode) { return Remove(pNode); }

bool CTreeNodeUI::AddTreeItem(CControlUI* pControl) {
  if (pControl->GetInterface(L"TreeNode") != nullptr) return Add(pControl);
  return m_pHoriz->Add(pControl);
}

CControlUI* CTreeNodeUI::GetTreeItemView() { return m_pTreeView; }

void CTreeNodeUI::ShowItemTextColor(bool hot) {
  DWORD color = IsSelected() ? m_dwSelItemTextColor : m_dwItemTextColor;
  if (hot) color = IsSelected() && m_dwSelItemHotTextColor != 0 ? m_dwSelItemHotTextColor : m_dwItemHotTextColor;
  m_pItemButton->SetTextColor(color);
}

void CTreeNodeUI::DoEvent(EventRecordUI& event) {
  bool mouse = event.Type >= UIEVENT__MOUSEFIRST && event.Type <= UIEVENT__MOUSELAST;
  if (!IsMouseEnabled() && mouse) {
    if (m_row.pOwner != nullptr)
      m_row.pOwner->DoEvent(event);
    else
      CContainerUI::DoEvent(event);
    return;
  }
  // The row's own handling notifies ("itemactivate", "itemselect"), and so does this: a receiver
  // may delete the node.
  CControlWatch alive(this);
  CListContainerElementUI::DoEvent(event);
  if (!alive || m_row.IsLetGo()) return;
  if (event.Type == UIEVENT_DBLCLICK && IsEnabled()) {
    if (m_pManager != nullptr) m_pManager->SendNotify(this, L"treeitemdbclick");
    if (alive) Invalidate();
  } else if (event.Type == UIEVENT_MOUSEENTER || event.Type == UIEVENT_MOUSELEAVE) {
    bool enter = event.Type == UIEVENT_MOUSEENTER;
    if (!IsEnabled())
      m_pItemButton->SetTextColor(m_pItemButton->GetDisabledTextColor());
    else if (enter || !IsSelected() || m_dwSelItemTextColor != 0)
      ShowItemTextColor(enter);
  }
}

bool CTreeNodeUI::Select(bool bSelect) {
  CControlWatch alive(this);
  bool answer = CListContainerElementUI::Select(bSelect);
  if (alive) ShowItemTextColor(false);
  return answer;
}

bool CTreeNodeUI::SelectMulti(bool bSelect) {
  CControlWatch alive(this);
  bool answer = CListContainerElementUI::SelectMulti(bSelect);
  if (alive) ShowItemTextColor(false);
  return answer;
}

void CTreeNodeUI::SetItemTextColor(DWORD dwColor) {
  m_dwItemTextColor = dwColor;
  m_pItemButton->SetTextColor(dwColor);
}

void CTreeNodeUI::SetItemHotTextColor(DWORD dwColor) {
  m_dwItemHotTextColor = dwColor;
  Invalidate();
}

void CTreeNodeUI::SetSelItemTextColor(DWORD dwColor) {
  m_dwSelItemTextColor = dwColor;
  Invalidate();
}

void CTreeNodeUI::SetSelItemHotTextColor(DWORD dwColor) {
  m_dwSelItemHotTextColor = dwColor;
  Invalidate();
}

void CTreeNodeUI::SetAttribute(const wchar_t* pstrName, const wchar_t* pstrValue) {
  if (pstrName == nullptr || pstrValue == nullptr) return;
  auto is = [pstrName](const wchar_t* name) { return _wcsicmp(pstrName, name) == 0; };
  if (is(L"text")) {
    m_pItemButton->SetText(pstrValue);
  } else if (is(L"horizattr")) {
    m_pHoriz->ApplyAttributeList(pstrValue);
  } else if (is(L"dotlineattr")) {
    m_pDottedLine->ApplyAttributeList(pstrValue);
    RelocateChildren();
  } else if (is(L"folderattr")) {
    m_pFolderButton->ApplyAttributeList(pstrValue);
  } else if (is(L"checkboxattr")) {
    m_pCheckBox->ApplyAttributeList(pstrValue);
  } else if (is(L"itemattr")) {
    // The child nodes join this node's option group once it has one.
    m_pItemButton->ApplyAttributeList(pstrValue);
    RelocateChildren();
  } else if (is(L"itemtextcolor")) {
    SetItemTextColor(ReadColorValue(pstrValue));
  } else if (is(L"itemhottextcolor")) {
    SetItemHotTextColor(ReadColorValue(pstrValue));
  } else if (is(L"selitemtextcolor")) {
    SetSelItemTextColor(ReadColorValue(pstrValue));
  } else if (is(L"selitemhottextcolor")) {
    SetSelItemHotTextColor(ReadColorValue(pstrValue));
  } else {
    CListContainerElementUI::SetAttribute(pstrName, pstrValue);
  }
}

}  // namespace SkinUI
