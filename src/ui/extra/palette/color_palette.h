// ui/extra/palette/: the colour palette ("ColorPalette"), an HSL colour picker. Uses ui/core only.
#pragma once
#include <memory>

#include "ui/core/base/gdi_handles.h"
#include "ui/core/paint/control/control.h"

namespace SkinUI {

// A hue-by-lightness field over the top and a saturation bar along the bottom, both rendered into
// an off-screen picture and stretched into place; releasing the mouse sends "colorchanged" with
// the chosen ARGB colour in wParam.
class CColorPaletteUI : public CControlUI {
 public:
  CColorPaletteUI();
  ~CColorPaletteUI() override;

  const wchar_t* GetClass() const override;
  LPVOID GetInterface(const wchar_t* pstrName) override;
  void SetPos(RECT rc, bool bNeedInvalidate = true) override;
  void DoInit() override;
  void DoEvent(EventRecordUI& event) override;
  void SetAttribute(const wchar_t* pstrName, const wchar_t* pstrValue) override;
  void PaintBkColor(HDC hDC) override;

  virtual void PaintPallet(HDC hDC);

  DWORD GetSelectColor() const;
  // Heights in skin units: the field's, and the bar's (at most 150).
  void SetPalletHeight(int nHeight);
  int GetPalletHeight() const { return m_nPalletHeight; }
  void SetBarHeight(int nHeight);
  int GetBarHeight() const { return m_nBarHeight; }
  void SetThumbImage(const wchar_t* pszImage);
  const CUIString& GetThumbImage() const { return m_strThumbImage; }
  // Rewrite the field from the current saturation, and the bar from the current hue and lightness.
  void UpdatePalletData();
  void UpdateBarData();

 private:
  // The off-screen picture: a 32-bit top-down DIB section, so that its pixel layout does not depend
  // on the display's depth. Members go in reverse: the picture is deselected, deleted, then its DC.
  struct Canvas {
    explicit Canvas(HDC compatibleWith);
    MemoryDC dc;
    LPDWORD bits = nullptr;
    GdiObject<HBITMAP> bitmap;
    SelectGuard select;
  };

  RECT FieldRect() const;
  RECT BarRect() const;
  void PickInField(POINT pt);
  void PickSaturation(POINT pt);
  void DrawThumb(HDC hDC, POINT centre);

  std::unique_ptr<Canvas> m_canvas;
  UINT m_uButtonState;
  bool m_bIsInBar;
  bool m_bIsInPallet;
  int m_nCurH;
  int m_nCurS;
  int m_nCurB;
  int m_nPalletHeight;
  int m_nBarHeight;
  CUIPoint m_ptLastPalletMouse;
  CUIString m_strThumbImage;
};

}  // namespace SkinUI
