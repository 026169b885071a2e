#include <cwchar>

#include "ui/core/layouts/linear_layout.h"

namespace SkinUI {

const wchar_t* CVerticalLayoutUI::GetClass() const { return L"VerticalLayoutUI"; }

LPVOID CVerticalLayoutUI::GetInterface(const wchar_t* pstrName) {
  if (pstrName != nullptr && _wcsicmp(pstrName, L"VerticalLayout") == 0) return this;
  return CContainerUI::GetInterface(pstrName);
}

RECT CVerticalLayoutUI::GetThumbRect(bool bUseNew) const {
  RECT r = bUseNew && (m_sep.uButtonState & kSeparatorDragging) != 0 ? m_sep.rcNewPos : m_rcItem;
  int s = m_sep.iSize;
  if (s >= 0) return RECT{r.left, r.bottom - s > r.top ? r.bottom - s : r.top, r.right, r.bottom};
  return RECT{r.left, r.top, r.right, r.top - s < r.bottom ? r.top - s : r.bottom};
}

void CVerticalLayoutUI::SetAttribute(const wchar_t* pstrName, const wchar_t* pstrValue) {
  if (pstrName == nullptr || pstrValue == nullptr) return;
  if (_wcsicmp(pstrName, L"sepheight") == 0)
    SetSepHeight(_wtoi(pstrValue));
  else if (_wcsicmp(pstrName, L"sepimm") == 0)
    SetSepImmMode(_wcsicmp(pstrValue, L"true") == 0);
  else
    CContainerUI::SetAttribute(pstrName, pstrValue);
}

}  // namespace SkinUI
