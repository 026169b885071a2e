#pragma once
#include "ui/core/layouts/linear_layout.h"

namespace SkinUI {

// A vertical layout framed 5 pixels inside its rectangle, with a caption set into the frame's top edge.
class CGroupBoxUI : public CVerticalLayoutUI {
 public:
  CGroupBoxUI();
  ~CGroupBoxUI() override;

  const wchar_t* GetClass() const override;
  LPVOID GetInterface(const wchar_t* pstrName) override;
  void SetAttribute(const wchar_t* pstrName, const wchar_t* pstrValue) override;
  void PaintText(HDC hDC) override;
  void PaintBorder(HDC hDC) override;

  void SetTextColor(DWORD dwTextColor);
  DWORD GetTextColor() const { return m_dwTextColor; }
  void SetDisabledTextColor(DWORD dwTextColor);
  DWORD GetDisabledTextColor() const { return m_dwDisabledTextColor; }
  void SetFont(int iFont);
  int GetFont() const { return m_iFont; }

  static constexpr int kFrameInset = 5;
  static constexpr int kCaptionIndent = 15;

 protected:
  SIZE CalcTextSize(int cxAvailable, int cyAvailable);
  RECT FrameRect() const;

  DWORD m_dwTextColor;
  DWORD m_dwDisabledTextColor;
  int m_iFont;
  UINT m_uTextStyle;
};

}  // namespace SkinUI
