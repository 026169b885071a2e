// Windows version conditions of file records: a token "major.minor" (major 5, 6 or 10;
// minor 0-3, or x for any; "0+" to "3+" for that version or later where allowed), or a
// range "low-high" of two tokens without "+".
#pragma once

#include <string>

// The outputs are set as far as the check got: major once it is known, minor once
// the token is fully checked.
bool IsValidOsToken(const std::string& token, int& major, std::string& minor, bool allowPlus);

// A range gives both ends; a single token is given in low and leaves high unchanged.
bool IsValidOsCondition(const std::string& condition, std::string& low, std::string& high);

// Whether the running version ("6.1") satisfies the condition; the empty condition
// matches everything, a malformed one nothing.
bool MatchOsCondition(const std::string& condition, const std::string& runningVersion);
