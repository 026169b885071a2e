#include "ui/core/builder/child_layout.h"

#include <cwchar>

#include "ui/core/builder/dialog_builder.h"

namespace SkinUI {

CChildLayoutUI::CChildLayoutUI() = default;

const wchar_t* CChildLayoutUI::GetClass() const { return L"ChildLayoutUI"; }

LPVOID CChildLayoutUI::GetInterface(const wchar_t* pstrName) {
  if (pstrName != nullptr && _wcsicmp(pstrName, L"ChildLayout") == 0) return static_cast<CChildLayoutUI*>(this);
  return CControlUI::GetInterface(pstrName);
}

void CChildLayoutUI::Init() {
  if (m_pstrXMLFile.IsEmpty()) return;
  CDialogBuilder builder;
  CControlUI* child = builder.Create(m_pstrXMLFile.GetData(), nullptr, nullptr, m_pManager, nullptr);
  if (child != nullptr)
    Add(child);
  else
    RemoveAll();
}

void CChildLayoutUI::SetAttribute(const wchar_t* pstrName, const wchar_t* pstrValue) {
  if (pstrName != nullptr && pstrValue != nullptr && _wcsicmp(pstrName, L"xmlfile") == 0) {
    SetChildLayoutXML(pstrValue);
    return;
  }
  CContainerUI::SetAttribute(pstrName, pstrValue);
}

}  // namespace SkinUI
