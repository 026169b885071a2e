#include "ui/core/controls/option.h"
#include "ui/core/paint/manager/paint_manager.h"
#include "ui/core/paint/render/render_engine.h"

namespace SkinUI {

void COptionUI::PaintBkColor(HDC hDC) {
  if (!m_bSelected) {
    CButtonUI::PaintBkColor(hDC);
    return;
  }
  if (m_dwSelectedBkColor != 0) CRenderEngine::DrawColor(hDC, m_rcPaint, AdjustColor(m_dwSelectedBkColor));
}

void COptionUI::PaintStatusImage(HDC hDC) {
  if (!m_bSelected) {
    CButtonUI::PaintStatusImage(hDC);
    return;
  }
  if (!m_sSelectedStateImage.IsEmpty() && m_nSelectedStateCount >= 1 && m_sSelectedImage.IsEmpty()) {
    ImageDrawInfo info;
    int w = 0, h = 0;
    if (MeasureStrip(m_sSelectedStateImage, m_nSelectedStateCount, info, w, h)) {
      m_sSelectedImage = FrameString(info, 0, w, h);
      if (m_nSelectedStateCount > 1) m_sSelectedHotImage = m_sSelectedPushedImage = FrameString(info, 1, w, h);
      if (m_nSelectedStateCount > 2) m_sSelectedPushedImage = FrameString(info, 2, w, h);
    }
  }
  if ((m_uButtonState & UISTATE_PUSHED) != 0) {
    if (DrawIfSet(hDC, m_sSelectedPushedImage)) return;
    if (m_sSelectedPushedImage.IsEmpty() && (m_uButtonState & UISTATE_HOT) != 0 &&
        DrawIfSet(hDC, m_sSelectedHotImage)) {
      return;
    }
  } else if ((m_uButtonState & UISTATE_HOT) != 0) {
    if (DrawIfSet(hDC, m_sSelectedHotImage)) return;
  }
  DrawIfSet(hDC, m_sSelectedImage);
}

void COptionUI::PaintForeImage(HDC hDC) {
  if (m_bSelected && DrawIfSet(hDC, m_sSelectedForeImage)) return;
  CButtonUI::PaintForeImage(hDC);
}

void COptionUI::PaintText(HDC hDC) {
  if ((m_uButtonState & UISTATE_SELECTED) == 0) {
    CButtonUI::PaintText(hDC);
    return;
  }
  TakeDefaultColors();
  DWORD textColor = m_dwSelectedTextColor != 0 ? m_dwSelectedTextColor : m_dwTextColor;
  DrawLabelText(hDC, ScaledTextRect(), IsEnabled() ? textColor : m_dwDisabledTextColor);
}

}  // namespace SkinUI
