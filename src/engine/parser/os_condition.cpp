#include "engine/parser/os_condition.h"

#include "engine/parser/text_compare.h"

namespace {

bool IsAnyMinor(const std::string& minor) { return EqualsNoCase(minor, "x"); }

bool IsKnownMinor(const std::string& minor, bool allowPlus) {
  static const char* const kPlain[] = {"0", "1", "2", "3"};
  static const char* const kPlus[] = {"0+", "1+", "2+", "3+"};
  for (const char* m : kPlain) {
    if (minor == m) return true;
  }
  if (allowPlus) {
    for (const char* m : kPlus) {
      if (minor == m) return true;
    }
  }
  return false;
}

bool LowerEndHolds(int Mr, const std::string& mr, int Ml, const std::string& ml) {
  if (Mr != Ml) return Mr > Ml;
  return IsAnyMinor(ml) || DecimalValue(mr) >= DecimalValue(ml);
}

bool UpperEndHolds(int Mr, const std::string& mr, int Mh, const std::string& mh) {
  if (Mr != Mh) return Mr < Mh;
  return IsAnyMinor(mh) || DecimalValue(mr) <= DecimalValue(mh);
}

bool MatchSingle(const std::string& condition, const std::string& running) {
  int Mc = 0, Mr = 0;
  std::string mc, mr;
  if (!IsValidOsToken(condition, Mc, mc, true) || !IsValidOsToken(running, Mr, mr, true)) return false;
  if (mc.find('+') != std::string::npos) {
    return Mr > Mc || (Mr == Mc && DecimalValue(mr) >= DecimalValue(mc.substr(0, 1)));
  }
  return Mr == Mc && (IsAnyMinor(mc) || EqualsNoCase(mc, mr));
}

bool MatchRange(const std::string& low, const std::string& high, const std::string& running) {
  int Ml = 0, Mh = 0, Mr = 0;
  std::string ml, mh, mr;
  if (!IsValidOsToken(low, Ml, ml, false) || !IsValidOsToken(high, Mh, mh, false) ||
      !IsValidOsToken(running, Mr, mr, false)) {
    return false;
  }
  return LowerEndHolds(Mr, mr, Ml, ml) && UpperEndHolds(Mr, mr, Mh, mh);
}

}  // namespace

bool IsValidOsToken(const std::string& token, int& major, std::string& minor, bool allowPlus) {
  size_t dot = token.find('.');
  if (dot == std::string::npos) return false;
  major = DecimalValue(token.substr(0, dot));
  if (major != 5 && major != 6 && major != 10) return false;
  minor = token.substr(dot + 1);
  return IsAnyMinor(minor) || IsKnownMinor(minor, allowPlus);
}

bool IsValidOsCondition(const std::string& condition, std::string& low, std::string& high) {
  int major = 0;
  std::string minor;
  size_t dash = condition.find('-');
  if (dash != std::string::npos) {
    low = condition.substr(0, dash);
    high = condition.substr(dash + 1);
    return IsValidOsToken(low, major, minor, false) && IsValidOsToken(high, major, minor, false);
  }
  low = condition;
  return IsValidOsToken(low, major, minor, true);
}

bool MatchOsCondition(const std::string& condition, const std::string& runningVersion) {
  if (condition.empty()) return true;
  std::string low, high;
  if (!IsValidOsCondition(condition, low, high)) return false;
  if (condition.find('-') == std::string::npos) return MatchSingle(condition, runningVersion);
  return MatchRange(low, high, runningVersion);
}
