#include "ui/core/base/ui_string.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <new>
#include <vector>

namespace SkinUI {

namespace {

// Formats into a buffer that grows until the whole output fits.
int FormatToVector(std::vector<wchar_t>& out, const wchar_t* format, va_list args) {
  size_t size = 256;
  for (;;) {
    out.assign(size, L'\0');
    va_list copy;
    va_copy(copy, args);
    int written = vswprintf(out.data(), size, format, copy);
    va_end(copy);
    if (written >= 0 && static_cast<size_t>(written) < size) return written;
    if (size >= (64u << 20)) return -1;
    size = (written > 0 && static_cast<size_t>(written) >= size) ? static_cast<size_t>(written) + 1 : size * 2;
  }
}

}  // namespace

CUIString::CUIString() : m_pstr(m_szBuffer) { m_szBuffer[0] = L'\0'; }

CUIString::CUIString(wchar_t ch) : m_pstr(m_szBuffer) {
  m_szBuffer[0] = ch;
  m_szBuffer[1] = L'\0';
}

CUIString::CUIString(const wchar_t* text, int length) : m_pstr(m_szBuffer) {
  m_szBuffer[0] = L'\0';
  Assign(text, length);
}

CUIString::CUIString(const CUIString& other) : m_pstr(m_szBuffer) {
  m_szBuffer[0] = L'\0';
  Assign(other.m_pstr);
}

CUIString::~CUIString() {
  if (m_pstr != m_szBuffer) free(m_pstr);
}

bool CUIString::Overlaps(const wchar_t* text) const {
  return text != nullptr && text >= m_pstr && text <= m_pstr + GetLength();
}

int CUIString::GetLength() const { return static_cast<int>(wcslen(m_pstr)); }

void CUIString::Assign(const wchar_t* text, int length) {
  if (text == nullptr) text = L"";
  if (length < 0) length = static_cast<int>(wcslen(text));
  if (Overlaps(text)) {
    // The source lives in our own storage, which the reallocation may free.
    std::vector<wchar_t> copy(text, text + wcsnlen(text, static_cast<size_t>(length)));
    copy.push_back(L'\0');
    Assign(copy.data(), length);
    return;
  }
  if (length >= kHeapThreshold) {
    if (m_pstr == m_szBuffer) {
      wchar_t* block = static_cast<wchar_t*>(malloc((length + 1) * sizeof(wchar_t)));
      if (block == nullptr) throw std::bad_alloc();
      m_pstr = block;
    } else if (length > GetLength()) {
      wchar_t* block = static_cast<wchar_t*>(realloc(m_pstr, (length + 1) * sizeof(wchar_t)));
      if (block == nullptr) throw std::bad_alloc();
      m_pstr = block;
    }
  } else if (m_pstr != m_szBuffer) {
    free(m_pstr);
    m_pstr = m_szBuffer;
  }
  wcsncpy(m_pstr, text, static_cast<size_t>(length));
  m_pstr[length] = L'\0';
}

void CUIString::Empty() {
  if (m_pstr != m_szBuffer) free(m_pstr);
  m_pstr = m_szBuffer;
  m_szBuffer[0] = L'\0';
}

CUIString& CUIString::operator=(const wchar_t* text) {
  if (text == nullptr)
    Empty();
  else
    Assign(text);
  return *this;
}

CUIString& CUIString::operator=(const CUIString& other) {
  if (this != &other) Assign(other.m_pstr);
  return *this;
}

void CUIString::AppendUnits(const wchar_t* text, int count) {
  if (count <= 0) return;
  if (Overlaps(text)) {
    std::vector<wchar_t> copy(text, text + count);
    AppendUnits(copy.data(), count);
    return;
  }
  int current = GetLength();
  int total = current + count;
  if (total >= kHeapThreshold) {
    if (m_pstr == m_szBuffer) {
      wchar_t* block = static_cast<wchar_t*>(malloc((total + 1) * sizeof(wchar_t)));
      if (block == nullptr) throw std::bad_alloc();
      wmemcpy(block, m_szBuffer, current + 1);
      m_pstr = block;
    } else {
      wchar_t* block = static_cast<wchar_t*>(realloc(m_pstr, (total + 1) * sizeof(wchar_t)));
      if (block == nullptr) throw std::bad_alloc();
      m_pstr = block;
    }
  }
  wmemcpy(m_pstr + current, text, count);
  m_pstr[total] = L'\0';
}

void CUIString::Append(const wchar_t* text) {
  if (text == nullptr) return;
  AppendUnits(text, static_cast<int>(wcslen(text)));
}

CUIString& CUIString::operator+=(const CUIString& other) {
  AppendUnits(other.m_pstr, other.GetLength());
  return *this;
}

CUIString& CUIString::operator+=(const wchar_t* text) {
  Append(text);
  return *this;
}

CUIString& CUIString::operator+=(wchar_t ch) {
  wchar_t unit[2] = {ch, L'\0'};
  Append(unit);
  return *this;
}

CUIString CUIString::operator+(const CUIString& other) const {
  CUIString result(*this);
  result += other;
  return result;
}

int CUIString::Compare(const wchar_t* text) const {
  int r = wcscmp(m_pstr, text ? text : L"");
  return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

int CUIString::CompareNoCase(const wchar_t* text) const {
  int r = _wcsicmp(m_pstr, text ? text : L"");
  return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

int CUIString::Find(const wchar_t* text, int start) const {
  if (text == nullptr) return -1;
  int length = GetLength();
  if (start != 0 && (start < 0 || start > length)) return -1;
  const wchar_t* found = wcsstr(m_pstr + start, text);
  return found ? static_cast<int>(found - m_pstr) : -1;
}

int CUIString::Find(wchar_t ch, int start) const {
  int length = GetLength();
  if (start != 0 && (start < 0 || start >= length)) return -1;
  for (int i = start; i < length; ++i) {
    if (m_pstr[i] == ch) return i;
  }
  return -1;
}

int CUIString::ReverseFind(wchar_t ch) const {
  for (int i = GetLength() - 1; i >= 0; --i) {
    if (m_pstr[i] == ch) return i;
  }
  return -1;
}

CUIString CUIString::Left(int n) const {
  int length = GetLength();
  if (n < 0) n = 0;
  if (n > length) n = length;
  return CUIString(m_pstr, n);
}

CUIString CUIString::Right(int n) const {
  int length = GetLength();
  if (n < 0) n = 0;
  if (n > length) n = length;
  return CUIString(m_pstr + length - n, n);
}

CUIString CUIString::Mid(int start, int n) const {
  int length = GetLength();
  if (start < 0) start = 0;
  if (start > length) start = length;
  if (n < 0 || start + n > length) n = length - start;
  if (n <= 0) return CUIString();
  return CUIString(m_pstr + start, n);
}

void CUIString::MakeLower() {
  int length = GetLength();
  if (length > 0) CharLowerBuffW(m_pstr, static_cast<DWORD>(length));
}

int CUIString::Replace(const wchar_t* from, const wchar_t* to) {
  if (from == nullptr || from[0] == L'\0') return 0;
  CUIString target(from);
  CUIString replacement(to ? to : L"");
  int fromLength = target.GetLength();
  int toLength = replacement.GetLength();
  int count = 0;
  int pos = Find(target.GetData(), 0);
  while (pos >= 0) {
    CUIString rest = Mid(pos + fromLength);
    CUIString head = Left(pos);
    head += replacement;
    head += rest;
    Assign(head.GetData());
    ++count;
    pos = Find(target.GetData(), pos + toLength);
  }
  return count;
}

int CUIString::Format(const wchar_t* format, ...) {
  if (format == nullptr) {
    Empty();
    return 0;
  }
  std::vector<wchar_t> buffer;
  va_list args;
  va_start(args, format);
  int written = FormatToVector(buffer, format, args);
  va_end(args);
  if (written < 0) {
    Empty();
    return 0;
  }
  Assign(buffer.data(), written);
  return written;
}

int CUIString::SmallFormat(const wchar_t* format, ...) {
  if (format == nullptr) {
    Empty();
    return 0;
  }
  wchar_t buffer[128] = {0};
  va_list args;
  va_start(args, format);
  int written = vswprintf(buffer, 128, format, args);
  va_end(args);
  // Output that does not fit is cut at the buffer's end.
  if (written < 0 || written > 127) written = static_cast<int>(wcsnlen(buffer, 127));
  buffer[written] = L'\0';
  Assign(buffer, written);
  return written;
}

}  // namespace SkinUI
