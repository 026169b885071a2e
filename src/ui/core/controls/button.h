#pragma once
#include "ui/core/controls/label.h"

namespace SkinUI {

struct ImageDrawInfo;

// Control state flags shared by buttons, options and edits.
enum UIButtonState : UINT {
  UISTATE_FOCUSED = 0x01,
  UISTATE_SELECTED = 0x02,
  UISTATE_DISABLED = 0x04,
  UISTATE_HOT = 0x08,
  UISTATE_PUSHED = 0x10,
  UISTATE_CAPTURED = 0x40,
};

// `state` with its focused and disabled bits as the control is now.
UINT WithFocusAndDisabled(const CControlUI& control, UINT state);

// Push button with state images and colours; a release inside it sends "click".
class CButtonUI : public CLabelUI {
 public:
  CButtonUI();
  ~CButtonUI() override;

  const wchar_t* GetClass() const override;
  LPVOID GetInterface(const wchar_t* pstrName) override;
  UINT GetControlFlags() const override;
  bool Activate() override;
  void SetEnabled(bool bEnable = true) override;
  void DoEvent(EventRecordUI& event) override;
  void SetAttribute(const wchar_t* pstrName, const wchar_t* pstrValue) override;
  void PaintBkColor(HDC hDC) override;
  void PaintStatusImage(HDC hDC) override;
  void PaintForeImage(HDC hDC) override;
  void PaintText(HDC hDC) override;

  virtual const wchar_t* GetNormalImage();
  virtual void SetNormalImage(const wchar_t* pStrImage);
  virtual const wchar_t* GetHotImage();
  virtual void SetHotImage(const wchar_t* pStrImage);
  virtual const wchar_t* GetPushedImage();
  virtual void SetPushedImage(const wchar_t* pStrImage);
  virtual const wchar_t* GetFocusedImage();
  virtual void SetFocusedImage(const wchar_t* pStrImage);
  virtual const wchar_t* GetDisabledImage();
  virtual void SetDisabledImage(const wchar_t* pStrImage);
  virtual const wchar_t* GetHotForeImage();
  virtual void SetHotForeImage(const wchar_t* pStrImage);
  virtual const wchar_t* GetStateImage();
  virtual void SetStateImage(const wchar_t* pStrImage);

  void SetHotBkColor(DWORD dwColor) { m_dwHotBkColor = dwColor; }
  DWORD GetHotBkColor() const { return m_dwHotBkColor; }
  void SetPushedBkColor(DWORD dwColor) { m_dwPushedBkColor = dwColor; }
  void SetHotTextColor(DWORD dwColor) { m_dwHotTextColor = dwColor; }
  DWORD GetHotTextColor() const { return m_dwHotTextColor; }
  void SetPushedTextColor(DWORD dwColor) { m_dwPushedTextColor = dwColor; }
  DWORD GetPushedTextColor() const { return m_dwPushedTextColor; }
  void SetFocusedTextColor(DWORD dwColor) { m_dwFocusedTextColor = dwColor; }
  DWORD GetFocusedTextColor() const { return m_dwFocusedTextColor; }
  void SetStateCount(int nCount);
  int GetStateCount() const { return m_nStateCount; }
  UINT GetButtonState() const { return m_uButtonState; }
  void BindTabIndex(int index);
  void BindTabLayoutName(const wchar_t* name);
  void BindTriggerTabSel(int index = -1);

 protected:
  // Cuts one frame of a strip image into an image string, as "res='..' dest=.. source=.." text.
  static CUIString FrameString(const ImageDrawInfo& info, int frame, int w, int h);
  // Parses a strip image and measures its frames; false when it cannot be fetched.
  bool MeasureStrip(const CUIString& strip, int count, ImageDrawInfo& info, int& w, int& h);
  void RefreshFocusAndDisabled();
  bool DrawIfSet(HDC hDC, const CUIString& image);

  UINT m_uButtonState;
  DWORD m_dwHotBkColor;
  DWORD m_dwPushedBkColor;
  DWORD m_dwHotTextColor;
  DWORD m_dwPushedTextColor;
  DWORD m_dwFocusedTextColor;
  CUIString m_sNormalImage;
  CUIString m_sHotImage;
  CUIString m_sHotForeImage;
  CUIString m_sPushedImage;
  CUIString m_sPushedForeImage;
  CUIString m_sFocusedImage;
  CUIString m_sDisabledImage;
  int m_nStateCount;
  CUIString m_sStateImage;
  int m_iBindTabIndex;
  CUIString m_sBindTabLayoutName;
};

}  // namespace SkinUI
