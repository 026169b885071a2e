#include "ui/core/paint/manager/paint_manager.h"
#include "ui/core/paint/render/render_engine.h"
#include "ui/core/paint/control/scrollbar.h"

namespace SkinUI {

namespace {

const DWORD kOutlineColor = 0xFF85E4FF;

}  // namespace

// Draws the part's image for its state (disabled, pushed, hot, else normal), then normal; with
// outline set, a part without any drawable image gets a frame.
void CScrollBarUI::PaintPart(HDC hDC, Part part, const RECT& rcPart, UINT& uState, bool outline) {
  if (IsEnabled())
    uState &= ~kDisabled;
  else
    uState |= kDisabled;
  int scale = m_pManager != nullptr ? m_pManager->GetDPIObject()->GetScale() : 100;
  auto unscaled = [scale](int v) { return ::MulDiv(v, 100, scale); };
  m_sImageModify.SmallFormat(L"dest='%d,%d,%d,%d'", unscaled(rcPart.left - m_rcItem.left),
                             unscaled(rcPart.top - m_rcItem.top), unscaled(rcPart.right - m_rcItem.left),
                             unscaled(rcPart.bottom - m_rcItem.top));
  Look look = (uState & kDisabled) != 0 ? kDisabledLook
              : (uState & kPushed) != 0 ? kPushedLook
              : (uState & kHot) != 0    ? kHotLook
                                        : kNormal;
  const CUIString& chosen = m_images[part][look];
  if (!chosen.IsEmpty() && DrawImage(hDC, chosen.GetData(), m_sImageModify.GetData())) return;
  const CUIString& normal = m_images[part][kNormal];
  if (look != kNormal && !normal.IsEmpty() && DrawImage(hDC, normal.GetData(), m_sImageModify.GetData())) return;
  if (outline) CRenderEngine::DrawRect(hDC, rcPart, 2, kOutlineColor);
}

void CScrollBarUI::DoPaint(HDC hDC, const RECT& rcPaint) {
  if (!::IntersectRect(&m_rcPaint, &rcPaint, &m_rcItem)) return;
  if (IsEnabled())
    m_uThumbState &= ~kDisabled;
  else
    m_uThumbState |= kDisabled;
  Look back = (m_uThumbState & kDisabled) != 0 ? kDisabledLook
              : (m_uThumbState & kPushed) != 0 ? kPushedLook
              : (m_uThumbState & kHot) != 0    ? kHotLook
                                               : kNormal;
  const CUIString& chosen = m_images[kBackground][back];
  if (chosen.IsEmpty() || !DrawImage(hDC, chosen.GetData())) {
    const CUIString& normal = m_images[kBackground][kNormal];
    if (!normal.IsEmpty()) DrawImage(hDC, normal.GetData());
  }
  if (m_bShowButton1) PaintPart(hDC, kButton1, m_rcButton1, m_uButton1State, true);
  if (m_bShowButton2) PaintPart(hDC, kButton2, m_rcButton2, m_uButton2State, true);
  if (m_rcThumb.left == 0 && m_rcThumb.top == 0 && m_rcThumb.right == 0 && m_rcThumb.bottom == 0) return;
  PaintPart(hDC, kThumb, m_rcThumb, m_uThumbState, true);
  // The rail mark: a square of the bar's thickness centred on the thumb.
  RECT rail = m_rcThumb;
  if (m_bHorizontal) {
    int thick = GetFixedHeight();
    rail.left = (m_rcThumb.left + m_rcThumb.right) / 2 - thick / 2;
    rail.right = rail.left + thick;
  } else {
    int thick = GetFixedWidth();
    rail.top = (m_rcThumb.top + m_rcThumb.bottom) / 2 - thick / 2;
    rail.bottom = rail.top + thick;
  }
  PaintPart(hDC, kRail, rail, m_uThumbState, false);
}

}  // namespace SkinUI
