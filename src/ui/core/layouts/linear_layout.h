#pragma once
#include "ui/core/paint/control/container.h"

namespace SkinUI {

const UINT kSeparatorDragging = 0x40;

// The drag state of a linear layout's separator band; `iSize` is the band's thickness, negative
// when the band lies along the leading edge.
struct LinearSeparator {
  int iSize = 0;
  UINT uButtonState = 0;
  POINT ptLastMouse{0, 0};
  CUIRect rcNewPos;
  bool bImmMode = false;
};

struct LinearLayoutOps;

// Stacks its children from top to bottom; fixed heights stay, the rest share what is left.
// A separator band along its bottom (or top) edge lets the user drag its height.
class CVerticalLayoutUI : public CContainerUI {
 public:
  const wchar_t* GetClass() const override;
  LPVOID GetInterface(const wchar_t* pstrName) override;
  UINT GetControlFlags() const override;
  void SetPos(RECT rc, bool bNeedInvalidate = true) override;
  void DoEvent(EventRecordUI& event) override;
  void SetAttribute(const wchar_t* pstrName, const wchar_t* pstrValue) override;
  void DoPostPaint(HDC hDC, const RECT& rcPaint) override;

  void SetSepHeight(int iHeight) { m_sep.iSize = iHeight; }
  int GetSepHeight() const { return m_sep.iSize; }
  void SetSepImmMode(bool bImmediately);
  bool IsSepImmMode() const { return m_sep.bImmMode; }
  RECT GetThumbRect(bool bUseNew = false) const;

 private:
  friend struct LinearLayoutOps;
  LinearSeparator m_sep;
};

// Places its children from left to right; fixed widths stay, the rest share what is left.
// A separator band along its right (or left) edge lets the user drag its width.
class CHorizontalLayoutUI : public CContainerUI {
 public:
  const wchar_t* GetClass() const override;
  LPVOID GetInterface(const wchar_t* pstrName) override;
  UINT GetControlFlags() const override;
  void SetPos(RECT rc, bool bNeedInvalidate = true) override;
  void DoEvent(EventRecordUI& event) override;
  void SetAttribute(const wchar_t* pstrName, const wchar_t* pstrValue) override;
  void DoPostPaint(HDC hDC, const RECT& rcPaint) override;

  void SetSepWidth(int iWidth) { m_sep.iSize = iWidth; }
  int GetSepWidth() const { return m_sep.iSize; }
  void SetSepImmMode(bool bImmediately);
  bool IsSepImmMode() const { return m_sep.bImmMode; }
  RECT GetThumbRect(bool bUseNew = false) const;

 private:
  friend struct LinearLayoutOps;
  LinearSeparator m_sep;
};

}  // namespace SkinUI
