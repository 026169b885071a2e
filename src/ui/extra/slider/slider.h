// ui/extra/slider/: the slider ("Slider"), a progress bar with a thumb that the mouse drags and the
// wheel steps. Uses ui/core only.
#pragma once
#include "ui/core/controls/progress.h"

namespace SkinUI {

// A progress bar whose value follows a draggable thumb; it reports "valuechanged" on release and
// on each wheel step, and, when asked to, "movevaluechanged" while the thumb is dragged.
class CSliderUI : public CProgressUI {
 public:
  CSliderUI();
  ~CSliderUI() override;

  const wchar_t* GetClass() const override;
  LPVOID GetInterface(const wchar_t* pstrName) override;
  void SetEnabled(bool bEnable = true) override;
  void DoEvent(EventRecordUI& event) override;
  void SetAttribute(const wchar_t* pstrName, const wchar_t* pstrValue) override;
  void PaintForeImage(HDC hDC) override;

  // Ignored while the thumb is held, so that a drag is not undone from outside.
  void SetValue(int nValue);
  int GetChangeStep() const { return m_nStep; }
  void SetChangeStep(int step) { m_nStep = step; }
  void SetThumbSize(SIZE szXY) { m_szThumb = szXY; }
  void SetCanSendMove(bool bCanSend) { m_bSendMove = bCanSend; }
  void SetThumbImage(const wchar_t* pStrImage);
  void SetThumbHotImage(const wchar_t* pStrImage);
  void SetThumbPushedImage(const wchar_t* pStrImage);
  // The thumb in device pixels, placed by the value along the track.
  RECT GetThumbRect() const;

 private:
  // The thumb size as drawn: DPI-scaled when there is a manager.
  SIZE ScaledThumbSize() const;
  // The value whose thumb is centred on the point, pinned at either end.
  int ValueAt(POINT pt) const;
  bool IsThumbCaptured() const;
  void OnPress(POINT pt);
  void OnRelease(POINT pt);
  void OnDrag(POINT pt);
  void SetThumbHot(bool hot);
  void SendNotify(const wchar_t* type);

  CUISize m_szThumb;
  UINT m_uThumbState;
  int m_nStep;
  CUIString m_sThumbImage;
  CUIString m_sThumbHotImage;
  CUIString m_sThumbPushedImage;
  CUIString m_sImageModify;
  bool m_bSendMove;
};

}  // namespace SkinUI
