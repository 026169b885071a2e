// Text conversion between wide (UTF-16) strings, UTF-8 and the system's ANSI code page.
// Each stops at the first zero character of its input (WideToAnsi: of its output) and
// returns what the system converter produced, possibly empty; none reports an error.
#pragma once

#include <string>

std::string WideToUtf8(const std::wstring& text);
std::string WideToUtf8(const wchar_t* text);  // null gives ""

std::wstring Utf8ToWide(const std::string& text);
std::wstring Utf8ToWide(const char* text);  // null gives ""

// Characters the ANSI code page cannot hold become its default character ("?"), never a look-alike.
std::string WideToAnsi(const std::wstring& text);

// Empty when the conversion fails.
std::string WideStrToUtf8(const wchar_t* text);
