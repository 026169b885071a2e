#pragma once
#include "ui/core/controls/owned_window.h"
#include "ui/core/paint/control/control.h"
#include "ui/core/paint/manager/paint_manager.h"
#include "ui/core/paint/manager/window_wnd.h"

namespace SkinUI {

// What an editor's owner still has to do with an event once the handling the three share is done.
enum class EditorStep {
  kDone,   // handled, or the owner is gone
  kLabel,  // the label's handling follows
  kOpen,   // focus came: open the native window, then the label's handling
  kPress,  // a press on an enabled editor: (re)open the native window
  kMouseEnter,
  kMouseLeave,
};

// The events the date, IP-address and hot-key editors handle alike, as the edit does.
EditorStep RouteEditorEvent(CControlUI& owner, bool hasWindow, EventRecordUI& event);

// Registers the common control classes of `icc` (ICC_* flags) before a window of them is made.
void LoadCommonClass(DWORD icc);

// The font an owner gives its native window: its own when the manager has it, else the default.
HFONT EditorFont(CPaintManagerUI* pm, int font);

// Makes an owner's native window into the owner's slot. A window the platform refused was never
// made; one destroyed at once has deleted itself and cleared the slot.
template <class Window, class Owner>
void OpenEditorWindow(Window*& slot, Owner* owner) {
  slot = new Window();
  slot->Init(owner);
  if (slot != nullptr && slot->GetHWND() == nullptr) {
    delete slot;
    slot = nullptr;
  }
}

// The events of an editor whose window is shown on focus and again on every press (the date and
// IP-address editors). False: the label's handling follows.
template <class Window, class Owner>
bool HandleShownEditorEvent(Owner* owner, Window*& slot, EventRecordUI& event) {
  const EditorStep step = RouteEditorEvent(*owner, slot != nullptr, event);
  if (step == EditorStep::kLabel) return false;
  if (step == EditorStep::kOpen || (step == EditorStep::kPress && (slot != nullptr || owner->IsFocused()))) {
    if (slot != nullptr)
      slot->Init(owner);
    else
      OpenEditorWindow(slot, owner);
    if (slot != nullptr) slot->ShowWindow(true, true);
  }
  return step != EditorStep::kOpen;
}

// The native window of an editor: it writes into its owner until the owner goes, and deletes
// itself when it is destroyed.
template <class Owner>
class CEditorWnd : public CWindowWnd {
 public:
  virtual ~CEditorWnd() = default;
  // Forgets the owner, which is being deleted.
  void Detach() { m_pOwner = nullptr; }

 protected:
  void OnFinalMessage(HWND) override {
    if (m_pOwner != nullptr) {
      m_pOwner->Invalidate();
      m_pOwner->m_pWindow = nullptr;
    }
    delete this;
  }
  CPaintManagerUI* Manager() const { return m_pOwner != nullptr ? m_pOwner->GetManager() : nullptr; }
  // Moves a window kept from an earlier editing over its owner's place now: the layout may have
  // moved the owner since.
  void PlaceOver(const RECT& rc) {
    ::SetWindowPos(m_hWnd, nullptr, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
  }
  // Sends a notification for the owner. It goes last in a handler: the receiver may delete the
  // owner, which leaves this window without one.
  void NotifyOwner(const wchar_t* type) {
    CPaintManagerUI* pm = Manager();
    if (pm != nullptr) pm->SendNotify(m_pOwner, type);
  }

  Owner* m_pOwner = nullptr;
  bool m_bInit = false;
};

}  // namespace SkinUI
