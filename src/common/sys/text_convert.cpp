#include "common/sys/text_convert.h"

#include <windows.h>

#include <new>
#include <vector>

std::string WideToUtf8(const wchar_t* text) {
  if (!text) return std::string();
  int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (size <= 0) return std::string();
  std::vector<char> buffer(static_cast<size_t>(size) + 1, '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, buffer.data(), size, nullptr, nullptr);
  return std::string(buffer.data());
}

std::string WideToUtf8(const std::wstring& text) { return WideToUtf8(text.c_str()); }

std::wstring Utf8ToWide(const char* text) {
  if (!text) return std::wstring();
  int size = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
  if (size <= 0) return std::wstring();
  std::vector<wchar_t> buffer(static_cast<size_t>(size) + 1, L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text, -1, buffer.data(), size);
  return std::wstring(buffer.data());
}

std::wstring Utf8ToWide(const std::string& text) { return Utf8ToWide(text.c_str()); }

std::string WideToAnsi(const std::wstring& text) {
  if (text.empty()) return std::string();
  const int length = static_cast<int>(text.size());
  int size = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), length, nullptr, 0, nullptr, nullptr);
  if (size <= 0) return std::string();
  std::vector<char> buffer(static_cast<size_t>(size) + 1, '\0');
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), length, buffer.data(), size, nullptr, nullptr);
  return std::string(buffer.data());
}

std::string WideStrToUtf8(const wchar_t* text) {
  if (!text) return std::string();
  int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (size <= 0) return std::string();
  try {
    std::string result(static_cast<size_t>(size), '\0');
    if (WideCharToMultiByte(CP_UTF8, 0, text, -1, &result[0], size, nullptr, nullptr) != size) {
      return std::string();
    }
    result.resize(static_cast<size_t>(size) - 1);  // the converted terminator
    return result;
  } catch (const std::bad_alloc&) {
    return std::string();
  }
}
