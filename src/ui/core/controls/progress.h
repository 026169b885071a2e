#pragma once
#include <cstdint>

#include "ui/core/controls/label.h"

namespace SkinUI {

// Progress bar: a value in a range drawn as a fore colour or a fore image cut to its share.
class CProgressUI : public CLabelUI {
 public:
  CProgressUI();
  ~CProgressUI() override;

  const wchar_t* GetClass() const override;
  LPVOID GetInterface(const wchar_t* pstrName) override;
  void SetAttribute(const wchar_t* pstrName, const wchar_t* pstrValue) override;
  void PaintForeColor(HDC hDC) override;
  void PaintForeImage(HDC hDC) override;

  virtual void UpdateText();

  bool IsHorizontal() const { return m_bHorizontal; }
  void SetHorizontal(bool bHorizontal = true);
  bool IsStretchForeImage() const { return m_bStretchForeImage; }
  void SetStretchForeImage(bool bStretchForeImage = true);
  int GetMinValue() const { return m_nMin; }
  void SetMinValue(int nMin);
  int GetMaxValue() const { return m_nMax; }
  void SetMaxValue(int nMax);
  int GetValue() const { return m_nValue; }
  void SetValue(int nValue);

 private:
  // Makes the range non-empty and the value lie in it.
  void RepairRange();
  // The part's share of the range, as a share of `length` pixels.
  int ShareOf(int length, int64_t part) const;

  bool m_bShowText;
  bool m_bHorizontal;
  bool m_bStretchForeImage;
  int m_nMax;
  int m_nMin;
  int m_nValue;
  CUIString m_sForeImageModify;
};

}  // namespace SkinUI
