#pragma once
#include "ui/core/paint/control/control.h"

namespace SkinUI {

class CContainerUI;

// A scroll bar with two arrow buttons, a thumb with a rail mark and a background. Alone it keeps
// its own position and sends "scroll"; with an owner container every move is asked of the owner.
class CScrollBarUI : public CControlUI {
 public:
  // Part state flags.
  enum : UINT { kDisabled = 4, kHot = 8, kPushed = 16, kCaptured = 64 };
  enum : UINT { kRepeatTimerId = 10 };

  CScrollBarUI();

  const wchar_t* GetClass() const override;
  LPVOID GetInterface(const wchar_t* pstrName) override;
  void SetPos(RECT rc, bool bNeedInvalidate = true) override;
  void SetVisible(bool bVisible = true) override;
  void SetEnabled(bool bEnable = true) override;
  void SetFocus() override;
  void DoEvent(EventRecordUI& event) override;
  void SetAttribute(const wchar_t* pstrName, const wchar_t* pstrValue) override;
  void DoPaint(HDC hDC, const RECT& rcPaint) override;

  CContainerUI* GetOwner() const { return m_pOwner; }
  void SetOwner(CContainerUI* pOwner) { m_pOwner = pOwner; }
  bool IsHorizontal() const { return m_bHorizontal; }
  void SetHorizontal(bool bHorizontal = true);
  int GetScrollRange() const { return m_nRange; }
  void SetScrollRange(int nRange);
  int GetScrollPos() const { return m_nScrollPos; }
  void SetScrollPos(int nPos);
  int GetLineSize() const { return m_nLineSize; }
  void SetLineSize(int nSize) { m_nLineSize = nSize; }
  bool GetShowButton1() const { return m_bShowButton1; }
  void SetShowButton1(bool bShow);
  bool GetShowButton2() const { return m_bShowButton2; }
  void SetShowButton2(bool bShow);
  const RECT& GetButton1Rect() const { return m_rcButton1; }
  const RECT& GetButton2Rect() const { return m_rcButton2; }
  const RECT& GetThumbRect() const { return m_rcThumb; }
  UINT GetThumbState() const { return m_uThumbState; }

  // The four state images of each part: normal, hot, pushed, disabled.
  enum Part { kBackground, kButton1, kButton2, kThumb, kRail, kPartCount };
  enum Look { kNormal, kHotLook, kPushedLook, kDisabledLook, kLookCount };
  const CUIString& GetImage(Part part, Look look) const { return m_images[part][look]; }
  void SetImage(Part part, Look look, const wchar_t* pStrImage);

 private:
  void PlaceParts();
  void StepLine(int direction);
  void StepPage(int direction);
  void ScrollTo(int nPos);
  void NotifyScroll();
  void OnButtonDown(const EventRecordUI& event);
  void OnButtonUp();
  void OnMouseMove(const EventRecordUI& event);
  void OnTimer();
  void PageTowards(POINT pt);
  void PaintPart(HDC hDC, Part part, const RECT& rcPart, UINT& uState, bool outline);
  void ForwardEvent(EventRecordUI& event);

  bool m_bHorizontal;
  int m_nRange;
  int m_nScrollPos;
  int m_nLineSize;
  CContainerUI* m_pOwner;
  POINT m_ptLastMouse;
  int m_nLastScrollPos;
  int m_nLastScrollOffset;
  int m_nScrollRepeatDelay;
  bool m_bShowButton1;
  CUIRect m_rcButton1;
  UINT m_uButton1State;
  bool m_bShowButton2;
  CUIRect m_rcButton2;
  UINT m_uButton2State;
  CUIRect m_rcThumb;
  UINT m_uThumbState;
  CUIString m_images[kPartCount][kLookCount];
  CUIString m_sImageModify;
};

}  // namespace SkinUI
