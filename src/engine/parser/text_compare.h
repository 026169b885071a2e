// Small text rules shared by the component readers: ASCII case-insensitive equality and
// the atoi-style reading of decimal numbers.
#pragma once

#include <cstdint>
#include <string>

// Equal when the texts differ at most in the case of ASCII letters.
bool EqualsNoCase(const std::string& a, const std::string& b);
bool EqualsNoCase(const std::wstring& a, const std::wstring& b);

// Leading white space and one sign skipped, digits up to the first other character,
// no digits give 0; values beyond the type's range saturate.
int32_t DecimalValue(const std::string& text);
int64_t DecimalValue64(const std::string& text);
