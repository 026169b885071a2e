#include "ui/core/resources/markup.h"

#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <cwctype>

namespace SkinUI {

namespace {

bool IsBlank(wchar_t c) { return c > 0 && c <= L' '; }

template <class P>
void SkipWhitespace(P& pos) {
  while (IsBlank(*pos)) ++pos;
}

void SkipIdentifier(wchar_t*& pos) {
  while (*pos != L'\0' && (*pos == L'_' || *pos == L':' || iswalnum(*pos))) ++pos;
}

}  // namespace

CMarkup::CMarkup(const wchar_t* xml)
    : m_pstrXML(nullptr), m_pElements(nullptr), m_nElements(0), m_nReservedElements(0), m_bPreserveWhitespace(true) {
  m_szErrorMsg[0] = L'\0';
  m_szErrorXML[0] = L'\0';
  if (xml != nullptr) Load(xml);
}

CMarkup::~CMarkup() { Release(); }

void CMarkup::Release() {
  free(m_pstrXML);
  free(m_pElements);
  m_pstrXML = nullptr;
  m_pElements = nullptr;
  m_nElements = 0;
  m_nReservedElements = 0;
}

bool CMarkup::Load(const wchar_t* xml) {
  Release();
  if (xml == nullptr) return Fail(L"Expected start tag", L"");
  size_t units = wcslen(xml) + 1;
  wchar_t* text = static_cast<wchar_t*>(malloc(units * sizeof(wchar_t)));
  if (text == nullptr) return Fail(L"File too large", L"");
  wmemcpy(text, xml, units);
  return TakeText(text);
}

// Takes ownership of a converted, terminated document and parses it.
bool CMarkup::TakeText(wchar_t* text) {
  m_pstrXML = text;
  bool ok = ParseDoc();
  if (!ok) Release();
  return ok;
}

CMarkupNode CMarkup::GetRoot() {
  if (m_nElements <= 1) return CMarkupNode();
  return CMarkupNode(this, 1);
}

bool CMarkup::Fail(const wchar_t* message, const wchar_t* location) {
  wcsncpy(m_szErrorMsg, message, 99);
  m_szErrorMsg[99] = L'\0';
  wcsncpy(m_szErrorXML, location ? location : L"", 49);
  m_szErrorXML[49] = L'\0';
  return false;
}

bool CMarkup::ReserveElement(ULONG* index) {
  if (m_nElements == 0) m_nReservedElements = 0;
  if (m_nElements >= m_nReservedElements) {
    ULONG capacity = m_nReservedElements + m_nReservedElements / 2 + 500;
    XMLELEMENT* table = static_cast<XMLELEMENT*>(realloc(m_pElements, capacity * sizeof(XMLELEMENT)));
    if (table == nullptr) return false;
    m_pElements = table;
    m_nReservedElements = capacity;
  }
  *index = m_nElements++;
  return true;
}

bool CMarkup::ParseDoc() {
  m_nElements = 0;
  m_szErrorMsg[0] = L'\0';
  m_szErrorXML[0] = L'\0';
  ULONG placeholder = 0;
  if (!ReserveElement(&placeholder)) return Fail(L"File too large", L"");
  memset(&m_pElements[placeholder], 0, sizeof(XMLELEMENT));
  wchar_t* pos = m_pstrXML;
  return ParseElements(pos, 0);
}

bool CMarkup::ParseElements(wchar_t*& pos, ULONG parent) {
  ULONG previous = 0;
  for (;;) {
    if (*pos == L'\0' && parent <= 1) return true;
    SkipWhitespace(pos);
    if (*pos != L'<') return Fail(L"Expected start tag", pos);
    if (pos[1] == L'/') return true;
    *pos++ = L'\0';
    SkipWhitespace(pos);
    if (*pos == L'!' || *pos == L'?') {
      const wchar_t* ending = wcsstr(pos, *pos == L'!' ? L"->" : L"?>");
      pos = ending ? const_cast<wchar_t*>(ending) + 2 : pos + wcslen(pos);
      SkipWhitespace(pos);
      continue;
    }
    ULONG index = 0;
    if (!ReserveElement(&index)) return Fail(L"File too large", pos);
    XMLELEMENT& created = m_pElements[index];
    created.iStart = static_cast<ULONG>(pos - m_pstrXML);
    created.iParent = parent;
    created.iChild = 0;
    created.iNext = 0;
    created.iData = 0;
    if (previous != 0)
      m_pElements[previous].iNext = index;
    else if (parent != 0)
      m_pElements[parent].iChild = index;
    previous = index;

    wchar_t* name = pos;
    SkipIdentifier(pos);
    wchar_t* nameEnd = pos;
    if (*pos == L'\0') return Fail(L"Error parsing element name", pos);
    if (!ParseAttributes(pos)) return false;
    SkipWhitespace(pos);
    if (pos[0] == L'/' && pos[1] == L'>') {
      m_pElements[index].iData = static_cast<ULONG>(pos - m_pstrXML);
      *pos = L'\0';
      *nameEnd = L'\0';
      pos += 2;
      SkipWhitespace(pos);
      continue;
    }
    if (*pos != L'>') return Fail(L"Expected start-tag closing", pos);
    m_pElements[index].iData = static_cast<ULONG>(++pos - m_pstrXML);
    wchar_t* dest = pos;
    ParseText(pos, dest, L'<');
    if (*pos == L'\0' && parent <= 1) return true;
    if (*pos != L'<') return Fail(L"Expected end-tag start", pos);
    if (pos[1] != L'/') {
      if (!ParseElements(pos, index)) return false;
      // Only the root may stay open at the end of the text.
      if (*pos == L'\0') return true;
    }
    *dest = L'\0';
    *pos = L'\0';
    pos += 2;
    SkipWhitespace(pos);
    size_t nameLength = static_cast<size_t>(nameEnd - name);
    if (wcsncmp(pos, name, nameLength) != 0) return Fail(L"Unmatched closing tag", pos);
    pos += nameLength;
    SkipWhitespace(pos);
    if (*pos != L'>') return Fail(L"Unmatched closing tag", pos);
    ++pos;
    *nameEnd = L'\0';
    SkipWhitespace(pos);
  }
}

bool CMarkup::ParseAttributes(wchar_t*& pos) {
  if (*pos == L'>' || (pos[0] == L'/' && pos[1] == L'>')) return true;
  *pos = L'\0';
  for (;;) {
    ++pos;
    SkipWhitespace(pos);
    if (*pos == L'\0' || *pos == L'>' || *pos == L'/') return true;
    SkipIdentifier(pos);
    wchar_t* nameEnd = pos;
    SkipWhitespace(pos);
    if (*pos != L'=') return Fail(L"Error while parsing attributes", pos);
    *pos = L' ';
    *nameEnd = L'\0';
    ++pos;
    SkipWhitespace(pos);
    if (*pos != L'"') return Fail(L"Expected attribute value", pos);
    ++pos;
    wchar_t* dest = pos;
    ParseText(pos, dest, L'"');
    if (*pos == L'\0') return Fail(L"Error while parsing attribute string", pos);
    *dest = L'\0';
    if (pos != dest) *pos = L' ';
  }
}

void CMarkup::ParseText(wchar_t*& pos, wchar_t*& dest, wchar_t end) {
  while (*pos != L'\0' && *pos != end) {
    if (*pos == L'&') {
      ParseEntity(pos, dest);
    } else if (*pos == L' ') {
      *dest++ = *pos++;
      if (!m_bPreserveWhitespace) SkipWhitespace(pos);
    } else {
      *dest++ = *pos++;
    }
  }
  for (wchar_t* fill = dest; fill < pos; ++fill) *fill = L' ';
}

void CMarkup::ParseEntity(wchar_t*& pos, wchar_t*& dest) {
  static const struct {
    const wchar_t* name;
    wchar_t ch;
  } kEntities[] = {{L"&amp;", L'&'}, {L"&apos;", L'\''}, {L"&lt;", L'<'}, {L"&gt;", L'>'}, {L"&quot;", L'"'}};
  for (const auto& entity : kEntities) {
    size_t length = wcslen(entity.name);
    if (wcsncmp(pos, entity.name, length) == 0) {
      *dest++ = entity.ch;
      pos += length;
      return;
    }
  }
  *dest++ = *pos++;
}

}  // namespace SkinUI
