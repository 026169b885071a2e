#include <cwchar>

#include "ui/core/resources/markup.h"

namespace SkinUI {

namespace {

void SkipBlanks(const wchar_t*& p) {
  while (*p > 0 && *p <= L' ') ++p;
}

}  // namespace

CMarkupNode::CMarkupNode() : m_iPos(0), m_nAttributes(0), m_pOwner(nullptr) {}

CMarkupNode::CMarkupNode(CMarkup* owner, int pos) : m_iPos(pos), m_nAttributes(0), m_pOwner(owner) {}

CMarkupNode CMarkupNode::GetParent() {
  if (m_pOwner == nullptr) return CMarkupNode();
  ULONG index = m_pOwner->m_pElements[m_iPos].iParent;
  return index == 0 ? CMarkupNode() : CMarkupNode(m_pOwner, static_cast<int>(index));
}

CMarkupNode CMarkupNode::GetSibling() {
  if (m_pOwner == nullptr) return CMarkupNode();
  ULONG index = m_pOwner->m_pElements[m_iPos].iNext;
  return index == 0 ? CMarkupNode() : CMarkupNode(m_pOwner, static_cast<int>(index));
}

CMarkupNode CMarkupNode::GetChild() {
  if (m_pOwner == nullptr) return CMarkupNode();
  ULONG index = m_pOwner->m_pElements[m_iPos].iChild;
  return index == 0 ? CMarkupNode() : CMarkupNode(m_pOwner, static_cast<int>(index));
}

bool CMarkupNode::HasChildren() const { return m_pOwner != nullptr && m_pOwner->m_pElements[m_iPos].iChild != 0; }

const wchar_t* CMarkupNode::GetName() const {
  if (m_pOwner == nullptr) return nullptr;
  return m_pOwner->m_pstrXML + m_pOwner->m_pElements[m_iPos].iStart;
}

void CMarkupNode::MapAttributes() {
  m_nAttributes = 0;
  if (m_pOwner == nullptr) return;
  const wchar_t* xml = m_pOwner->m_pstrXML;
  const CMarkup::XMLELEMENT& element = m_pOwner->m_pElements[m_iPos];
  const wchar_t* p = xml + element.iStart;
  const wchar_t* end = xml + element.iData;
  p += wcslen(p) + 1;
  while (p < end) {
    SkipBlanks(p);
    m_aAttributes[m_nAttributes].iName = static_cast<ULONG>(p - xml);
    p += wcslen(p) + 1;
    SkipBlanks(p);
    if (*p++ != L'"') return;
    m_aAttributes[m_nAttributes++].iValue = static_cast<ULONG>(p - xml);
    if (m_nAttributes >= MAX_XML_ATTRIBUTES) return;
    p += wcslen(p) + 1;
  }
}

bool CMarkupNode::HasAttributes() { return GetAttributeCount() > 0; }

int CMarkupNode::GetAttributeCount() {
  if (m_pOwner == nullptr) return 0;
  if (m_nAttributes == 0) MapAttributes();
  return m_nAttributes;
}

const wchar_t* CMarkupNode::GetAttributeName(int index) {
  if (m_pOwner == nullptr) return nullptr;
  if (index < 0 || index >= GetAttributeCount()) return L"";
  return m_pOwner->m_pstrXML + m_aAttributes[index].iName;
}

const wchar_t* CMarkupNode::GetAttributeValue(int index) {
  if (m_pOwner == nullptr) return nullptr;
  if (index < 0 || index >= GetAttributeCount()) return L"";
  return m_pOwner->m_pstrXML + m_aAttributes[index].iValue;
}

bool CMarkupNode::GetAttributeValue(const wchar_t* name, wchar_t* buffer, SIZE_T bufferUnits) {
  if (m_pOwner == nullptr || name == nullptr || buffer == nullptr || bufferUnits == 0) return false;
  buffer[0] = L'\0';
  int count = GetAttributeCount();
  for (int i = 0; i < count; ++i) {
    if (_wcsicmp(m_pOwner->m_pstrXML + m_aAttributes[i].iName, name) != 0) continue;
    const wchar_t* value = m_pOwner->m_pstrXML + m_aAttributes[i].iValue;
    size_t length = wcslen(value);
    if (length >= bufferUnits) return false;
    wmemcpy(buffer, value, length + 1);
    return true;
  }
  return false;
}

}  // namespace SkinUI
