#include "ui/extra/listex/cell_check_box.h"

#include <cwchar>

#include "ui/core/controls/button.h"
#include "ui/core/paint/manager/paint_manager.h"

namespace SkinUI {

namespace {

// The box's distance from the left edge of its column.
const int kBoxIndent = 6;
const UINT kPointerBits = UISTATE_HOT | UISTATE_PUSHED | UISTATE_CAPTURED;

int Scaled(const CControlUI& owner, int value) {
  CPaintManagerUI* manager = owner.GetManager();
  return manager != nullptr ? manager->GetDPIObject()->Scale(value) : value;
}

}  // namespace

bool CellCheckBox::SetAttribute(const wchar_t* name, const wchar_t* value) {
  auto is = [name](const wchar_t* known) { return _wcsicmp(name, known) == 0; };
  if (is(L"checkboxwidth") || is(L"checkboxheight")) {
    int size = _wtoi(value);
    if (size >= 0) (is(L"checkboxwidth") ? iWidth : iHeight) = size;
    return true;
  }
  struct {
    const wchar_t* name;
    CUIString& image;
  } images[] = {{L"checkboxnormalimage", sNormalImage},     {L"checkboxhotimage", sHotImage},
                {L"checkboxpushedimage", sPushedImage},     {L"checkboxfocusedimage", sFocusedImage},
                {L"checkboxdisabledimage", sDisabledImage}, {L"checkboxselectedimage", sSelectedImage},
                {L"checkboxforeimage", sForeImage}};
  for (auto& entry : images) {
    if (!is(entry.name)) continue;
    entry.image = value;
    return true;
  }
  return false;
}

bool CellCheckBox::SetCheck(bool check) {
  if (bChecked == check) return false;
  bChecked = check;
  if (check)
    uState |= UISTATE_SELECTED;
  else
    uState &= ~UISTATE_SELECTED;
  return true;
}

int CellCheckBox::Width(const CControlUI& owner) const { return Scaled(owner, iWidth); }

RECT CellCheckBox::Place(const CControlUI& owner, int left, int top, int bottom) const {
  int width = Scaled(owner, iWidth), height = Scaled(owner, iHeight);
  RECT box;
  box.left = left + kBoxIndent;
  box.top = top + (bottom - top - height) / 2;
  box.right = box.left + width;
  box.bottom = box.top + height;
  return box;
}

int CellCheckBox::Track(CControlUI& owner, const EventRecordUI& event, int count,
                        const std::function<RECT(int)>& boxOf) {
  int under = -1;
  for (int i = 0; i < count && under < 0; ++i) {
    RECT box = boxOf(i);
    if (!::IsRectEmpty(&box) && ::PtInRect(&box, event.ptMouse)) under = i;
  }
  RECT active = iActive >= 0 && iActive < count ? boxOf(iActive) : RECT{0, 0, 0, 0};
  bool insideActive = !::IsRectEmpty(&active) && ::PtInRect(&active, event.ptMouse);
  UINT before = uState;
  int flipped = -1;
  switch (event.Type) {
    case UIEVENT_BUTTONDOWN:
    case UIEVENT_DBLCLICK:
      if (under < 0) break;
      iActive = under;
      uState |= UISTATE_PUSHED | UISTATE_CAPTURED;
      break;
    case UIEVENT_MOUSEMOVE:
      if ((uState & UISTATE_CAPTURED) != 0) {
        uState = insideActive ? (uState | UISTATE_PUSHED) : (uState & ~UISTATE_PUSHED);
      } else if (under >= 0) {
        iActive = under;
        uState |= UISTATE_HOT;
      } else {
        uState &= ~UISTATE_HOT;
      }
      break;
    case UIEVENT_BUTTONUP:
      if ((uState & UISTATE_CAPTURED) == 0) break;
      if (insideActive) {
        SetCheck(!bChecked);
        flipped = iActive;
      }
      uState &= ~(UISTATE_PUSHED | UISTATE_CAPTURED);
      break;
    case UIEVENT_MOUSEENTER:
      if (under < 0) break;
      iActive = under;
      uState |= UISTATE_HOT;
      break;
    case UIEVENT_MOUSELEAVE:
      uState &= ~UISTATE_HOT;
      break;
    default:
      break;
  }
  if (uState != before || flipped >= 0) owner.Invalidate();
  return flipped;
}

// A checked box with a selected image shows it under the fore image; otherwise the image of the
// box's state (disabled, pushed, hot, focused), else the normal one, and the fore image when
// neither drew. The pushed look is not kept between paints.
void CellCheckBox::Paint(CControlUI& owner, HDC hDC, const RECT& box, int index) {
  uState &= ~UISTATE_PUSHED;
  const RECT& pos = owner.GetPos();
  CUIString dest;
  dest.SmallFormat(L"dest='%d,%d,%d,%d'", box.left - pos.left, box.top - pos.top, box.right - pos.left,
                   box.bottom - pos.top);
  auto draw = [&](const CUIString& image) {
    return !image.IsEmpty() && owner.DrawImage(hDC, image.GetData(), dest.GetData());
  };
  if (bChecked && !sSelectedImage.IsEmpty()) {
    draw(sSelectedImage);
    draw(sForeImage);
    return;
  }
  uState = WithFocusAndDisabled(owner, uState);
  UINT state = index == iActive ? uState : (uState & ~kPointerBits);
  const CUIString* chosen = (state & UISTATE_DISABLED) != 0 && !sDisabledImage.IsEmpty() ? &sDisabledImage
                            : (state & UISTATE_PUSHED) != 0 && !sPushedImage.IsEmpty()   ? &sPushedImage
                            : (state & UISTATE_HOT) != 0 && !sHotImage.IsEmpty()         ? &sHotImage
                            : (state & UISTATE_FOCUSED) != 0 && !sFocusedImage.IsEmpty() ? &sFocusedImage
                                                                                         : &sNormalImage;
  if (!draw(*chosen)) draw(sForeImage);
}

}  // namespace SkinUI
