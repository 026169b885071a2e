// The live-registry comparison of registry values (mode 3).
#include <windows.h>

#include "common/sys/text_convert.h"
#include "engine/job/reg_value.h"
#include "engine/parser/check_diff.h"
#include "engine/parser/text_compare.h"

namespace {

// The language suffix of the system default locale, or empty.
std::string LanguageSuffix() {
  switch (GetSystemDefaultLCID()) {
    case 0x0804:
      return "_0804";
    case 0x0404:
      return "_0404";
    case 0x0409:
      return "_0409";
  }
  return "";
}

}  // namespace

int CCheckDiff::DiffRegUpdates(std::vector<RegUpdateRecord>& result, const std::vector<RegUpdateRecord>& a) {
  std::string suffix = LanguageSuffix();
  for (const RegUpdateRecord& r : a) {
    const std::string& localized = FindAttribute(r.attributes, "value" + suffix);
    const std::string& chosen = localized.empty() ? FindAttribute(r.attributes, "value") : localized;
    std::wstring wanted = Utf8ToWide(chosen.c_str());
    if (wanted.size() >= 13 && wanted.compare(1, 12, L"$InstallRoot") == 0) {
      wanted = L"\"" + installRoot() + wanted.substr(13);
    }
    std::wstring actual;
    bool read = ReadRegValue(Utf8ToWide(FindAttribute(r.attributes, "key").c_str()),
                             Utf8ToWide(FindAttribute(r.attributes, "name").c_str()), actual);
    if (!read || !EqualsNoCase(actual, wanted)) result.push_back(r);
  }
  return 0;
}
