#include "ui/core/controls/button.h"
#include "ui/core/paint/manager/paint_manager.h"
#include "ui/extra/palette/color_palette.h"

namespace SkinUI {

namespace {

int Clamp(int value, int low, int high) { return value < low ? low : (value > high ? high : value); }

bool InRect(const RECT& rc, POINT pt) {
  return pt.x >= rc.left && pt.x < rc.right && pt.y >= rc.top && pt.y < rc.bottom;
}

}  // namespace

void CColorPaletteUI::PickInField(POINT pt) {
  const RECT field = FieldRect();
  const int width = field.right - field.left;
  const int height = field.bottom - field.top;
  // A palette of no width or no field has no colour under the pointer.
  if (width <= 0 || height <= 0) return;
  m_nCurH = Clamp((pt.x - field.left) * 360 / width, 0, 360);
  m_nCurB = 200 - Clamp((pt.y - field.top) * 200 / height, 0, 200);
  m_ptLastPalletMouse.x = Clamp(pt.x, field.left, field.right);
  m_ptLastPalletMouse.y = Clamp(pt.y, field.top, field.bottom);
  UpdateBarData();
}

void CColorPaletteUI::PickSaturation(POINT pt) {
  const int width = m_rcItem.right - m_rcItem.left;
  if (width <= 0) return;
  m_nCurS = Clamp((pt.x - m_rcItem.left) * 200 / width, 0, 200);
  UpdatePalletData();
}

void CColorPaletteUI::DoEvent(EventRecordUI& event) {
  // Events the palette does not keep go on to its parent, whose receivers may delete it.
  CControlWatch alive(this);
  CControlUI::DoEvent(event);
  if (!alive) return;
  const POINT pt = event.ptMouse;
  switch (event.Type) {
    case UIEVENT_BUTTONDOWN:
      if (InRect(FieldRect(), pt)) {
        m_uButtonState |= UISTATE_PUSHED;
        m_bIsInPallet = true;
        PickInField(pt);
      }
      if (InRect(BarRect(), pt)) {
        m_uButtonState |= UISTATE_PUSHED;
        m_bIsInBar = true;
        PickSaturation(pt);
      }
      Invalidate();
      return;
    case UIEVENT_MOUSEMOVE:
      if ((m_uButtonState & UISTATE_PUSHED) == 0) m_bIsInBar = m_bIsInPallet = false;
      if (m_bIsInPallet && InRect(FieldRect(), pt)) PickInField(pt);
      if (m_bIsInBar) PickSaturation(pt);
      Invalidate();
      return;
    case UIEVENT_BUTTONUP:
      // The receiver may delete this palette.
      if (IsEnabled() && m_pManager != nullptr) m_pManager->SendNotify(this, L"colorchanged", GetSelectColor(), 0);
      if (!alive) return;
      m_uButtonState &= ~UISTATE_PUSHED;
      m_bIsInBar = m_bIsInPallet = false;
      Invalidate();
      return;
    default:
      return;
  }
}

}  // namespace SkinUI
