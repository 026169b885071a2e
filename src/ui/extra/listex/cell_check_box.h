#pragma once
#include <functional>

#include "ui/core/paint/control/control.h"

namespace SkinUI {

// The check box a header column or a row draws at the left of a column: its check, its state
// while the pointer is over it or presses it, its images and its size. A row has one box per
// checkable column, all showing its one check; the state belongs to the box last under the
// pointer (`iActive`).
struct CellCheckBox {
  // 0x01 focused, 0x02 checked, 0x04 disabled, 0x08 hot, 0x10 pushed, 0x40 captured.
  UINT uState = 0;
  bool bChecked = false;
  int iActive = -1;
  CUIString sNormalImage;
  CUIString sHotImage;
  CUIString sPushedImage;
  CUIString sFocusedImage;
  CUIString sDisabledImage;
  CUIString sSelectedImage;
  CUIString sForeImage;
  int iWidth = 0;
  int iHeight = 0;

  // "checkboxwidth", "checkboxheight" and the seven "checkbox...image" attributes.
  bool SetAttribute(const wchar_t* name, const wchar_t* value);
  // False when the check already was so.
  bool SetCheck(bool check);
  // The width the box takes, DPI-scaled.
  int Width(const CControlUI& owner) const;
  // The box 6 pixels in from `left`, centred between `top` and `bottom`.
  RECT Place(const CControlUI& owner, int left, int top, int bottom) const;
  // Follows press, drag, release and hover over the owner's boxes `0 .. count - 1`, found by
  // `boxOf` (an empty rectangle: no box); answers the box whose click flipped the check, or -1.
  int Track(CControlUI& owner, const EventRecordUI& event, int count, const std::function<RECT(int)>& boxOf);
  // Draws box `index` at `box` (relative to nothing: device pixels of the owner's window).
  void Paint(CControlUI& owner, HDC hDC, const RECT& box, int index);
};

}  // namespace SkinUI
