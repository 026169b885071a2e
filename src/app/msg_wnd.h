// The modal box that asks, while an install runs, whether to quit it: 1 quit, 2 stay.
#pragma once

#include "ui/core/window/window_impl_base.h"

class CMsgWnd : public SkinUI::WindowImplBase {
 public:
  enum Answer { kQuit = 1, kStay = 2 };

  // Creates the box owned by `owner`, centred on it, and runs it modally. The box is freed
  // only after its modal loop has ended.
  static UINT Ask(HWND owner);

 protected:
  const wchar_t* GetWindowClassName() const override;
  SkinUI::CUIString GetSkinFile() override;
  void Init() override;
  void OnFinalMessage(HWND hWnd) override;
  LRESULT HandleCustomMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) override;
  void Notify(SkinUI::NotifyRecordUI& msg) override;

 private:
  SkinUI::CControlUI* m_pBtnMsgCancel = nullptr;
  SkinUI::CControlUI* m_pBtnMsgOK = nullptr;
  SkinUI::CControlUI* m_pBtnMsgClose = nullptr;
};
