#pragma once
#include "ui/core/paint/manager/window_wnd.h"

namespace SkinUI {

class CEditUI;

// The native EDIT window laid over an edit control while it is being edited.
class CEditWnd final : public CWindowWnd {
 public:
  CEditWnd();

  void Init(CEditUI* pOwner);
  RECT CalPos();
  // Forgets the owner, which is being deleted: the window then closes on its own.
  void Detach() { m_pOwner = nullptr; }

 protected:
  const wchar_t* GetWindowClassName() const override;
  const wchar_t* GetSuperClassName() const override;
  LRESULT HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override;
  void OnFinalMessage(HWND hWnd) override;

 private:
  LRESULT OnEditChanged();
  LRESULT OnCtlColor(HDC hDC, bool& bHandled);
  bool IsLayered() const;

  CEditUI* m_pOwner;
  HBRUSH m_hBkBrush;
  bool m_bInit;
  bool m_bDrawCaret;
  bool m_bLayered;
};

}  // namespace SkinUI
