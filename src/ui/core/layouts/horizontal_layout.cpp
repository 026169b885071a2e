#include <cwchar>

#include "ui/core/layouts/linear_layout.h"

namespace SkinUI {

const wchar_t* CHorizontalLayoutUI::GetClass() const { return L"HorizontalLayoutUI"; }

LPVOID CHorizontalLayoutUI::GetInterface(const wchar_t* pstrName) {
  if (pstrName != nullptr && _wcsicmp(pstrName, L"HorizontalLayout") == 0) return this;
  return CContainerUI::GetInterface(pstrName);
}

RECT CHorizontalLayoutUI::GetThumbRect(bool bUseNew) const {
  RECT r = bUseNew && (m_sep.uButtonState & kSeparatorDragging) != 0 ? m_sep.rcNewPos : m_rcItem;
  int s = m_sep.iSize;
  if (s >= 0) return RECT{r.right - s, r.top, r.right, r.bottom};
  return RECT{r.left, r.top, r.left - s, r.bottom};
}

void CHorizontalLayoutUI::SetAttribute(const wchar_t* pstrName, const wchar_t* pstrValue) {
  if (pstrName == nullptr || pstrValue == nullptr) return;
  if (_wcsicmp(pstrName, L"sepwidth") == 0)
    SetSepWidth(_wtoi(pstrValue));
  else if (_wcsicmp(pstrName, L"sepimm") == 0)
    SetSepImmMode(_wcsicmp(pstrValue, L"true") == 0);
  else
    CContainerUI::SetAttribute(pstrName, pstrValue);
}

}  // namespace SkinUI
