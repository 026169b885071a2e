#include "ui/core/builder/child_layout.h"

#include <cwchar>

#include "ui/core/base/ui_log.h"
#include "ui/core/builder/dialog_builder.h"

namespace SkinUI {

namespace {

// A child layout whose file holds a child layout of the same file would build itself forever:
// child layouts nest at most this deep.
constexpr int kMaxChildLayoutDepth = 8;
thread_local int g_childLayoutDepth = 0;

}  // namespace

CChildLayoutUI::CChildLayoutUI() = default;

const wchar_t* CChildLayoutUI::GetClass() const { return L"ChildLayoutUI"; }

LPVOID CChildLayoutUI::GetInterface(const wchar_t* pstrName) {
  if (pstrName != nullptr && _wcsicmp(pstrName, L"ChildLayout") == 0) return static_cast<CChildLayoutUI*>(this);
  return CControlUI::GetInterface(pstrName);
}

// Built once per file: each attachment with init set calls Init again (a container added to
// another re-initialises its whole subtree), and every call would add one more copy of the
// content, and of the content of each child layout inside, growing without end.
void CChildLayoutUI::Init() {
  if (m_pstrXMLFile.IsEmpty() || m_sBuiltFile == m_pstrXMLFile.GetData()) return;
  if (g_childLayoutDepth >= kMaxChildLayoutDepth) {
    UILog(L"CChildLayoutUI::Init, <ChildLayout xmlfile=\"%ls\"> refused: child layouts nest deeper than %d",
          m_pstrXMLFile.GetData(), kMaxChildLayoutDepth);
    return;
  }
  ++g_childLayoutDepth;
  RemoveAll();
  m_sBuiltFile = m_pstrXMLFile;
  CDialogBuilder builder;
  CControlUI* child = builder.Create(m_pstrXMLFile.GetData(), nullptr, nullptr, m_pManager, nullptr);
  if (child != nullptr) Add(child);
  --g_childLayoutDepth;
}

void CChildLayoutUI::SetAttribute(const wchar_t* pstrName, const wchar_t* pstrValue) {
  if (pstrName != nullptr && pstrValue != nullptr && _wcsicmp(pstrName, L"xmlfile") == 0) {
    SetChildLayoutXML(pstrValue);
    return;
  }
  CContainerUI::SetAttribute(pstrName, pstrValue);
}

}  // namespace SkinUI
