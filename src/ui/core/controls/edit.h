#pragma once
#include "ui/core/controls/label.h"

namespace SkinUI {

class CEditWnd;

// Single-line text entry: paints itself while idle and types through a native EDIT window while focused.
class CEditUI : public CLabelUI {
  friend class CEditWnd;

 public:
  CEditUI();
  ~CEditUI() override;

  const wchar_t* GetClass() const override;
  LPVOID GetInterface(const wchar_t* pstrName) override;
  UINT GetControlFlags() const override;
  void SetText(const wchar_t* pstrText) override;
  void SetPos(RECT rc, bool bNeedInvalidate = true) override;
  void Move(SIZE szOffset, bool bNeedInvalidate = true) override;
  void SetVisible(bool bVisible = true) override;
  void SetInternalVisible(bool bVisible = true) override;
  void SetEnabled(bool bEnable = true) override;
  void DoEvent(EventRecordUI& event) override;
  void SetAttribute(const wchar_t* pstrName, const wchar_t* pstrValue) override;
  SIZE EstimateSize(SIZE szAvailable) override;
  void PaintStatusImage(HDC hDC) override;
  void PaintText(HDC hDC) override;

  void SetMaxChar(UINT uMax);
  UINT GetMaxChar() const { return m_uMaxChar; }
  void SetReadOnly(bool bReadOnly);
  bool IsReadOnly() const { return m_bReadOnly; }
  void SetPasswordMode(bool bPasswordMode);
  bool IsPasswordMode() const { return m_bPasswordMode; }
  void SetPasswordChar(wchar_t cPasswordChar);
  wchar_t GetPasswordChar() const { return m_cPasswordChar; }
  void SetNumberOnly(bool bNumberOnly);
  bool IsNumberOnly() const { return (m_iWindowStyls & ES_NUMBER) != 0; }
  void SetTipValue(const wchar_t* pStrTipValue);
  CUIString GetTipValue() const;
  void SetTipValueColor(DWORD dwColor) { m_dwTipValueColor = dwColor; }
  DWORD GetTipValueColor() const { return m_dwTipValueColor; }
  void SetNativeEditTextColor(DWORD dwColor) { m_dwEditTextColor = dwColor; }
  DWORD GetNativeEditTextColor() const { return m_dwEditTextColor; }
  void SetNativeEditBkColor(DWORD dwColor) { m_dwEditbkColor = dwColor; }
  DWORD GetNativeEditBkColor() const { return m_dwEditbkColor; }
  void SetNormalImage(const wchar_t* pStrImage);
  void SetHotImage(const wchar_t* pStrImage);
  void SetFocusedImage(const wchar_t* pStrImage);
  void SetDisabledImage(const wchar_t* pStrImage);
  // The native window while editing, or null.
  HWND GetNativeWindow() const;

 private:
  void OpenNativeWindow();
  void SelectAllText();
  // Closes the native window when the edit can no longer be seen.
  void DropFocusIfHidden();

  CEditWnd* m_pWindow;
  UINT m_uMaxChar;
  bool m_bReadOnly;
  bool m_bPasswordMode;
  wchar_t m_cPasswordChar;
  UINT m_uEditState;
  CUIString m_sNormalImage;
  CUIString m_sHotImage;
  CUIString m_sFocusedImage;
  CUIString m_sDisabledImage;
  CUIString m_sTipValue;
  DWORD m_dwTipValueColor;
  DWORD m_dwEditbkColor;
  DWORD m_dwEditTextColor;
  int m_iWindowStyls;
};

// Where a text-entry control lays its native window: its unscaled text rectangle, narrowed to the
// height of its font and centred when taller.
RECT NativeTextRect(const CLabelUI* pOwner);
// `rc` as the control's ancestors show it: clipped by each one's client area, empty under a hidden one.
RECT ClipByAncestors(const CControlUI* pControl, RECT rc);

}  // namespace SkinUI
