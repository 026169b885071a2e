#pragma once
#include "ui/core/paint/control/container.h"

namespace SkinUI {

// Fills itself from another layout file when it is first initialised with that file.
class CChildLayoutUI : public CContainerUI {
 public:
  CChildLayoutUI();

  const wchar_t* GetClass() const override;
  LPVOID GetInterface(const wchar_t* pstrName) override;
  void Init() override;
  void SetAttribute(const wchar_t* pstrName, const wchar_t* pstrValue) override;

  void SetChildLayoutXML(const wchar_t* pXML) { m_pstrXMLFile = pXML; }
  const CUIString& GetChildLayoutXML() const { return m_pstrXMLFile; }

 private:
  CUIString m_pstrXMLFile;
  CUIString m_sBuiltFile;  // the file its content came from
};

}  // namespace SkinUI
