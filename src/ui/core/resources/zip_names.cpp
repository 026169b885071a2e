#include <windows.h>

#include "ui/core/resources/zip_reader_internal.h"

namespace SkinUI {

namespace {

std::wstring Utf8ToWide(const std::string& text) {
  if (text.empty()) return std::wstring();
  int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring out(n > 0 ? n : 0, L'\0');
  if (n > 0) MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], n);
  return out;
}

void StripLeading(std::wstring& name) {
  for (;;) {
    if (name.size() >= 2 && name[1] == L':') {
      name.erase(0, 2);
    } else if (!name.empty() && (name[0] == L'\\' || name[0] == L'/')) {
      name.erase(0, 1);
    } else if (name.size() >= 3 && name[0] == L'.' && name[1] == L'.' && (name[2] == L'\\' || name[2] == L'/')) {
      // A leading parent step would reach above the archive's root as well.
      name.erase(0, 3);
    } else {
      return;
    }
  }
}

}  // namespace

std::wstring ZipSafeItemName(const std::string& utf8Name) {
  std::wstring name = Utf8ToWide(utf8Name);
  StripLeading(name);
  size_t restart = std::wstring::npos;
  for (const wchar_t* seq : {L"\\..\\", L"\\../", L"/../", L"/..\\"}) {
    size_t at = name.rfind(seq);
    if (at != std::wstring::npos && (restart == std::wstring::npos || at + 4 > restart)) restart = at + 4;
  }
  if (restart != std::wstring::npos) {
    name.erase(0, restart);
    StripLeading(name);
  }
  return name;
}

}  // namespace SkinUI
