#include "ui/core/controls/fade_button.h"

#include <cwchar>

namespace SkinUI {

CFadeButtonUI::CFadeButtonUI() : CUIAnimation(this), m_bFadeAlpha(0), m_bMouseHove(false), m_bMouseLeave(false) {}

CFadeButtonUI::~CFadeButtonUI() { StopAnimation(0); }

const wchar_t* CFadeButtonUI::GetClass() const { return L"FadeButtonUI"; }

LPVOID CFadeButtonUI::GetInterface(const wchar_t* pstrName) {
  if (pstrName != nullptr && wcscmp(pstrName, L"FadeButton") == 0) return static_cast<CFadeButtonUI*>(this);
  return CButtonUI::GetInterface(pstrName);
}

void CFadeButtonUI::SetNormalImage(const wchar_t* pStrImage) {
  m_sNormalImage = pStrImage;
  m_sLastImage = m_sNormalImage;
}

void CFadeButtonUI::DoEvent(EventRecordUI& event) {
  if (event.Type == UIEVENT_MOUSEENTER && !IsAnimationRunning(kFadeInId)) {
    m_bFadeAlpha = 0;
    m_bMouseHove = true;
    StopAnimation(kFadeOutId);
    StartAnimation(kFadeElapse, kFadeFrames, kFadeInId, false);
    Invalidate();
    return;
  }
  if (event.Type == UIEVENT_MOUSELEAVE && !IsAnimationRunning(kFadeOutId)) {
    m_bFadeAlpha = 0;
    m_bMouseLeave = true;
    StopAnimation(kFadeInId);
    StartAnimation(kFadeElapse, kFadeFrames, kFadeOutId, false);
    Invalidate();
    return;
  }
  if (event.Type == UIEVENT_TIMER) OnAnimationElapse(static_cast<int>(event.wParam));
  CButtonUI::DoEvent(event);
}

void CFadeButtonUI::OnAnimationStep(int nTotalFrame, int nCurFrame, int) {
  m_bFadeAlpha = static_cast<BYTE>(static_cast<double>(nCurFrame) / nTotalFrame * 255.0);
  if (m_bFadeAlpha == 0) m_bFadeAlpha = 10;
  Invalidate();
}

void CFadeButtonUI::DrawFaded(HDC hDC, const CUIString& image, int fade) {
  CUIString modify;
  modify.SmallFormat(L"fade='%d'", fade);
  DrawImage(hDC, image.GetData(), modify.GetData());
}

void CFadeButtonUI::PaintStatusImage(HDC hDC) {
  RefreshFocusAndDisabled();
  const CUIString* chosen = nullptr;
  if ((m_uButtonState & UISTATE_DISABLED) != 0)
    chosen = &m_sDisabledImage;
  else if ((m_uButtonState & UISTATE_PUSHED) != 0)
    chosen = &m_sPushedImage;
  else if ((m_uButtonState & UISTATE_FOCUSED) != 0)
    chosen = &m_sFocusedImage;
  if (chosen != nullptr && DrawIfSet(hDC, *chosen)) return;
  if (m_sNormalImage.IsEmpty()) return;
  if (!IsAnimationRunning(kFadeInId) && !IsAnimationRunning(kFadeOutId)) {
    if (m_sLastImage.IsEmpty()) m_sLastImage = m_sNormalImage;
    DrawImage(hDC, m_sLastImage.GetData());
    return;
  }
  if (m_bMouseHove) {
    m_bMouseHove = false;
    m_sLastImage = m_sHotImage;
    DrawImage(hDC, m_sNormalImage.GetData());
    return;
  }
  if (m_bMouseLeave) {
    m_bMouseLeave = false;
    m_sLastImage = m_sNormalImage;
    DrawImage(hDC, m_sHotImage.GetData());
    return;
  }
  m_sOldImage = m_sNormalImage;
  m_sNewImage = m_sHotImage;
  if (IsAnimationRunning(kFadeOutId)) {
    m_sOldImage = m_sHotImage;
    m_sNewImage = m_sNormalImage;
  }
  DrawFaded(hDC, m_sOldImage, 255 - m_bFadeAlpha);
  DrawFaded(hDC, m_sNewImage, m_bFadeAlpha);
}

}  // namespace SkinUI
