#include <cwchar>

#include "ui/core/paint/manager/paint_manager.h"
#include "ui/core/resources/attribute_values.h"
#include "ui/extra/listex/list_ex.h"

namespace SkinUI {

CListContainerHeaderItemUI::CListContainerHeaderItemUI()
    : m_bEditable(false), m_bComboable(false), m_bCheckable(false) {
  SetMinWidth(16);
}

const wchar_t* CListContainerHeaderItemUI::GetClass() const { return L"ListContainerHeaderItem"; }

LPVOID CListContainerHeaderItemUI::GetInterface(const wchar_t* pstrName) {
  if (pstrName != nullptr && _wcsicmp(pstrName, L"ListContainerHeaderItem") == 0) return this;
  return CHorizontalLayoutUI::GetInterface(pstrName);
}

UINT CListContainerHeaderItemUI::GetControlFlags() const { return m_column.ControlFlags(*this); }

SIZE CListContainerHeaderItemUI::EstimateSize(SIZE szAvailable) {
  return EstimateHeaderColumn(*this, m_cxFixed, szAvailable);
}

void CListContainerHeaderItemUI::SetCheck(bool bCheck) {
  if (m_box.SetCheck(bCheck)) Invalidate();
}

RECT CListContainerHeaderItemUI::BoxRect() const {
  return m_box.Place(*this, m_rcItem.left, m_rcItem.top, m_rcItem.bottom);
}

// The check box first, then the column's own handling of the same event, unless the receiver of
// "listheaditemchecked" deleted this item.
void CListContainerHeaderItemUI::DoEvent(EventRecordUI& event) {
  if (!IsMouseEnabled() && event.Type >= UIEVENT__MOUSEFIRST && event.Type <= UIEVENT__MOUSELAST) {
    if (m_pParent != nullptr)
      m_pParent->DoEvent(event);
    else
      CHorizontalLayoutUI::DoEvent(event);
    return;
  }
  if (m_bCheckable && m_box.Track(*this, event, 1, [this](int) { return BoxRect(); }) == 0 && m_pParent != nullptr &&
      m_pManager != nullptr) {
    auto* header = static_cast<CContainerUI*>(m_pParent->GetInterface(L"Container"));
    WPARAM index = static_cast<WPARAM>(header != nullptr ? header->GetItemIndex(this) : -1);
    CControlWatch alive(this);
    m_pManager->SendNotify(this, L"listheaditemchecked", index, m_box.bChecked ? 1 : 0);
    if (!alive) return;
  }
  if (!m_column.HandleEvent(*this, event, L"listheaderclick", m_cxFixed)) CHorizontalLayoutUI::DoEvent(event);
}

void CListContainerHeaderItemUI::SetAttribute(const wchar_t* pstrName, const wchar_t* pstrValue) {
  if (pstrName == nullptr || pstrValue == nullptr) return;
  auto is = [pstrName](const wchar_t* known) { return _wcsicmp(pstrName, known) == 0; };
  if (is(L"editable"))
    m_bEditable = IsTrueValue(pstrValue);
  else if (is(L"comboable"))
    m_bComboable = IsTrueValue(pstrValue);
  else if (is(L"checkable"))
    m_bCheckable = IsTrueValue(pstrValue);
  else if (!m_box.SetAttribute(pstrName, pstrValue) && !m_column.SetAttribute(*this, pstrName, pstrValue))
    CContainerUI::SetAttribute(pstrName, pstrValue);
}

void CListContainerHeaderItemUI::PaintStatusImage(HDC hDC) {
  m_column.PaintStatusImage(*this, hDC);
  if (m_bCheckable) m_box.Paint(*this, hDC, BoxRect(), 0);
}

void CListContainerHeaderItemUI::PaintText(HDC hDC) {
  m_column.PaintText(*this, hDC, m_bCheckable ? m_box.Width(*this) : 0);
}

}  // namespace SkinUI
