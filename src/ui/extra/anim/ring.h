#pragma once
#include "ui/core/controls/label.h"
#include "ui/extra/anim/gdip_image.h"

namespace SkinUI {

// Spins its background image about the control's centre by 36 degrees ten times a second.
class CRingUI : public CLabelUI {
 public:
  CRingUI();
  ~CRingUI() override;

  const wchar_t* GetClass() const override;
  LPVOID GetInterface(const wchar_t* pstrName) override;
  void DoEvent(EventRecordUI& event) override;
  void SetAttribute(const wchar_t* pstrName, const wchar_t* pstrValue) override;
  void PaintBkImage(HDC hDC) override;

  // The image file; it is loaded, and the spinning starts, at the next paint.
  void SetBkImage(const wchar_t* pStrImage);

 private:
  static const UINT kTimerId = 100;
  void DrawRotated(HDC hDC);
  bool ImageNameChanged() const;
  void ForgetImage();

  float m_fCurAngle;
  GdipImagePtr m_pBkimage;
  CUIString m_sLoadedName;  // the background image name the image above stands for
};

}  // namespace SkinUI
