#include <cstdint>

#include "ui/core/base/system_cursor.h"
#include "ui/core/controls/button.h"
#include "ui/core/paint/manager/paint_manager.h"
#include "ui/extra/slider/slider.h"

namespace SkinUI {

int CSliderUI::ValueAt(POINT pt) const {
  // The thumb size the slider draws with, so that the thumb lands under the pointer at any scale.
  const SIZE thumb = ScaledThumbSize();
  const int min = GetMinValue();
  const int max = GetMaxValue();
  // In 64 bits: a range of millions times a long track passes 2^31 before the division.
  auto along = [&](LONG from, int track) {
    return track > 0 ? static_cast<int>(min + (int64_t{max} - min) * from / track) : min;
  };
  if (IsHorizontal()) {
    const int half = thumb.cx / 2;
    if (pt.x >= m_rcItem.right - half) return max;
    if (pt.x <= m_rcItem.left + half) return min;
    return along(pt.x - half - m_rcItem.left, m_rcItem.right - m_rcItem.left - thumb.cx);
  }
  const int half = thumb.cy / 2;
  if (pt.y >= m_rcItem.bottom - half) return min;
  if (pt.y <= m_rcItem.top + half) return max;
  return along(m_rcItem.bottom - half - pt.y, m_rcItem.bottom - m_rcItem.top - thumb.cy);
}

void CSliderUI::SendNotify(const wchar_t* type) {
  if (m_pManager != nullptr) m_pManager->SendNotify(this, type);
}

void CSliderUI::OnPress(POINT pt) {
  m_uThumbState |= UISTATE_CAPTURED;
  CProgressUI::SetValue(ValueAt(pt));
  UpdateText();
}

// The receivers of "valuechanged" and "movevaluechanged" may delete this slider.
void CSliderUI::OnRelease(POINT pt) {
  m_uThumbState &= ~UISTATE_CAPTURED;
  CProgressUI::SetValue(ValueAt(pt));
  CControlWatch alive(this);
  SendNotify(L"valuechanged");
  if (!alive) return;
  Invalidate();
  UpdateText();
}

void CSliderUI::OnDrag(POINT pt) {
  if (IsThumbCaptured()) {
    CProgressUI::SetValue(ValueAt(pt));
    if (m_bSendMove) {
      UpdateText();
      CControlWatch alive(this);
      SendNotify(L"movevaluechanged");
      if (!alive) return;
    }
    Invalidate();
  }
  const RECT thumb = GetThumbRect();
  SetThumbHot(IsEnabled() && ::PtInRect(&thumb, pt));
}

void CSliderUI::SetThumbHot(bool hot) {
  if (((m_uThumbState & UISTATE_HOT) != 0) == hot) return;
  if (hot)
    m_uThumbState |= UISTATE_HOT;
  else
    m_uThumbState &= ~UISTATE_HOT;
  Invalidate();
}

void CSliderUI::DoEvent(EventRecordUI& event) {
  if (!IsMouseEnabled() && event.Type >= UIEVENT__MOUSEFIRST && event.Type <= UIEVENT__MOUSELAST) {
    if (m_pParent != nullptr)
      m_pParent->DoEvent(event);
    else
      CLabelUI::DoEvent(event);
    return;
  }
  const bool enabled = IsEnabled();
  switch (event.Type) {
    case UIEVENT_BUTTONDOWN:
    case UIEVENT_DBLCLICK:
      if (enabled) OnPress(event.ptMouse);
      return;
    case UIEVENT_BUTTONUP:
    case UIEVENT_RBUTTONUP:
      // The right button's release moves the thumb as the left one's does: a right click jumps.
      if (!enabled) break;
      OnRelease(event.ptMouse);
      return;
    case UIEVENT_CONTEXTMENU:
      return;
    case UIEVENT_SCROLLWHEEL:
      if (!enabled) break;
      SetValue(GetValue() + (event.wParam == 0 ? m_nStep : -m_nStep));
      SendNotify(L"valuechanged");
      return;
    case UIEVENT_MOUSEMOVE:
      OnDrag(event.ptMouse);
      return;
    case UIEVENT_SETCURSOR: {
      const RECT thumb = GetThumbRect();
      if (!enabled || !::PtInRect(&thumb, event.ptMouse)) break;
      ShowSystemCursor(32649);
      return;
    }
    case UIEVENT_MOUSELEAVE:
      if (!enabled) break;
      SetThumbHot(false);
      return;
    default:
      break;
  }
  CControlUI::DoEvent(event);
}

}  // namespace SkinUI
