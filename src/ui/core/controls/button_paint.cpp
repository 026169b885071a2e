#include "ui/core/controls/button.h"
#include "ui/core/paint/manager/paint_manager.h"
#include "ui/core/paint/render/render_engine.h"

namespace SkinUI {

CUIString CButtonUI::FrameString(const ImageDrawInfo& info, int frame, int w, int h) {
  CUIString text;
  text.SmallFormat(L"res='%ls' restype='%ls' dest='%d,%d,%d,%d' source='%d,%d,%d,%d'", info.sImageName.GetData(),
                   info.sResType.GetData(), static_cast<int>(info.rcDest.left), static_cast<int>(info.rcDest.top),
                   static_cast<int>(info.rcDest.right), static_cast<int>(info.rcDest.bottom), frame * w, 0,
                   (frame + 1) * w, h);
  return text;
}

bool CButtonUI::MeasureStrip(const CUIString& strip, int count, ImageDrawInfo& info, int& w, int& h) {
  if (m_pManager == nullptr || strip.IsEmpty() || count < 1) return false;
  info.Parse(strip.GetData(), nullptr, m_pManager);
  const ImageInfo* image = m_pManager->GetImageEx(info.sImageName.GetData(), info.sResType.GetData(), info.dwMask);
  if (image == nullptr) return false;
  w = image->nX / count;
  h = image->nY;
  if (w < 1) w = 1;
  if (h < 1) h = 1;
  return true;
}

UINT WithFocusAndDisabled(const CControlUI& control, UINT state) {
  state = control.IsFocused() ? (state | UISTATE_FOCUSED) : (state & ~UISTATE_FOCUSED);
  return control.IsEnabled() ? (state & ~UISTATE_DISABLED) : (state | UISTATE_DISABLED);
}

void CButtonUI::RefreshFocusAndDisabled() { m_uButtonState = WithFocusAndDisabled(*this, m_uButtonState); }

bool CButtonUI::DrawIfSet(HDC hDC, const CUIString& image) {
  return !image.IsEmpty() && DrawImage(hDC, image.GetData());
}

void CButtonUI::PaintBkColor(HDC hDC) {
  DWORD color = 0;
  if ((m_uButtonState & UISTATE_PUSHED) != 0)
    color = m_dwPushedBkColor;
  else if ((m_uButtonState & UISTATE_HOT) != 0)
    color = m_dwHotBkColor;
  if (color != 0) {
    CRenderEngine::DrawColor(hDC, m_rcPaint, AdjustColor(color));
    return;
  }
  CControlUI::PaintBkColor(hDC);
}

void CButtonUI::PaintStatusImage(HDC hDC) {
  if (!m_sStateImage.IsEmpty() && m_nStateCount >= 1 && m_sNormalImage.IsEmpty()) {
    ImageDrawInfo info;
    int w = 0, h = 0;
    if (MeasureStrip(m_sStateImage, m_nStateCount, info, w, h)) {
      m_sNormalImage = FrameString(info, 0, w, h);
      if (m_nStateCount > 1) m_sHotImage = m_sPushedImage = FrameString(info, 1, w, h);
      if (m_nStateCount > 2) m_sPushedImage = FrameString(info, 2, w, h);
      if (m_nStateCount > 3) m_sDisabledImage = FrameString(info, 3, w, h);
    }
  }
  RefreshFocusAndDisabled();
  if (m_pManager != nullptr && !::IsWindowEnabled(m_pManager->GetPaintWindow())) m_uButtonState &= UISTATE_DISABLED;
  const CUIString* chosen = nullptr;
  if ((m_uButtonState & UISTATE_DISABLED) != 0)
    chosen = &m_sDisabledImage;
  else if ((m_uButtonState & UISTATE_PUSHED) != 0)
    chosen = &m_sPushedImage;
  else if ((m_uButtonState & UISTATE_HOT) != 0)
    chosen = &m_sHotImage;
  else if ((m_uButtonState & UISTATE_FOCUSED) != 0)
    chosen = &m_sFocusedImage;
  if (chosen != nullptr && DrawIfSet(hDC, *chosen)) return;
  DrawIfSet(hDC, m_sNormalImage);
}

void CButtonUI::PaintForeImage(HDC hDC) {
  bool drawn = false;
  if ((m_uButtonState & UISTATE_PUSHED) != 0)
    drawn = DrawIfSet(hDC, m_sPushedForeImage);
  else if ((m_uButtonState & UISTATE_HOT) != 0)
    drawn = DrawIfSet(hDC, m_sHotForeImage);
  if (!drawn && !m_sForeImage.IsEmpty()) DrawImage(hDC, m_sForeImage.GetData());
}

void CButtonUI::PaintText(HDC hDC) {
  RefreshFocusAndDisabled();
  TakeDefaultColors();
  DWORD color = IsEnabled() ? m_dwTextColor : m_dwDisabledTextColor;
  if ((m_uButtonState & UISTATE_PUSHED) != 0 && m_dwPushedTextColor != 0) color = m_dwPushedTextColor;
  if ((m_uButtonState & UISTATE_HOT) != 0 && m_dwHotTextColor != 0) color = m_dwHotTextColor;
  if ((m_uButtonState & UISTATE_FOCUSED) != 0 && m_dwFocusedTextColor != 0) color = m_dwFocusedTextColor;
  DrawLabelText(hDC, ScaledTextRect(), color);
}

}  // namespace SkinUI
