// ui/extra/anim/: small controls that animate on a paint-manager timer: the animated GIF image
// ("GifAnim"), the spinning ring ("Ring") and the rolling text ("RollText"). Uses ui/core only.
#pragma once
#include <vector>

#include "ui/core/paint/control/control.h"
#include "ui/extra/anim/gdip_image.h"

namespace SkinUI {

// Plays the frames of an animated GIF, each for its own delay; hidden, it rests at its first frame.
class CGifAnimUI : public CControlUI {
 public:
  CGifAnimUI();
  ~CGifAnimUI() override;

  const wchar_t* GetClass() const override;
  LPVOID GetInterface(const wchar_t* pstrName) override;
  void SetVisible(bool bVisible = true) override;
  void DoInit() override;
  void DoEvent(EventRecordUI& event) override;
  void SetAttribute(const wchar_t* pstrName, const wchar_t* pstrValue) override;
  void DoPaint(HDC hDC, const RECT& rcPaint) override;

  // The image file; a new one is loaded at the next paint.
  void SetBkImage(const wchar_t* pStrImage);
  const CUIString& GetBkImage() const { return m_sGifImage; }
  void SetAutoPlay(bool bIsAuto = true) { m_bIsAutoPlay = bIsAuto; }
  bool IsAutoPlay() const { return m_bIsAutoPlay; }
  void SetAutoSize(bool bIsAuto = true) { m_bIsAutoSize = bIsAuto; }
  bool IsAutoSize() const { return m_bIsAutoSize; }
  void PlayGif();
  void StopGif();
  void InitGifImage();
  void DeleteGif();
  void DrawFrame(HDC hDC);

 private:
  static const UINT kTimerId = 100;
  // How long a frame stays, in milliseconds: its own delay, or 100 where the image gives none.
  UINT FrameDelayMs(UINT frame) const;
  void ReadFrames();
  void OnFrameTimer();

  GdipImagePtr m_pGifImage;
  UINT m_nFrameCount;
  UINT m_nFramePosition;
  // The frame-delay property item as GDI+ hands it out (its values follow the header); empty when
  // the image has no delays.
  std::vector<BYTE> m_frameDelays;
  CUIString m_sGifImage;
  bool m_bIsAutoPlay;
  bool m_bIsAutoSize;
  bool m_bIsPlaying;
};

}  // namespace SkinUI
