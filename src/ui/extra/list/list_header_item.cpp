#include <cwchar>

#include "ui/core/controls/button.h"
#include "ui/extra/list/list_header.h"

namespace SkinUI {

CListHeaderItemUI::CListHeaderItemUI() : m_nScale(0) { SetMinWidth(16); }

const wchar_t* CListHeaderItemUI::GetClass() const { return L"ListHeaderItemUI"; }

LPVOID CListHeaderItemUI::GetInterface(const wchar_t* pstrName) {
  if (pstrName != nullptr && _wcsicmp(pstrName, L"ListHeaderItem") == 0) return this;
  return CContainerUI::GetInterface(pstrName);
}

UINT CListHeaderItemUI::GetControlFlags() const { return m_column.ControlFlags(*this); }

void CListHeaderItemUI::SetEnabled(bool bEnable) {
  CContainerUI::SetEnabled(bEnable);
  if (!IsEnabled()) m_column.uButtonState = 0;
}

SIZE CListHeaderItemUI::EstimateSize(SIZE szAvailable) { return EstimateHeaderColumn(*this, m_cxFixed, szAvailable); }

void CListHeaderItemUI::DoEvent(EventRecordUI& event) {
  if (!IsMouseEnabled() && event.Type >= UIEVENT__MOUSEFIRST && event.Type <= UIEVENT__MOUSELAST) {
    if (m_pParent != nullptr)
      m_pParent->DoEvent(event);
    else
      CContainerUI::DoEvent(event);
    return;
  }
  if (!m_column.HandleEvent(*this, event, L"headerclick", m_cxFixed)) CContainerUI::DoEvent(event);
}

void CListHeaderItemUI::SetAttribute(const wchar_t* pstrName, const wchar_t* pstrValue) {
  if (pstrName == nullptr || pstrValue == nullptr) return;
  if (_wcsicmp(pstrName, L"scale") == 0)
    SetScale(_wtoi(pstrValue));
  else if (!m_column.SetAttribute(*this, pstrName, pstrValue))
    CContainerUI::SetAttribute(pstrName, pstrValue);
}

void CListHeaderItemUI::PaintStatusImage(HDC hDC) { m_column.PaintStatusImage(*this, hDC); }
void CListHeaderItemUI::PaintText(HDC hDC) { m_column.PaintText(*this, hDC, 0); }

}  // namespace SkinUI
