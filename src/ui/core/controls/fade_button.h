#pragma once
#include "ui/core/layouts/animation.h"
#include "ui/core/controls/button.h"

namespace SkinUI {

// A button that cross-fades between its normal and hot images as the mouse enters and leaves.
class CFadeButtonUI : public CButtonUI, public CUIAnimation {
 public:
  CFadeButtonUI();
  ~CFadeButtonUI() override;

  const wchar_t* GetClass() const override;
  LPVOID GetInterface(const wchar_t* pstrName) override;
  void DoEvent(EventRecordUI& event) override;
  void PaintStatusImage(HDC hDC) override;
  void SetNormalImage(const wchar_t* pStrImage) override;

  void OnAnimationStep(int nTotalFrame, int nCurFrame, int nAnimationID) override;

  static constexpr int kFadeInId = 8;
  static constexpr int kFadeOutId = 9;
  static constexpr int kFadeFrames = 30;
  static constexpr int kFadeElapse = 10;

 protected:
  void DrawFaded(HDC hDC, const CUIString& image, int fade);

  CUIString m_sOldImage;
  CUIString m_sNewImage;
  CUIString m_sLastImage;
  BYTE m_bFadeAlpha;
  bool m_bMouseHove;
  bool m_bMouseLeave;
};

}  // namespace SkinUI
