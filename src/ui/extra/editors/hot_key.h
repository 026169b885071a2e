#pragma once
#include "ui/core/controls/label.h"

namespace SkinUI {

template <class Owner>
class CEditorWnd;
class CHotKeyWnd;

// A key combination shown as "Ctrl + Shift + F5" ("无" when cleared), caught in the platform's
// hot-key editor while focused.
class CHotKeyUI : public CLabelUI {
  template <class>
  friend class CEditorWnd;
  friend class CHotKeyWnd;

 public:
  CHotKeyUI();
  ~CHotKeyUI() override;

  const wchar_t* GetClass() const override;
  LPVOID GetInterface(const wchar_t* pstrName) override;
  UINT GetControlFlags() const override;
  void SetText(const wchar_t* pstrText) override;
  void SetVisible(bool bVisible = true) override;
  void SetInternalVisible(bool bVisible = true) override;
  void SetEnabled(bool bEnable = true) override;
  void DoEvent(EventRecordUI& event) override;
  void SetAttribute(const wchar_t* pstrName, const wchar_t* pstrValue) override;
  SIZE EstimateSize(SIZE szAvailable) override;
  void PaintStatusImage(HDC hDC) override;
  void PaintText(HDC hDC) override;

  // The editor while editing, or null.
  HWND GetNativeWindow() const;

 private:
  // Closes the editor when the control can no longer be seen.
  void DropFocusIfHidden();
  void SetHot(bool hot);
  const CUIString* StateImage() const;

  CHotKeyWnd* m_pWindow;
  UINT m_uButtonState;
  CUIString m_sNormalImage;
  CUIString m_sHotImage;
  CUIString m_sFocusedImage;
  CUIString m_sDisabledImage;
  DWORD m_dwHotKeybkColor;
  WORD m_wVirtualKeyCode;
  WORD m_wModifiers;
};

}  // namespace SkinUI
