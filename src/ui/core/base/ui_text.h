#pragma once
#include <memory>

namespace SkinUI {

// Wide text in the system's ANSI code page; null for a null text.
std::unique_ptr<char[]> WideToAnsi(const wchar_t* text);

}  // namespace SkinUI
