#include <algorithm>
#include <cwchar>

#include "ui/core/paint/manager/paint_manager.h"
#include "ui/extra/list/list_header.h"
#include "ui/extra/menu/menu.h"

namespace SkinUI {

namespace {

CMenuElementUI* AsMenuItem(CControlUI* control) {
  return control != nullptr ? static_cast<CMenuElementUI*>(control->GetInterface(L"MenuElement")) : nullptr;
}

void HideSubItems(CMenuElementUI* item) {
  for (int i = 0; i < item->GetSubItemCount(); ++i) item->GetSubItemAt(i)->SetInternalVisible(false);
}

}  // namespace

CMenuUI::CMenuUI() : m_pWindow(nullptr) { GetHeader()->SetVisible(false); }

const wchar_t* CMenuUI::GetClass() const { return L"MenuUI"; }

LPVOID CMenuUI::GetInterface(const wchar_t* pstrName) {
  if (pstrName != nullptr && _wcsicmp(pstrName, L"Menu") == 0) return static_cast<CMenuUI*>(this);
  return CListUI::GetInterface(pstrName);
}

int CMenuUI::GetListType() { return 3; }

// As high as the visible items together and as wide as the widest, which every item then takes.
SIZE CMenuUI::EstimateSize(SIZE szAvailable) {
  SIZE size = {0, 0};
  for (int i = 0; i < GetCount(); ++i) {
    CControlUI* item = GetItemAt(i);
    if (!item->IsVisible()) continue;
    SIZE own = item->EstimateSize(szAvailable);
    size.cy += own.cy;
    size.cx = std::max(size.cx, own.cx);
  }
  int width = m_pManager != nullptr ? m_pManager->GetDPIObject()->ScaleBack(size.cx) : size.cx;
  for (int i = 0; i < GetCount(); ++i) {
    CControlUI* item = GetItemAt(i);
    if (item->IsVisible() && item->GetFixedWidth() != size.cx) item->SetFixedWidth(width);
  }
  return size;
}

int CMenuUI::GetItemIndex(CControlUI* pControl) const {
  return AsMenuItem(pControl) != nullptr ? CListUI::GetItemIndex(pControl) : -1;
}

bool CMenuUI::SetItemIndex(CControlUI* pControl, int iNewIndex) {
  return AsMenuItem(pControl) != nullptr && CListUI::SetItemIndex(pControl, iNewIndex);
}

bool CMenuUI::Add(CControlUI* pControl) {
  CMenuElementUI* item = AsMenuItem(pControl);
  if (item == nullptr) return false;
  HideSubItems(item);
  return CListUI::Add(pControl);
}

bool CMenuUI::AddAt(CControlUI* pControl, int iIndex) {
  CMenuElementUI* item = AsMenuItem(pControl);
  if (item == nullptr) return false;
  HideSubItems(item);
  return CListUI::AddAt(pControl, iIndex);
}

bool CMenuUI::Remove(CControlUI* pControl) { return AsMenuItem(pControl) != nullptr && CListUI::Remove(pControl); }

}  // namespace SkinUI
