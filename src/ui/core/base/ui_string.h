#pragma once
#include <windows.h>

namespace SkinUI {

// Wide string that keeps short texts (below 63 units) in an inline buffer.
class CUIString {
 public:
  enum { kInlineUnits = 64, kHeapThreshold = 63 };

  CUIString();
  explicit CUIString(wchar_t ch);
  CUIString(const wchar_t* text, int length = -1);
  CUIString(const CUIString& other);
  ~CUIString();

  void Assign(const wchar_t* text, int length = -1);
  void Empty();

  CUIString& operator=(const wchar_t* text);
  CUIString& operator=(const CUIString& other);

  void Append(const wchar_t* text);
  CUIString& operator+=(const CUIString& other);
  CUIString& operator+=(const wchar_t* text);
  CUIString& operator+=(wchar_t ch);
  CUIString operator+(const CUIString& other) const;

  int GetLength() const;
  bool IsEmpty() const { return m_pstr[0] == L'\0'; }
  const wchar_t* GetData() const { return m_pstr; }
  wchar_t GetAt(int index) const { return m_pstr[index]; }
  bool IsInline() const { return m_pstr == m_szBuffer; }

  int Compare(const wchar_t* text) const;
  int CompareNoCase(const wchar_t* text) const;
  bool operator==(const wchar_t* text) const { return Compare(text) == 0; }
  bool operator!=(const wchar_t* text) const { return Compare(text) != 0; }
  bool operator<(const CUIString& other) const { return Compare(other.m_pstr) < 0; }

  int Find(const wchar_t* text, int start = 0) const;
  int Find(wchar_t ch, int start = 0) const;
  int ReverseFind(wchar_t ch) const;

  CUIString Left(int n) const;
  CUIString Right(int n) const;
  CUIString Mid(int start, int n = -1) const;

  void MakeLower();
  int Replace(const wchar_t* from, const wchar_t* to);

  int Format(const wchar_t* format, ...);
  int SmallFormat(const wchar_t* format, ...);

 private:
  bool Overlaps(const wchar_t* text) const;
  void AppendUnits(const wchar_t* text, int count);

  wchar_t* m_pstr;
  wchar_t m_szBuffer[kInlineUnits];
};

}  // namespace SkinUI
