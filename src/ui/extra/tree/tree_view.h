// ui/extra/tree/: the tree view ("TreeView"), a list whose rows are the nodes ("TreeNode") of a
// hierarchy, with dotted-line indents, folder buttons and check boxes. Uses ui/core and ui/extra/list.
#pragma once
#include <functional>

#include "ui/core/builder/tree_items.h"
#include "ui/core/controls/label.h"
#include "ui/core/controls/option.h"
#include "ui/extra/list/list.h"
#include "ui/extra/list/list_elements.h"

namespace SkinUI {

class CTreeViewUI;

// One node: a row of a dotted line (the indent), a folder button (checked = collapsed), a check
// box and an item button with the text. It knows its parent node and its child nodes; a node
// whose view is set is also a row of that view's body, right after its parent's earlier rows.
class CTreeNodeUI : public CListContainerElementUI, public ITreeItemParentUI {
 public:
  explicit CTreeNodeUI(CTreeNodeUI* pParent = nullptr);
  ~CTreeNodeUI() override;

  const wchar_t* GetClass() const override;
  LPVOID GetInterface(const wchar_t* pstrName) override;
  void DoEvent(EventRecordUI& event) override;
  void SetAttribute(const wchar_t* pstrName, const wchar_t* pstrValue) override;
  bool Add(CControlUI* pControl) override;
  bool AddAt(CControlUI* pControl, int iIndex) override;
  bool Remove(CControlUI* pControl) override;
  // The child nodes, as Remove takes each; the node's own parts stay.
  void RemoveAll() override;
  using CListContainerElementUI::RemoveAt;
  bool Select(bool bSelect = true) override;
  bool SelectMulti(bool bSelect = true) override;
  bool AddTreeItem(CControlUI* pControl) override;
  CControlUI* GetTreeItemView() override;

  bool AddChildNode(CTreeNodeUI* pNode);
  bool RemoveAt(CTreeNodeUI* pNode);
  CTreeNodeUI* GetChildNode(int iIndex) const;
  int GetCountChild() const { return m_aTreeNodes.GetSize(); }
  bool IsHasChild() const { return !m_aTreeNodes.IsEmpty(); }
  CUIPtrArray GetTreeNodes() const { return m_aTreeNodes; }
  CTreeViewUI* GetTreeView() const { return m_pTreeView; }
  void SetTreeView(CTreeViewUI* pTreeView) { m_pTreeView = pTreeView; }
  CTreeNodeUI* GetParentNode() const { return m_pParentTreeNode; }
  void SetParentNode(CTreeNodeUI* pParent) { m_pParentTreeNode = pParent; }
  // The node's index among its view's rows; -1 without a view.
  int GetTreeIndex();
  // The last node of this node's subtree (the node itself without children).
  CTreeNodeUI* GetLastNode();

  bool GetVisibleTag() const { return m_bIsVisable; }
  void SetVisibleTag(bool bIsVisible) { m_bIsVisable = bIsVisible; }
  void SetVisibleFolderBtn(bool bShow) { m_pFolderButton->SetVisible(bShow); }
  bool GetVisibleFolderBtn() const { return m_pFolderButton->IsVisible(); }
  void SetVisibleCheckBtn(bool bShow) { m_pCheckBox->SetVisible(bShow); }
  bool GetVisibleCheckBtn() const { return m_pCheckBox->IsVisible(); }
  void SetItemTextColor(DWORD dwColor);
  void SetItemHotTextColor(DWORD dwColor);
  void SetSelItemTextColor(DWORD dwColor);
  void SetSelItemHotTextColor(DWORD dwColor);
  DWORD GetItemTextColor() const { return m_dwItemTextColor; }
  DWORD GetItemHotTextColor() const { return m_dwItemHotTextColor; }
  DWORD GetSelItemTextColor() const { return m_dwSelItemTextColor; }
  DWORD GetSelItemHotTextColor() const { return m_dwSelItemHotTextColor; }

  CHorizontalLayoutUI* GetTreeNodeHoriznotal() const { return m_pHoriz; }
  CCheckBoxUI* GetFolderButton() const { return m_pFolderButton; }
  CLabelUI* GetDottedLine() const { return m_pDottedLine; }
  CCheckBoxUI* GetCheckBox() const { return m_pCheckBox; }
  COptionUI* GetItemButton() const { return m_pItemButton; }

 private:
  // Makes `pNode` a child of this node: its indent, parent, option group and view follow this
  // node, and so do its own descendants', whatever order the nodes were built in.
  void CalLocation(CTreeNodeUI* pNode);
  void RelocateChildren();
  // The child list lets go of a node; it stays a row of the view.
  void ForgetChild(CTreeNodeUI* pNode);
  void ShowItemTextColor(bool hot);
  friend class CTreeViewUI;

  bool m_bIsVisable;
  DWORD m_dwItemTextColor;
  DWORD m_dwItemHotTextColor;
  DWORD m_dwSelItemTextColor;
  DWORD m_dwSelItemHotTextColor;
  CTreeViewUI* m_pTreeView;
  CHorizontalLayoutUI* m_pHoriz;
  CCheckBoxUI* m_pFolderButton;
  CLabelUI* m_pDottedLine;
  CCheckBoxUI* m_pCheckBox;
  COptionUI* m_pItemButton;
  CTreeNodeUI* m_pParentTreeNode;
  CUIPtrArray m_aTreeNodes;
};

// A list of tree nodes in depth-first order: folder buttons show and hide a node's descendants,
// a node's check box ticks its descendants', a double click toggles a node.
class CTreeViewUI : public CListUI, public INotifyUI, public ITreeItemParentUI {
 public:
  CTreeViewUI();

  const wchar_t* GetClass() const override;
  LPVOID GetInterface(const wchar_t* pstrName) override;
  void SetAttribute(const wchar_t* pstrName, const wchar_t* pstrValue) override;
  bool RemoveAt(int iIndex) override;
  void RemoveAll() override;
  int GetListType() override;

  using CListUI::Add;
  using CListUI::AddAt;
  using CListUI::Remove;
  // A node with its whole subtree, at the end or at a place in the rows.
  virtual bool Add(CTreeNodeUI* pControl);
  virtual bool AddAt(CTreeNodeUI* pControl, CTreeNodeUI* pIndexNode);
  // Answers the row index after the node's subtree, or -1.
  virtual int AddAt(CTreeNodeUI* pControl, int iIndex);
  // A node with its whole subtree; its parent node lets go of it too.
  virtual bool Remove(CTreeNodeUI* pControl);
  virtual bool OnCheckBoxChanged(void* param);
  virtual bool OnFolderChanged(void* param);
  virtual bool OnDBClickItem(void* param);
  virtual bool SetItemCheckBox(bool bSelected, CTreeNodeUI* pTreeNode = nullptr);
  virtual void SetItemExpand(bool bExpanded, CTreeNodeUI* pTreeNode = nullptr);
  virtual void SetVisibleFolderBtn(bool bIsVisible);
  virtual bool GetVisibleFolderBtn();
  virtual void SetVisibleCheckBtn(bool bIsVisible);
  virtual bool GetVisibleCheckBtn();
  virtual void SetItemMinWidth(UINT uItemMinWidth);
  virtual UINT GetItemMinWidth();
  virtual void SetItemTextColor(DWORD dwItemTextColor);
  virtual void SetItemHotTextColor(DWORD dwItemHotTextColor);
  virtual void SetSelItemTextColor(DWORD dwSelItemTextColor);
  virtual void SetSelItemHotTextColor(DWORD dwSelHotItemTextColor);

  void Notify(NotifyRecordUI& msg) override;
  bool AddTreeItem(CControlUI* pControl) override;
  CControlUI* GetTreeItemView() override;

 private:
  // The view's delegates on the node and its parts, and the view's settings for its parts.
  void Adopt(CTreeNodeUI* node);
  CTreeNodeUI* NodeAt(int index) const;
  // `act` on each child node of `pTreeNode` (each row of the view without one) in order, then
  // `descend` into a child node that has children. The receivers `act` reaches may change the
  // nodes: the walk starts again when the one just acted on is no longer at its place.
  void ForEachItem(CTreeNodeUI* pTreeNode, const std::function<void(CControlUI*)>& act,
                   const std::function<void(CTreeNodeUI*)>& descend);
  void SetNodeColors(void (CTreeNodeUI::*set)(DWORD), DWORD dwColor);
  // The node whose part (folder button or check box) sent a notification, or null.
  static CTreeNodeUI* NodeOfPart(const NotifyRecordUI& msg);

  UINT m_uItemMinWidth;
  bool m_bVisibleFolderBtn;
  bool m_bVisibleCheckBtn;
};

}  // namespace SkinUI
