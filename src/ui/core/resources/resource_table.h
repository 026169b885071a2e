#pragma once
#include <windows.h>

#include "ui/core/resources/markup.h"
#include "ui/core/base/ui_string.h"
#include "ui/core/base/ui_string_map.h"

namespace SkinUI {

// Supplies control texts by id for controls with resource text.
class IQueryControlText {
 public:
  virtual ~IQueryControlText() = default;
  virtual const wchar_t* QueryControlText(const wchar_t* lpstrId, const wchar_t* lpstrType) = 0;
};

// The skin's optional table ("res.xml") of image and layout ids, and a cache of control texts.
class CResourceTableUI {
 public:
  static CResourceTableUI* GetInstance();

  // The source is a text (XML when it starts with "<", else a skin file name) or a 16-bit resource id.
  bool LoadResource(const wchar_t* source, const wchar_t* type = nullptr);
  const wchar_t* GetImagePath(const wchar_t* id);
  const wchar_t* GetXmlPath(const wchar_t* id);
  CUIString GetText(const wchar_t* id, const wchar_t* type = nullptr);
  void SetTextQueryInterface(IQueryControlText* provider) { m_pQuerypInterface = provider; }

 private:
  CResourceTableUI();
  ~CResourceTableUI();
  CResourceTableUI(const CResourceTableUI&) = delete;
  CResourceTableUI& operator=(const CResourceTableUI&) = delete;

  bool LoadDocument(const wchar_t* source, const wchar_t* type);
  void Register(CMarkupNode node);

  CUIStringMap m_mTextResourceHashMap;
  IQueryControlText* m_pQuerypInterface;
  CUIStringMap m_mImageHashMap;
  CUIStringMap m_mXmlHashMap;
  CMarkup m_xml;
};

}  // namespace SkinUI
