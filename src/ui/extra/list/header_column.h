#pragma once
#include "ui/core/paint/control/control.h"

namespace SkinUI {

// What a column title of a list header keeps and does, whatever control it is built on: the
// separator band that resizes the column, the state images, the title text and their attributes.
// The list's header item and the list extension's container header item share it.
struct HeaderColumn {
  POINT ptLastMouse{0, 0};
  bool bDragable = true;
  // 0x01 focused, 0x08 hot, 0x10 pushed, 0x40 separator captured.
  UINT uButtonState = 0;
  // Negative: the band lies at the left edge, -iSepWidth wide.
  int iSepWidth = 4;
  // 0: the manager's default text colour, taken for good at the first paint.
  DWORD dwTextColor = 0;
  int iFont = -1;
  UINT uTextStyle = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
  bool bShowHtml = false;
  CUIRect rcTextPadding{2, 0, 2, 0};
  CUIString sNormalImage;
  CUIString sHotImage;
  CUIString sPushedImage;
  CUIString sFocusedImage;
  CUIString sSepImage;
  CUIString sSepImageModify;

  // The separator band of a column at `item`, and the wider band where a press starts a drag.
  RECT ThumbRect(const RECT& item) const;
  RECT GrabRect(const RECT& item) const;
  void SetDragable(bool dragable);
  UINT ControlFlags(const CControlUI& item) const;

  // The events every column handles alike: focus, press ("clickType" outside the band), release,
  // separator drag (the new width goes straight into `cxFixed`), cursor, hover. False for an event
  // left to the control's base.
  bool HandleEvent(CControlUI& item, EventRecordUI& event, const wchar_t* clickType, int& cxFixed);
  // "dragable", "sepwidth", "align", "endellipsis", "font", "textcolor", "textpadding", "showhtml"
  // and the five images; false for any other name.
  bool SetAttribute(CControlUI& item, const wchar_t* name, const wchar_t* value);
  void PaintStatusImage(CControlUI& item, HDC hDC);
  // The title in the item less the text padding, its left edge `indent` further in.
  void PaintText(CControlUI& item, HDC hDC, int indent);
};

// A column without a fixed height is as tall as the default font plus 14, as wide as stored.
SIZE EstimateHeaderColumn(CControlUI& item, int cxFixedStored, SIZE szAvailable);

}  // namespace SkinUI
