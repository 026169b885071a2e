// tinyxml's reading of attribute values and element text (the installed library declares these
// and leaves their definition to us): entities, character references and "&!" macros, each read
// only within the current value or text run.
#include <tinyxml.h>

#include <algorithm>
#include <cstring>

#include "common/log/vlog.h"
#include "common/sys/xml_text.h"

namespace {

struct XmlEntity {
  const char* text;
  size_t length;
  char character;
};

const XmlEntity kEntities[] = {
    {"&amp;", 5, '&'}, {"&lt;", 4, '<'}, {"&gt;", 4, '>'}, {"&quot;", 6, '"'}, {"&apos;", 6, '\''},
};

}  // namespace

const char* TiXmlBase::ReadText(const char* p, TIXML_STRING* text, bool trimWhiteSpace, const char* endTag,
                                bool caseInsensitive, TiXmlEncoding encoding) {
  *text = "";
  if (!p) return 0;
  // The run ends at the first end tag, or at the end of the document.
  const char* end = p;
  while (*end && !StringEqual(end, endTag, caseInsensitive, encoding)) ++end;

  if (!trimWhiteSpace || !condenseWhiteSpace) {
    while (p && p < end) p = GetChar(p, end, text, encoding);
  } else {
    bool whitespace = false;
    p = std::min(SkipWhiteSpace(p, encoding), end);
    while (p && p < end) {
      if (IsWhiteSpace(*p)) {
        whitespace = true;
        ++p;
        continue;
      }
      if (whitespace) {  // any run of white space inside the text becomes one blank
        *text += ' ';
        whitespace = false;
      }
      p = GetChar(p, end, text, encoding);
    }
  }
  if (!p || !*p) return 0;
  p += std::strlen(endTag);
  return *p ? p : 0;
}

const char* TiXmlBase::GetChar(const char* p, const char* end, TIXML_STRING* text, TiXmlEncoding encoding) {
  if (*p == '&') return GetEntity(p, end, text, encoding);
  const int length = encoding == TIXML_ENCODING_UTF8 ? utf8ByteTable[static_cast<unsigned char>(*p)] : 1;
  if (length <= 0) {
    VLOG_WARN("TiXmlBase::GetChar, bad UTF-8 lead byte 0x%02x", static_cast<unsigned char>(*p));
    return 0;
  }
  if (length > end - p) {  // a sequence cut short must not carry reading past the run
    VLOG_WARN("TiXmlBase::GetChar, UTF-8 sequence cut short");
    return 0;
  }
  text->append(p, static_cast<size_t>(length));
  return p + length;
}

const char* TiXmlBase::GetEntity(const char* p, const char* end, TIXML_STRING* text, TiXmlEncoding /*encoding*/) {
  if (end - p > 1 && p[1] == '#' && p[2] != '\0') return ReadCharReference(p, end, text);
  for (const XmlEntity& entity : kEntities) {
    if (static_cast<size_t>(end - p) >= entity.length && std::memcmp(p, entity.text, entity.length) == 0) {
      text->push_back(entity.character);
      return p + entity.length;
    }
  }
  if (end - p > 1 && p[1] == '!') return ExpandMacroText(p + 2, end, text);
  text->push_back('&');  // an unknown form stays in the text as it is
  return p + 1;
}
