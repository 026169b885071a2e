#pragma once

namespace SkinUI {

// Reads a list such as "1,2,3,4" into `count` numbers: each number is converted up to its first
// non-digit, then exactly one separator unit is skipped. Missing numbers read as 0; the text is
// never read past its end.
void ReadNumberList(const wchar_t* value, long* out, int count);

}  // namespace SkinUI
