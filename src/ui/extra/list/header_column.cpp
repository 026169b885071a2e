#include "ui/extra/list/header_column.h"

#include <cwchar>

#include "ui/core/base/system_cursor.h"
#include "ui/core/controls/button.h"
#include "ui/core/paint/manager/paint_manager.h"
#include "ui/core/paint/render/render_engine.h"
#include "ui/core/resources/attribute_values.h"

namespace SkinUI {

namespace {

// The band's grab area reaches this many pixels further into the item.
const int kGrabMargin = 4;

}  // namespace

RECT HeaderColumn::ThumbRect(const RECT& item) const {
  if (iSepWidth >= 0) return RECT{item.right - iSepWidth, item.top, item.right, item.bottom};
  return RECT{item.left, item.top, item.left - iSepWidth, item.bottom};
}

RECT HeaderColumn::GrabRect(const RECT& item) const {
  RECT band = ThumbRect(item);
  if (iSepWidth >= 0)
    band.left -= kGrabMargin;
  else
    band.right += kGrabMargin;
  return band;
}

void HeaderColumn::SetDragable(bool dragable) {
  bDragable = dragable;
  if (!bDragable) uButtonState &= ~UISTATE_CAPTURED;
}

UINT HeaderColumn::ControlFlags(const CControlUI& item) const {
  return item.IsEnabled() && iSepWidth != 0 ? static_cast<UINT>(UIFLAG_SETCURSOR) : 0u;
}

SIZE EstimateHeaderColumn(CControlUI& item, int cxFixedStored, SIZE szAvailable) {
  if (item.GetFixedHeight() != 0) return item.CControlUI::EstimateSize(szAvailable);
  CPaintManagerUI* manager = item.GetManager();
  int fontHeight = manager != nullptr ? manager->GetDefaultFontInfo()->tm.tmHeight : 0;
  return SIZE{cxFixedStored, fontHeight + 14};
}

bool HeaderColumn::HandleEvent(CControlUI& item, EventRecordUI& event, const wchar_t* clickType, int& cxFixed) {
  const RECT& pos = item.GetPos();
  RECT grab = GrabRect(pos);
  switch (event.Type) {
    case UIEVENT_SETFOCUS:
    case UIEVENT_KILLFOCUS:
      item.Invalidate();
      return false;
    case UIEVENT_BUTTONDOWN:
    case UIEVENT_DBLCLICK:
      if (!item.IsEnabled()) return true;
      if (::PtInRect(&grab, event.ptMouse)) {
        if (bDragable) {
          uButtonState |= UISTATE_CAPTURED;
          ptLastMouse = event.ptMouse;
        }
      } else {
        uButtonState |= UISTATE_PUSHED;
        // The receiver may delete the item, and this column with it.
        CControlWatch alive(&item);
        if (item.GetManager() != nullptr) item.GetManager()->SendNotify(&item, clickType);
        if (alive) item.Invalidate();
      }
      return true;
    case UIEVENT_BUTTONUP:
      if ((uButtonState & UISTATE_CAPTURED) != 0) {
        uButtonState &= ~UISTATE_CAPTURED;
        if (item.GetParent() != nullptr) item.GetParent()->NeedParentUpdate();
      } else if ((uButtonState & UISTATE_PUSHED) != 0) {
        uButtonState &= ~UISTATE_PUSHED;
        item.Invalidate();
      }
      return true;
    case UIEVENT_MOUSEMOVE: {
      if ((uButtonState & UISTATE_CAPTURED) == 0) return true;
      // The new width is stored as the fixed width directly; the header lays the list out again.
      int dx = event.ptMouse.x - ptLastMouse.x;
      int width = pos.right - pos.left + (iSepWidth >= 0 ? dx : -dx);
      if (width <= item.GetMinWidth()) return true;
      cxFixed = width;
      ptLastMouse = event.ptMouse;
      if (item.GetParent() != nullptr) item.GetParent()->NeedParentUpdate();
      return true;
    }
    case UIEVENT_SETCURSOR:
      if (!item.IsEnabled() || !bDragable || !::PtInRect(&grab, event.ptMouse)) return false;
      ShowSystemCursor(32644);  // IDC_SIZEWE
      return true;
    case UIEVENT_MOUSEENTER:
    case UIEVENT_MOUSELEAVE:
      if (item.IsEnabled()) {
        if (event.Type == UIEVENT_MOUSEENTER)
          uButtonState |= UISTATE_HOT;
        else
          uButtonState &= ~UISTATE_HOT;
        item.Invalidate();
      }
      return true;
    default:
      return false;
  }
}

bool HeaderColumn::SetAttribute(CControlUI& item, const wchar_t* name, const wchar_t* value) {
  auto is = [name](const wchar_t* known) { return _wcsicmp(name, known) == 0; };
  struct {
    const wchar_t* name;
    CUIString& image;
  } images[] = {{L"normalimage", sNormalImage},
                {L"hotimage", sHotImage},
                {L"pushedimage", sPushedImage},
                {L"focusedimage", sFocusedImage},
                {L"sepimage", sSepImage}};
  for (auto& entry : images) {
    if (!is(entry.name)) continue;
    entry.image = value;
    item.Invalidate();
    return true;
  }
  if (is(L"dragable")) {
    SetDragable(IsTrueValue(value));
  } else if (is(L"sepwidth")) {
    iSepWidth = _wtoi(value);
  } else if (is(L"align")) {
    if (wcsstr(value, L"left") != nullptr) uTextStyle &= ~(DT_CENTER | DT_RIGHT);
    if (wcsstr(value, L"center") != nullptr) uTextStyle = (uTextStyle & ~DT_RIGHT) | DT_CENTER;
    if (wcsstr(value, L"right") != nullptr) uTextStyle = (uTextStyle & ~DT_CENTER) | DT_RIGHT;
  } else if (is(L"endellipsis")) {
    if (IsTrueValue(value))
      uTextStyle |= DT_END_ELLIPSIS;
    else
      uTextStyle &= ~DT_END_ELLIPSIS;
  } else if (is(L"font")) {
    iFont = _wtoi(value);
  } else if (is(L"textcolor")) {
    dwTextColor = ReadColorValue(value);
  } else if (is(L"textpadding")) {
    long v[4];
    ReadNumberList(value, v, 4);
    rcTextPadding = RECT{v[0], v[1], v[2], v[3]};
    item.Invalidate();
  } else if (is(L"showhtml")) {
    bool show = IsTrueValue(value);
    if (bShowHtml == show) return true;
    bShowHtml = show;
    item.Invalidate();
  } else {
    return false;
  }
  return true;
}

void HeaderColumn::PaintStatusImage(CControlUI& item, HDC hDC) {
  if (item.IsFocused())
    uButtonState |= UISTATE_FOCUSED;
  else
    uButtonState &= ~UISTATE_FOCUSED;
  const CUIString* state = (uButtonState & UISTATE_PUSHED) != 0    ? &sPushedImage
                           : (uButtonState & UISTATE_HOT) != 0     ? &sHotImage
                           : (uButtonState & UISTATE_FOCUSED) != 0 ? &sFocusedImage
                                                                   : nullptr;
  if (state != nullptr && !state->IsEmpty())
    item.DrawImage(hDC, state->GetData());
  else if (!sNormalImage.IsEmpty())
    item.DrawImage(hDC, sNormalImage.GetData());
  if (sSepImage.IsEmpty()) return;
  const RECT& pos = item.GetPos();
  RECT band = ThumbRect(pos);
  ::OffsetRect(&band, -pos.left, -pos.top);
  sSepImageModify.SmallFormat(L"dest='%d,%d,%d,%d'", band.left, band.top, band.right, band.bottom);
  item.DrawImage(hDC, sSepImage.GetData(), sSepImageModify.GetData());
}

void HeaderColumn::PaintText(CControlUI& item, HDC hDC, int indent) {
  CPaintManagerUI* manager = item.GetManager();
  if (dwTextColor == 0 && manager != nullptr) dwTextColor = manager->GetDefaultFontColor();
  CUIString text = item.GetText();
  if (text.IsEmpty()) return;
  const RECT& pos = item.GetPos();
  RECT rc = {pos.left + rcTextPadding.left + indent, pos.top + rcTextPadding.top, pos.right - rcTextPadding.right,
             pos.bottom - rcTextPadding.bottom};
  if (bShowHtml) {
    int links = 0;
    CRenderEngine::DrawHtmlText(hDC, manager, rc, text.GetData(), dwTextColor, nullptr, nullptr, links, uTextStyle);
  } else {
    CRenderEngine::DrawText(hDC, manager, rc, text.GetData(), dwTextColor, iFont, uTextStyle | DT_SINGLELINE);
  }
}

}  // namespace SkinUI
