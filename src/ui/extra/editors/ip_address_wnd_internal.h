#pragma once
#include "ui/extra/editors/editor_events_internal.h"
#include "ui/extra/editors/ip_address.h"

namespace SkinUI {

// The platform's IP-address editor laid over an IP-address control while it is edited. It stays,
// hidden, when the focus leaves it, and closes on Delete, Backspace or Escape.
class CIPAddressWnd final : public CEditorWnd<CIPAddressUI> {
 public:
  // Creates the editor when there is none yet, shows the owner's address in it and focuses it.
  void Init(CIPAddressUI* pOwner);

 protected:
  const wchar_t* GetWindowClassName() const override;
  const wchar_t* GetSuperClassName() const override;
  LRESULT HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override;
  void OnFinalMessage(HWND hWnd) override;

 private:
  bool Make(CPaintManagerUI* pm);
  void HookFields(bool hook);
  LRESULT OnFieldKillFocus(WPARAM wParam, LPARAM lParam);
  LRESULT OnKeyUp(WPARAM wParam, LPARAM lParam);
  // The owner takes the editor's address (none when it is blank); true when its text changed.
  bool ReadAddress();
  static LRESULT CALLBACK FieldProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR data);

  // The font the platform's control made for its fields: Wine's never deletes it.
  HFONT m_hFieldFont = nullptr;
};

}  // namespace SkinUI
