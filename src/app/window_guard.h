// The windows' operations that the framework calls must not let an exception escape into a
// window procedure: it would end the program with no word in the log (and under a debugger
// wait for a person). A failure is logged with the operation's text and ends the process.
#pragma once

// Logs text, flushes the log and ends the process with kExitNoWindow.
[[noreturn]] void WindowOperationFailed(const char* text);

template <class Body>
auto GuardWindowOperation(const char* failedText, Body&& body) -> decltype(body()) {
  try {
    return body();
  } catch (...) {
    WindowOperationFailed(failedText);
  }
}

// A silent run's window whose layout cannot be built: logged, and the process ends with
// kExitSkinNotLoaded instead of waiting on a message box.
[[noreturn]] void SilentSkinLoadFailed(const wchar_t* skinFile);
