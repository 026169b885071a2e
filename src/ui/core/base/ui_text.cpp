#include "ui/core/base/ui_text.h"

#include <windows.h>

namespace SkinUI {

std::unique_ptr<char[]> WideToAnsi(const wchar_t* text) {
  if (text == nullptr) return nullptr;
  int needed = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (needed < 1) needed = 1;
  std::unique_ptr<char[]> out(new char[needed + 1]());
  WideCharToMultiByte(CP_ACP, 0, text, -1, out.get(), needed, nullptr, nullptr);
  return out;
}

}  // namespace SkinUI
