#pragma once
#include "ui/extra/list/list_elements.h"

namespace SkinUI {
namespace list_row {

// What the one-control rows and the container rows share, on a row's control and its state.
void SetOwner(ListRowState& row, CControlUI* owner);
bool Select(CControlUI& control, ListRowState& row, bool select);
bool SelectMulti(CControlUI& control, ListRowState& row, bool select);
// Repaints the row, as far as its parent's client area and the ancestors show it.
void Invalidate(CControlUI& control);
void DrawBk(CControlUI& control, HDC hDC, const ListRowState& row);
// "itemactivate" once the control's own activation took place.
bool NotifyActivated(CControlUI& control, bool activated);
// A double click or Return on an enabled row: its activation, then a repaint while it lives.
void ActivateAndRepaint(CControlUI& control);
// A row hidden while selected gives up the selection, its owner's too.
void LeaveSelectionWhenHidden(CControlUI& control, ListRowState& row);
// Puts the row where its list's body has it, when the body put that off.
void Place(const CControlUI& control, const ListRowState& row, const CControlUI* parent);
bool IsMouseEvent(const EventRecordUI& event);
// Press, release, hover: selects on a press (Ctrl adds to the selection), "itemclick" on release.
// False for an event that is none of these.
bool HandlePointer(CControlUI& control, ListRowState& row, IListItemUI& item, EventRecordUI& event);

}  // namespace list_row
}  // namespace SkinUI
