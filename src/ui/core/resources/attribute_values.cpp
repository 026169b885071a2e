#include "ui/core/resources/attribute_values.h"

#include <cwchar>

namespace SkinUI {

void ReadNumberList(const wchar_t* value, long* out, int count) {
  const wchar_t* p = value != nullptr ? value : L"";
  for (int i = 0; i < count; ++i) {
    out[i] = 0;
    if (*p == L'\0') continue;
    wchar_t* end = nullptr;
    out[i] = wcstol(p, &end, 10);
    p = end;
    if (*p != L'\0') ++p;
  }
}

bool IsTrueValue(const wchar_t* value) { return value != nullptr && _wcsicmp(value, L"true") == 0; }

unsigned long ReadColorValue(const wchar_t* value) {
  if (value == nullptr) return 0;
  if (*value == L'#') ++value;
  return wcstoul(value, nullptr, 16);
}

}  // namespace SkinUI
