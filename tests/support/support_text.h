// Text helpers of the tests: UTF-8 <-> UTF-16 and case-blind comparison.
#pragma once

#include <string>

namespace testsupport {

std::string Utf8(const std::wstring& wide);
std::wstring Wide(const std::string& utf8);
bool SameIgnoringCase(const std::wstring& a, const std::wstring& b);

}  // namespace testsupport
