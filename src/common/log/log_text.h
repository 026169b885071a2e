// Text helpers of the logger: UTF-8 <-> wide conversion and key trimming.
#pragma once

#include <string>

namespace vemtal {
namespace vlog {

std::wstring utf8ToWide(const std::string& text);
std::string wideToUtf8(const wchar_t* text, size_t length);
std::string wideToUtf8(const std::wstring& text);

// Drops blanks, tabs, "\r" and "\n" from both ends and a UTF-8 byte-order mark at the start.
std::string trimKey(const std::string& text);
std::string toLowerAscii(std::string text);

}  // namespace vlog
}  // namespace vemtal
