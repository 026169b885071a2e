#include <algorithm>
#include <cwchar>

#include "ui/core/paint/manager/paint_manager.h"
#include "ui/core/paint/render/render_clip.h"
#include "ui/core/paint/render/render_engine.h"
#include "ui/extra/menu/menu.h"

namespace SkinUI {

namespace {

const UINT kHot = 0x08;
const int kExpandMargin = 20;

bool IsMenuItem(CControlUI* control) { return control->GetInterface(L"MenuElement") != nullptr; }

}  // namespace

// The items nested here belong to the sub-menu that shows them: this row neither places them nor
// counts them, even while they are visible there, so they step aside for the layout. Placing a
// child may reach the program's receivers (a control made as it is placed announces itself): the
// children they remove or add stay so, and a row they delete takes its nested items along.
void CMenuElementUI::SetPos(RECT rc, bool bNeedInvalidate) {
  CUIPtrArray all(m_items);
  NestedAside aside = {CUIPtrArray(), m_pNestedAside};
  m_items.Empty();
  for (int i = 0; i < all.GetSize(); ++i) {
    if (IsMenuItem(static_cast<CControlUI*>(all[i])))
      aside.items.Add(all[i]);
    else
      m_items.Add(all[i]);
  }
  m_pNestedAside = &aside;
  CControlWatch alive(this);
  CListContainerElementUI::SetPos(rc, bNeedInvalidate);
  if (!alive) return;
  m_pNestedAside = aside.outer;
  CUIPtrArray placed(m_items);
  m_items.Empty();
  for (int i = 0; i < all.GetSize(); ++i) {
    if (aside.items.Find(all[i]) >= 0 || placed.Find(all[i]) >= 0) m_items.Add(all[i]);
  }
  for (int i = 0; i < placed.GetSize(); ++i) {
    if (all.Find(placed[i]) < 0) m_items.Add(placed[i]);
  }
}

DWORD CMenuElementUI::StateTextColor(const ListInfoUI& info) const {
  DWORD color = info.dwTextColor;
  if ((m_row.uButtonState & kHot) != 0) color = info.dwHotTextColor;
  if (m_row.bSelected) color = info.dwSelectedTextColor;
  if (!IsEnabled()) color = info.dwDisabledTextColor;
  return color;
}

RECT CMenuElementUI::ScaledTextPadding(const ListInfoUI& info) const {
  RECT padding = info.rcTextPadding;
  m_pManager->GetDPIObject()->Scale(&padding);
  return padding;
}

SIZE CMenuElementUI::EstimateSize(SIZE szAvailable) {
  SIZE size = {0, 0};
  for (int i = 0; i < m_items.GetSize(); ++i) {
    CControlUI* child = static_cast<CControlUI*>(m_items[i]);
    if (!child->IsVisible() || IsMenuItem(child)) continue;
    SIZE own = child->EstimateSize(szAvailable);
    size.cy += own.cy;
    size.cx = std::max(size.cx, own.cx);
  }
  if (m_pManager == nullptr) return size;
  if (size.cy == 0 && m_row.pOwner != nullptr) {
    const ListInfoUI& info = *m_row.pOwner->GetListInfo();
    RECT padding = ScaledTextPadding(info);
    RECT rc = {padding.left, 0, std::max(GetFixedWidth(), static_cast<int>(szAvailable.cx)) - padding.right, 9999};
    UINT style = info.uTextStyle | DT_CALCRECT;
    CUIString text = GetText();
    if (info.bShowHtml) {
      int links = 0;
      CRenderEngine::DrawHtmlText(m_pManager->GetPaintDC(), m_pManager, rc, text.GetData(), StateTextColor(info),
                                  nullptr, nullptr, links, style);
    } else {
      CRenderEngine::DrawText(m_pManager->GetPaintDC(), m_pManager, rc, text.GetData(), StateTextColor(info),
                              info.nFont, style);
    }
    size.cx = rc.right - rc.left + padding.left + padding.right;
    size.cy = rc.bottom - rc.top + padding.top + padding.bottom;
  }
  if (GetFixedHeight() != 0) size.cy = GetFixedHeight();
  size.cx = std::max(size.cx, static_cast<LONG>(GetFixedWidth()));
  // Kept as the item's size at 100 percent; a change asks the menu for a new layout.
  const CDPIScaler* dpi = m_pManager->GetDPIObject();
  int width = dpi->ScaleBack(size.cx), height = dpi->ScaleBack(size.cy);
  if (width != m_cxFixed || height != m_cyFixed) {
    m_cxFixed = width;
    m_cyFixed = height;
    NeedParentUpdate();
  }
  return size;
}

void CMenuElementUI::DoPaint(HDC hDC, const RECT& rcPaint) {
  if (!::IntersectRect(&m_rcPaint, &rcPaint, &m_rcItem)) return;
  CDPIScaler* dpi = m_pManager->GetDPIObject();
  if (m_bDrawLine) {
    RECT padding = m_rcLinePadding;
    dpi->Scale(&padding);
    int y = m_rcItem.top + GetFixedHeight() / 2;
    CRenderEngine::DrawLine(hDC, RECT{m_rcItem.left + padding.left, y, m_rcItem.right - padding.right, y}, 1,
                            m_dwLineColor, 0);
    return;
  }
  CRenderClip clip;
  CRenderClip::CreateRect(hDC, m_rcPaint, clip);
  DrawItemBk(hDC, m_rcItem);
  DrawItemText(hDC, m_rcItem);
  DrawItemIcon(hDC, m_rcItem);
  DrawItemExpland(hDC, m_rcItem);
  for (int i = 0; i < m_items.GetSize(); ++i) {
    CControlUI* child = static_cast<CControlUI*>(m_items[i]);
    if (child->IsVisible() && !IsMenuItem(child)) child->DoPaint(hDC, rcPaint);
  }
}

void CMenuElementUI::DrawItemText(HDC hDC, const RECT& rcItem) {
  CUIString text = GetText();
  if (text.IsEmpty() || m_row.pOwner == nullptr) return;
  const ListInfoUI& info = *m_row.pOwner->GetListInfo();
  RECT padding = ScaledTextPadding(info);
  RECT rc = {rcItem.left + padding.left, rcItem.top + padding.top, rcItem.right - padding.right,
             rcItem.bottom - padding.bottom};
  if (info.bShowHtml) {
    int links = 0;
    CRenderEngine::DrawHtmlText(hDC, m_pManager, rc, text.GetData(), StateTextColor(info), nullptr, nullptr, links,
                                info.uTextStyle | DT_SINGLELINE);
  } else {
    CRenderEngine::DrawText(hDC, m_pManager, rc, text.GetData(), StateTextColor(info), info.nFont,
                            info.uTextStyle | DT_SINGLELINE);
  }
}

// `rc` is relative to the item, in device pixels; the image string takes it at 100 percent.
void CMenuElementUI::DrawRelativeImage(HDC hDC, const wchar_t* image, RECT rc) {
  m_pManager->GetDPIObject()->ScaleBack(&rc);
  wchar_t modify[64];
  swprintf(modify, 64, L"dest='%ld,%ld,%ld,%ld'", rc.left, rc.top, rc.right, rc.bottom);
  DrawImage(hDC, image, modify);
}

// In the band left of the text, centred; a check item shows its icon only while checked.
void CMenuElementUI::DrawItemIcon(HDC hDC, const RECT&) {
  if (m_strIcon.IsEmpty() || (m_bCheckItem && !GetChecked()) || m_row.pOwner == nullptr) return;
  CDPIScaler* dpi = m_pManager->GetDPIObject();
  int band = dpi->Scale(m_row.pOwner->GetListInfo()->rcTextPadding.left);
  SIZE icon = m_szIconSize;
  dpi->Scale(&icon);
  RECT rc;
  rc.left = (band - icon.cx) / 2;
  rc.top = (GetFixedHeight() - icon.cy) / 2;
  rc.right = rc.left + icon.cx;
  rc.bottom = rc.top + icon.cy;
  DrawRelativeImage(hDC, m_strIcon.GetData(), rc);
}

// The arrow image is the menu manager's "ExplandIcon" default, at the right end of the item.
void CMenuElementUI::DrawItemExpland(HDC hDC, const RECT&) {
  if (!m_bShowExplandIcon) return;
  const wchar_t* image = m_pManager->GetDefaultAttributeList(L"ExplandIcon");
  if (image == nullptr || image[0] == L'\0') return;
  const ImageDrawInfo* draw = m_pManager->GetDrawInfo(image, nullptr);
  if (draw == nullptr) return;
  const wchar_t* type = draw->sResType.IsEmpty() ? nullptr : draw->sResType.GetData();
  const ImageInfo* info = m_pManager->GetImageEx(draw->sImageName.GetData(), type, draw->dwMask);
  if (info == nullptr) return;
  int margin = m_pManager->GetDPIObject()->Scale(kExpandMargin) / 3;
  RECT rc;
  rc.right = GetFixedWidth() - margin;
  rc.left = rc.right - info->nX;
  rc.top = (GetFixedHeight() - info->nY) / 2;
  rc.bottom = rc.top + info->nY;
  DrawRelativeImage(hDC, image, rc);
}

}  // namespace SkinUI
