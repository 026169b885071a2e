#include "ui/core/resources/resource_table.h"

#include <vector>

#include "ui/core/resources/skin_file.h"

namespace SkinUI {

namespace {

void DeleteStrings(CUIStringMap& map) {
  for (int i = 0; i < map.GetSize(); ++i) {
    const wchar_t* key = map.GetAt(i);
    if (key != nullptr) delete static_cast<CUIString*>(map.Find(key, false));
  }
  map.RemoveAll();
}

}  // namespace

CResourceTableUI* CResourceTableUI::GetInstance() {
  static CResourceTableUI instance;
  return &instance;
}

CResourceTableUI::CResourceTableUI() : m_pQuerypInterface(nullptr) {}

CResourceTableUI::~CResourceTableUI() {
  DeleteStrings(m_mTextResourceHashMap);
  DeleteStrings(m_mImageHashMap);
  DeleteStrings(m_mXmlHashMap);
}

bool CResourceTableUI::LoadDocument(const wchar_t* source, const wchar_t* type) {
  if (source == nullptr) return false;
  if (!IS_INTRESOURCE(source) && source[0] == L'<') return m_xml.Load(source);
  if (IS_INTRESOURCE(source)) {
    std::vector<BYTE> bytes;
    if (!ReadSkinResource(nullptr, source, type, bytes)) return false;
    return m_xml.LoadFromMem(bytes.data(), static_cast<DWORD>(bytes.size()), XMLFILE_ENCODING_UTF8);
  }
  return m_xml.LoadFromFile(source, XMLFILE_ENCODING_UTF8);
}

bool CResourceTableUI::LoadResource(const wchar_t* source, const wchar_t* type) {
  if (!LoadDocument(source, type)) return false;
  CMarkupNode root = m_xml.GetRoot();
  for (CMarkupNode node = root.GetChild(); node.IsValid(); node = node.GetSibling()) Register(node);
  return true;
}

void CResourceTableUI::Register(CMarkupNode node) {
  if (node.HasChildren()) {
    for (CMarkupNode child = node.GetChild(); child.IsValid(); child = child.GetSibling()) Register(child);
    return;
  }
  const wchar_t* kind = node.GetName();
  bool isImage = _wcsicmp(kind, L"Image") == 0;
  bool isXml = _wcsicmp(kind, L"Xml") == 0;
  if ((!isImage && !isXml) || !node.HasAttributes()) return;
  const wchar_t* id = nullptr;
  const wchar_t* path = nullptr;
  for (int i = 0; i < node.GetAttributeCount(); ++i) {
    if (_wcsicmp(node.GetAttributeName(i), L"id") == 0)
      id = node.GetAttributeValue(i);
    else if (_wcsicmp(node.GetAttributeName(i), L"path") == 0)
      path = node.GetAttributeValue(i);
  }
  if (id == nullptr || path == nullptr) return;
  CUIStringMap& map = isImage ? m_mImageHashMap : m_mXmlHashMap;
  if (map.Find(id) != nullptr) return;
  CUIString* value = new CUIString(path);
  if (!map.Insert(id, value)) delete value;
}

const wchar_t* CResourceTableUI::GetImagePath(const wchar_t* id) {
  if (id == nullptr) return nullptr;
  CUIString* path = static_cast<CUIString*>(m_mImageHashMap.Find(id));
  return path != nullptr ? path->GetData() : nullptr;
}

const wchar_t* CResourceTableUI::GetXmlPath(const wchar_t* id) {
  if (id == nullptr) return nullptr;
  CUIString* path = static_cast<CUIString*>(m_mXmlHashMap.Find(id));
  return path != nullptr ? path->GetData() : nullptr;
}

CUIString CResourceTableUI::GetText(const wchar_t* id, const wchar_t* type) {
  if (id == nullptr) return CUIString();
  CUIString* cached = static_cast<CUIString*>(m_mTextResourceHashMap.Find(id));
  if (cached != nullptr) return *cached;
  if (m_pQuerypInterface == nullptr) return CUIString(id);
  const wchar_t* text = m_pQuerypInterface->QueryControlText(id, type);
  CUIString* stored = new CUIString(text != nullptr ? text : L"");
  if (!m_mTextResourceHashMap.Insert(id, stored)) {
    CUIString result(*stored);
    delete stored;
    return result;
  }
  return *stored;
}

}  // namespace SkinUI
