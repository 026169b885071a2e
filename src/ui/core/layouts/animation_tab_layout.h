#pragma once
#include "ui/core/layouts/animation.h"
#include "ui/core/layouts/tab_layout.h"

namespace SkinUI {

// A tab layout that slides the newly selected page into place over 15 frames.
class CAnimationTabLayoutUI : public CTabLayoutUI, public CUIAnimation {
 public:
  CAnimationTabLayoutUI();
  ~CAnimationTabLayoutUI() override;

  const wchar_t* GetClass() const override;
  LPVOID GetInterface(const wchar_t* pstrName) override;
  void DoEvent(EventRecordUI& event) override;
  void SetAttribute(const wchar_t* pstrName, const wchar_t* pstrValue) override;
  using CTabLayoutUI::SelectItem;
  bool SelectItem(int iIndex) override;

  void OnAnimationStep(int nTotalFrame, int nCurFrame, int nAnimationID) override;
  void OnAnimationStop(int nAnimationID) override;

  void AnimationSwitch();
  void OnTimer(int nTimerID);

  static constexpr int kSlideAnimationId = 1;
  static constexpr int kSlideFrames = 15;
  static constexpr int kSlideElapse = 10;
  // Pixels of the new page that overlap its final place when a horizontal slide starts.
  static constexpr int kSlideOverlap = 52;

 protected:
  bool m_bIsVerticalDirection;
  int m_nPositiveDirection;
  CUIRect m_rcCurPos;
  CUIRect m_rcItemOld;
  CControlUI* m_pCurrentControl;
  bool m_bControlVisibleFlag;
  int m_nStep;  // pixels per frame along the slide's axis
};

}  // namespace SkinUI
