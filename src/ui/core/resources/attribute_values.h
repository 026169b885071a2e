#pragma once

namespace SkinUI {

// Reads a list such as "1,2,3,4" into `count` numbers: each number is converted up to its first
// non-digit, then exactly one separator unit is skipped. Missing numbers read as 0; the text is
// never read past its end.
void ReadNumberList(const wchar_t* value, long* out, int count);

// A boolean attribute: true exactly for "true" in any letter case.
bool IsTrueValue(const wchar_t* value);

// A hexadecimal ARGB colour with an optional leading "#".
unsigned long ReadColorValue(const wchar_t* value);

}  // namespace SkinUI
