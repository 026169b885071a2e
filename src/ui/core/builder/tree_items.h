#pragma once

namespace SkinUI {

class CControlUI;

// A parent that takes the controls the dialog builder makes under it its own way: a tree view and
// its nodes (further controls) answer GetInterface(L"ITreeItemParent") with it, so that the builder
// can add a node with its subtree to a view, a node to its parent node, and any other control to a
// node's item layout.
class ITreeItemParentUI {
 public:
  virtual bool AddTreeItem(CControlUI* pControl) = 0;
  // The tree view the parent belongs to (a view answers itself), or null.
  virtual CControlUI* GetTreeItemView() = 0;

 protected:
  ~ITreeItemParentUI() = default;
};

}  // namespace SkinUI
