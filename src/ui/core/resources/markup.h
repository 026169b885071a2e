#pragma once
#include <windows.h>

namespace SkinUI {

class CMarkup;

// A light handle on one element of a parsed document.
class CMarkupNode {
  friend class CMarkup;

 public:
  enum { MAX_XML_ATTRIBUTES = 64 };

  CMarkupNode();

  bool IsValid() const { return m_pOwner != nullptr; }
  CMarkupNode GetParent();
  CMarkupNode GetSibling();
  CMarkupNode GetChild();
  bool HasChildren() const;
  const wchar_t* GetName() const;

  bool HasAttributes();
  int GetAttributeCount();
  const wchar_t* GetAttributeName(int index);
  const wchar_t* GetAttributeValue(int index);
  // Copies the value of the first attribute of that name (ignoring case); false when it is
  // missing or does not fit the buffer with its terminator.
  bool GetAttributeValue(const wchar_t* name, wchar_t* buffer, SIZE_T bufferUnits);

 private:
  CMarkupNode(CMarkup* owner, int pos);
  void MapAttributes();

  struct XMLATTRIBUTE {
    ULONG iName;
    ULONG iValue;
  };

  int m_iPos;
  int m_nAttributes;
  XMLATTRIBUTE m_aAttributes[MAX_XML_ATTRIBUTES];
  CMarkup* m_pOwner;
};

enum {
  XMLFILE_ENCODING_UTF8 = 0,
  XMLFILE_ENCODING_UNICODE = 1,
  XMLFILE_ENCODING_ASNI = 2,
};

// The framework's small XML reader: the whole document is converted to UTF-16 once and parsed in place.
class CMarkup {
  friend class CMarkupNode;

 public:
  explicit CMarkup(const wchar_t* xml = nullptr);
  CMarkup(const CMarkup&) = delete;
  CMarkup& operator=(const CMarkup&) = delete;
  ~CMarkup();

  bool Load(const wchar_t* xml);
  bool LoadFromMem(const BYTE* data, DWORD size, int encoding = XMLFILE_ENCODING_UTF8);
  bool LoadFromFile(const wchar_t* name, int encoding = XMLFILE_ENCODING_UTF8);
  void Release();
  bool IsValid() const { return m_pElements != nullptr; }

  void SetPreserveWhitespace(bool preserve) { m_bPreserveWhitespace = preserve; }
  const wchar_t* GetLastErrorMessage() const { return m_szErrorMsg; }
  const wchar_t* GetLastErrorLocation() const { return m_szErrorXML; }

  CMarkupNode GetRoot();

 private:
  struct XMLELEMENT {
    ULONG iStart;
    ULONG iChild;
    ULONG iNext;
    ULONG iParent;
    ULONG iData;
  };

  bool TakeText(wchar_t* text);
  bool ParseDoc();
  bool ParseElements(wchar_t*& pos, ULONG parent);
  bool ParseAttributes(wchar_t*& pos);
  void ParseText(wchar_t*& pos, wchar_t*& dest, wchar_t end);
  void ParseEntity(wchar_t*& pos, wchar_t*& dest);
  bool ReserveElement(ULONG* index);
  bool Fail(const wchar_t* message, const wchar_t* location);

  wchar_t* m_pstrXML;
  XMLELEMENT* m_pElements;
  ULONG m_nElements;
  ULONG m_nReservedElements;
  wchar_t m_szErrorMsg[100];
  wchar_t m_szErrorXML[50];
  bool m_bPreserveWhitespace;
};

}  // namespace SkinUI
