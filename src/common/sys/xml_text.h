// The text layer under the XML reader (tinyxml's TiXmlBase::ReadText, GetChar and GetEntity are
// defined in xml_text_reader.cpp): character references, and macros opened by "&!" that put
// registry values and environment variables into a document's text at load time.
// Every function reads only up to end: the end of the attribute value or text run being read.
#pragma once

#include <string>

// p is at "&#". Decimal "&#digits;" or hexadecimal "&#xhexdigits;": appends the value (modulo
// 2^32) as UTF-8 (nothing for 0x200000 and above) and returns the position after the ";".
// nullptr when malformed: no digit, a character that is not a digit of the form, or no ";".
const char* ReadCharReference(const char* p, const char* end, std::string* out);

// p is just after "&!". Appends the expansion and returns where reading goes on:
//   "reg:subkey,name;"  the REG_SZ / REG_EXPAND_SZ (unexpanded) value under HKEY_LOCAL_MACHINE
//   "env:name;"         the environment variable
//   "sh:name;"          nothing (no shell names are defined)
// A missing separator leaves the rest as plain text: reading goes on after the prefix (or, for
// "reg:" with a comma but no ";", after the comma). Any other text: reading goes on at p.
const char* ExpandMacroText(const char* p, const char* end, std::string* out);

// The environment variable named by UTF-8 name, as UTF-8; empty when unset or empty.
std::string GetEnvironmentText(const std::string& name);
