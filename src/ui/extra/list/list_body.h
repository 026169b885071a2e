#pragma once
#include <vector>

#include "ui/core/layouts/linear_layout.h"

namespace SkinUI {

class CListUI;

// The scrolling part of a list: it stacks the rows one under the other, as wide as the widest row
// or the header, and keeps the header and the list's columns in step with horizontal scrolling.
// A list of many rows stays fast: after its layout the body remembers where each row goes, and
// placing, scrolling, painting and hit-testing touch only the rows in view. A row out of view gets
// its rectangle when it comes into view or when it is asked for it (a row's GetPos calls PlaceRow).
class CListBodyUI : public CVerticalLayoutUI {
 public:
  explicit CListBodyUI(CListUI* pOwner);

  void SetPos(RECT rc, bool bNeedInvalidate = true) override;
  void SetVisible(bool bVisible = true) override;
  void SetInternalVisible(bool bVisible = true) override;
  CControlUI* FindControl(FINDCONTROLPROC Proc, LPVOID pData, UINT uFlags) override;
  void DoEvent(EventRecordUI& event) override;
  void DoPaint(HDC hDC, const RECT& rcPaint) override;
  void SetScrollPos(SIZE szPos, bool bMsg = true) override;
  int GetScrollStepSize() const override;
  bool SetItemIndex(CControlUI* pControl, int iNewIndex) override;
  bool AddAt(CControlUI* pControl, int iIndex) override;
  bool Remove(CControlUI* pControl) override;
  void RemoveAll() override;

  CListUI* GetOwner() const { return m_pOwner; }
  // Puts a row whose placing was put off where the last layout and scroll have it; `iIndexHint`
  // is the row's index in the body, as the list numbers its rows.
  void PlaceRow(CControlUI* pRow, int iIndexHint);

  // Called with this body whenever its scroll position has changed (it sends no "scroll").
  CEventSource OnScroll;

 private:
  // Where the last layout put one visible, non-floating child, at the scroll position of that
  // layout; `placedAt` is the scroll position the child's own rectangle was last set for.
  struct RowSlot {
    CControlUI* row;
    RECT rc;
    SIZE placedAt;
    bool placed;
  };

  // Laying out: the needed width from the rows, then the header, then each row's rectangle.
  RECT ClientRect() const;
  int MeasureRows(SIZE available, int& fixedTotal, int& adjustables, int& counted);
  void PlaceHeader(const RECT& client, int& neededWidth);
  int StackRows(const RECT& client, SIZE available, int neededWidth, int fixedTotal, int adjustables,
                const CLayoutPass& pass);
  bool UpdateHorizontalBar(RECT& client, int neededWidth);
  bool PlaceRowsInView(const CLayoutPass& pass);

  // The rows in view, placing and finding.
  bool RowsUsable() const;
  RECT SlotRect(int slot) const;
  void PlaceSlot(int slot, bool invalidate);
  void SlotRange(int top, int bottom, int& first, int& last) const;
  int SlotOf(CControlUI* row, int indexHint) const;
  bool MoveAllRows(int dx, int dy, const CLayoutPass& layout);
  bool ScrollHeader(int dx, const CLayoutPass& layout);
  CControlUI* FindRowAt(FINDCONTROLPROC Proc, LPVOID pData, UINT uFlags);
  void FindRowsInView(FINDCONTROLPROC Proc, LPVOID pData, UINT uFlags, CControlUI*& found);
  // A pending layout is asked for once: adding many rows does not repaint for each of them.
  void NeedLayout();
  // The record no longer describes the children: they came, went or moved.
  void ForgetRows();

  CListUI* m_pOwner;
  std::vector<RowSlot> m_slots;
  std::vector<int> m_slotOfChild;
  SIZE m_layoutScroll;
  SIZE m_scroll;
  bool m_bRowsValid;
  unsigned m_nRowChanges = 0;  // each change of the children, seen by passes that reach the program
  bool m_bOrdered;
  bool m_bHasFloats;
};

}  // namespace SkinUI
