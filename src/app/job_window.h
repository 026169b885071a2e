// What the install, uninstall and web-install windows share: finding their controls, pressing
// their own buttons, the window messages of the report hand-over, the icons' timer and the
// state dump, and their end.
#pragma once

#include <windows.h>

#include <functional>

#include "app/float_icons.h"
#include "app/report_handoff.h"
#include "ui/core/paint/control/control.h"
#include "ui/core/window/window_impl_base.h"

// The named control as the interface kind ("Option", "Edit", "Progress"); null when missing.
template <class T>
T* FindControlAs(SkinUI::CPaintManagerUI& pm, const wchar_t* name, const wchar_t* kind) {
  SkinUI::CControlUI* control = pm.FindControl(name);
  return control == nullptr ? nullptr : static_cast<T*>(control->GetInterface(kind));
}

// Hands the window a "click" from sender, as the silent modes press their buttons.
void ClickSelf(SkinUI::WindowImplBase& window, SkinUI::CControlUI* sender);

// The hand-over's wake-up, the icons' timer (icons may be null) and the state dump request;
// every other message is left unhandled.
LRESULT HandleJobWindowMessage(SkinUI::CPaintManagerUI& pm, const wchar_t* windowClass, ReportHandoff& reports,
                               FloatIcons* icons, UINT msg, WPARAM wParam, LPARAM lParam, bool& handled);

// A job window's end: unregistered from the engine (which waits for a report in flight), its
// waiting reports dropped, then the window base's clean-up (baseFinal); failedText is logged
// if that throws. Posts the quit message that ends the program's message loop.
void EndJobWindow(const char* failedText, ReportHandoff& reports, const std::function<void()>& baseFinal);
