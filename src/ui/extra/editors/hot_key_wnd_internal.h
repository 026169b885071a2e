#pragma once
#include "ui/extra/editors/editor_events_internal.h"
#include "ui/extra/editors/hot_key.h"

namespace SkinUI {

// The platform's hot-key editor laid over a hot-key control while it is edited; it paints the
// key's name itself in the owner's colours.
class CHotKeyWnd final : public CEditorWnd<CHotKeyUI> {
 public:
  void Init(CHotKeyUI* pOwner);
  // The modifiers' names (Ctrl, Shift, Alt, in that order) and the key's, joined by " + "; empty
  // without key and modifiers. `modifiers` holds the editor's HOTKEYF_* flags.
  static CUIString GetHotKeyName(WORD key, WORD modifiers);

 protected:
  const wchar_t* GetWindowClassName() const override;
  const wchar_t* GetSuperClassName() const override;
  LRESULT HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override;

 private:
  void OnHotKeyChanged();
  void Paint();
};

}  // namespace SkinUI
