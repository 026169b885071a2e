#pragma once
#include "ui/core/layouts/linear_layout.h"
#include "ui/core/paint/manager/paint_manager.h"
#include "ui/core/paint/manager/window_wnd.h"

namespace SkinUI {

class CComboUI;

// A combo's drop-down: a top-level pop-up with a paint manager of its own whose root, a vertical
// layout, holds the combo's items while it is open. It closes on a click on an item, Return,
// Escape or the loss of the focus, hands the items back to the combo however it ends, and deletes
// itself at its final message.
class CComboWnd : public CWindowWnd, public INotifyUI {
 public:
  CComboWnd();

  // Opens below the owner (above it when the work area ends first); false when no window came.
  bool Init(CComboUI* pOwner);
  // Scrolls the item at the index into the list's view.
  void EnsureVisible(int iIndex);
  void Scroll(int dx, int dy);
  // Whether the point (client coordinates) lies on an item and not on a scroll bar.
  bool IsHitItem(POINT pt);
  // The owner is going away: it takes its items back now, and the window closes with nothing
  // left to write into.
  void DetachOwner();
  // The owner drops an item, or all of them, while the drop-down shows them.
  void ReleaseItem(CControlUI* pItem);
  void ReleaseItems();
  void Notify(NotifyRecordUI& msg) override;

 protected:
  const wchar_t* GetWindowClassName() const override;
  UINT GetClassStyle() const override;
  LRESULT HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override;
  void OnFinalMessage(HWND hWnd) override;

 private:
  RECT PlaceBelowOrAbove() const;
  void OnCreate();
  // Gives the items back to the owner: its manager and parent again, no place in the drop-down.
  void ReturnItems();
  bool OnKeyDown(WPARAM key);
  void OnMouseWheel(WPARAM wParam, LPARAM lParam);
  // The index of the item selected when the drop-down opened; -1 when there was none or it went.
  int OldSelection() const;

  CPaintManagerUI m_pm;
  CComboUI* m_pOwner;
  CVerticalLayoutUI* m_pLayout;
  CControlUI* m_pOldItem;  // forgotten when the owner releases it
  bool m_bHitItem;
};

}  // namespace SkinUI
