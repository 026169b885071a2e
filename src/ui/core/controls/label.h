#pragma once
#include "ui/core/paint/control/control.h"

namespace SkinUI {

// Static text: plain or HTML-like, with its own colours, font, alignment and padding.
class CLabelUI : public CControlUI {
 public:
  CLabelUI();
  ~CLabelUI() override;

  const wchar_t* GetClass() const override;
  LPVOID GetInterface(const wchar_t* pstrName) override;
  UINT GetControlFlags() const override;
  void SetText(const wchar_t* pstrText) override;
  void DoEvent(EventRecordUI& event) override;
  void SetAttribute(const wchar_t* pstrName, const wchar_t* pstrValue) override;
  SIZE EstimateSize(SIZE szAvailable) override;
  void PaintText(HDC hDC) override;

  virtual bool GetAutoCalcWidth() const;
  virtual void SetAutoCalcWidth(bool bAutoCalcWidth);

  void SetTextColor(DWORD dwTextColor);
  DWORD GetTextColor() const { return m_dwTextColor; }
  void SetDisabledTextColor(DWORD dwTextColor);
  DWORD GetDisabledTextColor() const { return m_dwDisabledTextColor; }
  void SetFont(int index);
  int GetFont() const { return m_iFont; }
  void SetTextPadding(RECT rc);
  RECT GetTextPadding() const { return m_rcTextPadding; }
  // The item rectangle less the text padding as written (not DPI-scaled), where the text-entry
  // controls draw their text and lay their native windows.
  RECT UnscaledTextRect() const;
  UINT GetTextStyle() const { return m_uTextStyle; }
  bool IsShowHtml() const { return m_bShowHtml; }
  void SetShowHtml(bool bShowHtml = true);

 protected:
  // Replaces zero colours by the manager's defaults, as the first paint does.
  void TakeDefaultColors();
  // The item rectangle less the DPI-scaled text padding.
  RECT ScaledTextRect() const;
  void DrawLabelText(HDC hDC, RECT rc, DWORD color);

  DWORD m_dwTextColor;
  DWORD m_dwDisabledTextColor;
  int m_iFont;
  UINT m_uTextStyle;
  CUIRect m_rcTextPadding;
  bool m_bShowHtml;
  bool m_bAutoCalcWidth;
};

}  // namespace SkinUI
