#pragma once

namespace SkinUI {

// Receives each line of the framework's log: a piece of skin input that it refused, named.
using UILogSink = void (*)(const wchar_t* line);

// The program hands the lines on to its own log; without a sink they go to the debugger's output.
void SetUILogSink(UILogSink sink);
// A printf-style line (wide arguments with %ls), the operation's name first.
void UILog(const wchar_t* format, ...);

}  // namespace SkinUI
