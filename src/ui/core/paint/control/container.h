#pragma once
#include "ui/core/paint/control/control.h"
#include "ui/core/base/ui_ptr_array.h"

namespace SkinUI {

class CLayoutPass;
class CScrollBarUI;

// The list operations of every control that holds children.
class IContainerUI {
 public:
  virtual CControlUI* GetItemAt(int iIndex) const = 0;
  virtual int GetItemIndex(CControlUI* pControl) const = 0;
  virtual bool SetItemIndex(CControlUI* pControl, int iNewIndex) = 0;
  virtual int GetCount() const = 0;
  virtual bool Add(CControlUI* pControl) = 0;
  virtual bool AddAt(CControlUI* pControl, int iIndex) = 0;
  virtual bool Remove(CControlUI* pControl) = 0;
  virtual bool RemoveAt(int iIndex) = 0;
  virtual void RemoveAll() = 0;

 protected:
  ~IContainerUI() = default;
};

// A control that owns an ordered list of children, places them on its client rectangle and
// scrolls them with optional scroll bars.
class CContainerUI : public CControlUI, public IContainerUI {
  friend class CLayoutPass;

 public:
  CContainerUI();
  ~CContainerUI() override;

  const wchar_t* GetClass() const override;
  LPVOID GetInterface(const wchar_t* pstrName) override;
  void SetManager(CPaintManagerUI* pManager, CControlUI* pParent, bool bInit = true) override;
  RECT GetClientPos() const override;
  void SetPos(RECT rc, bool bNeedInvalidate = true) override;
  void Move(SIZE szOffset, bool bNeedInvalidate = true) override;
  void SetVisible(bool bVisible = true) override;
  void SetInternalVisible(bool bVisible = true) override;
  void SetEnabled(bool bEnable = true) override;
  void SetMouseEnabled(bool bEnable = true) override;
  CControlUI* FindControl(FINDCONTROLPROC Proc, LPVOID pData, UINT uFlags) override;
  void DoEvent(EventRecordUI& event) override;
  void SetAttribute(const wchar_t* pstrName, const wchar_t* pstrValue) override;
  void DoPaint(HDC hDC, const RECT& rcPaint) override;

  // Appended after the base control's operations, in this order.
  virtual RECT GetInset() const;
  virtual void SetInset(RECT rcInset);
  virtual int GetChildPadding() const;
  virtual void SetChildPadding(int iPadding);
  virtual UINT GetChildAlign() const;
  virtual void SetChildAlign(UINT iAlign);
  virtual UINT GetChildVAlign() const;
  virtual void SetChildVAlign(UINT iVAlign);
  virtual bool IsAutoDestroy() const;
  virtual void SetAutoDestroy(bool bAuto);
  virtual bool IsDelayedDestroy() const;
  virtual void SetDelayedDestroy(bool bDelayed);
  virtual bool IsMouseChildEnabled() const;
  virtual void SetMouseChildEnabled(bool bEnable = true);
  virtual int FindSelectable(int iIndex, bool bForward = true) const;
  virtual SIZE GetScrollPos() const;
  virtual SIZE GetScrollRange() const;
  virtual void SetScrollPos(SIZE szPos, bool bMsg = true);
  virtual void SetScrollStepSize(int nSize);
  virtual int GetScrollStepSize() const;
  virtual void LineUp();
  virtual void LineDown();
  virtual void PageUp();
  virtual void PageDown();
  virtual void HomeUp();
  virtual void EndDown();
  virtual void LineLeft();
  virtual void LineRight();
  virtual void PageLeft();
  virtual void PageRight();
  virtual void HomeLeft();
  virtual void EndRight();
  virtual void EnableScrollBar(bool bEnableVertical = true, bool bEnableHorizontal = false);
  virtual CScrollBarUI* GetVerticalScrollBar() const;
  virtual CScrollBarUI* GetHorizontalScrollBar() const;
  virtual void SetFloatPos(int iIndex);
  virtual void ProcessScrollBar(RECT rc, int cxRequired, int cyRequired);

  // The list interface.
  CControlUI* GetItemAt(int iIndex) const override;
  int GetItemIndex(CControlUI* pControl) const override;
  bool SetItemIndex(CControlUI* pControl, int iNewIndex) override;
  int GetCount() const override;
  bool Add(CControlUI* pControl) override;
  bool AddAt(CControlUI* pControl, int iIndex) override;
  bool Remove(CControlUI* pControl) override;
  bool RemoveAt(int iIndex) override;
  void RemoveAll() override;

 protected:
  // Child i of this container's own list: GetItemAt may answer other controls (a list's rows).
  CControlUI* ChildAt(int i) const { return static_cast<CControlUI*>(m_items[i]); }
  bool IsBarVisible(const CScrollBarUI* bar) const;
  // The item rectangle less the stored inset and the visible bars, moved by the scroll position.
  RECT ScrolledClientRect() const;
  // The children that meet the paint rectangle, clipped to the client area, then the visible bars.
  void PaintChildrenAndBars(HDC hDC, const RECT& rcPaint);
  // The visible bars that meet the paint rectangle, vertical first.
  void PaintBars(HDC hDC, const RECT& rcPaint);
  // Moves the visible bars to the position (each clamps it); answers how far each moved.
  SIZE MoveScrollBars(SIZE szPos);
  void DestroyChild(CControlUI* pControl);
  // Each child gets this container's visibility, while this container lives.
  void PassVisibleToChildren(const CControlWatch& alive);
  void ApplyScrollBarStyle(CScrollBarUI* bar, const wchar_t* value);
  int LineStep() const;
  // Lays the container out again after a bar came or went (see ProcessScrollBar).
  void RelayoutForBars();
  bool FitBar(CScrollBarUI* bar, int range, const RECT& place, const CLayoutPass& pass);

  CUIPtrArray m_items;
  CUIRect m_rcInset;
  int m_iChildPadding;
  UINT m_iChildAlign;
  UINT m_iChildVAlign;
  bool m_bAutoDestroy;
  bool m_bDelayedDestroy;
  bool m_bMouseChildEnabled;
  int m_nScrollStepSize;
  CScrollBarUI* m_pVerticalScrollBar;
  CScrollBarUI* m_pHorizontalScrollBar;
  CUIString m_sVerticalScrollBarStyle;
  CUIString m_sHorizontalScrollBarStyle;
  int m_nBarRelayouts = 0;  // re-layouts for the bars now running inside one another
};

// A pass that places a container's children: placing one may reach the program (its size delegates,
// a control made as it is placed announces itself), which may delete the container, change its
// children or take a scroll bar away. The pass stops then: the change has asked for a new layout.
class CLayoutPass {
 public:
  explicit CLayoutPass(CContainerUI* pContainer);
  CLayoutPass(const CLayoutPass&) = delete;
  CLayoutPass& operator=(const CLayoutPass&) = delete;
  // The container lives, with the scroll bars it had.
  bool Holds() const;
  // ... and `child` is still its own child at `index`.
  bool Holds(int index, const CControlUI* child) const;

 private:
  CContainerUI* m_pContainer;
  CControlWatch m_alive;
  CScrollBarUI* m_pVerticalBar;
  CScrollBarUI* m_pHorizontalBar;
};

// A child held across a call that may reach the program's receivers, which may remove it, move it,
// or delete it or its container: its index is looked up again afterwards.
class CChildWatch {
 public:
  CChildWatch(CContainerUI* pContainer, CControlUI* pChild)
      : m_pContainer(pContainer), m_pChild(pChild), m_container(pContainer), m_child(pChild) {}
  CChildWatch(const CChildWatch&) = delete;
  CChildWatch& operator=(const CChildWatch&) = delete;
  // The child's index in the container now; -1 when it has left, or either of them is gone.
  int Index() const { return m_container && m_child ? m_pContainer->GetItemIndex(m_pChild) : -1; }
  CControlUI* Child() const { return m_pChild; }

 private:
  CContainerUI* m_pContainer;
  CControlUI* m_pChild;
  CControlWatch m_container;
  CControlWatch m_child;
};

}  // namespace SkinUI
