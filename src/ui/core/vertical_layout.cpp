#include <cwchar>

#include "ui/core/linear_layout.h"
#include "ui/core/paint_manager.h"
#include "ui/core/render_engine.h"
#include "ui/core/scrollbar.h"
#include "ui/core/separator_drag.h"

namespace SkinUI {

namespace {

const UINT kDragging = 0x40;

int FixedOrMaxWidth(const CControlUI* c) { return c->GetFixedWidth() >= 1 ? c->GetFixedWidth() : c->GetMaxWidth(); }
int FixedOrMaxHeight(const CControlUI* c) { return c->GetFixedHeight() >= 1 ? c->GetFixedHeight() : c->GetMaxHeight(); }

int Limit(int value, int low, int high) {
    if (value < low) value = low;
    if (value > high) value = high;
    return value;
}

}  // namespace

CVerticalLayoutUI::CVerticalLayoutUI()
    : m_iSepHeight(0), m_uButtonState(0), m_ptLastMouse{0, 0}, m_bImmMode(false) {}

const wchar_t* CVerticalLayoutUI::GetClass() const { return L"VerticalLayoutUI"; }

LPVOID CVerticalLayoutUI::GetInterface(const wchar_t* pstrName) {
    if (pstrName != nullptr && _wcsicmp(pstrName, L"VerticalLayout") == 0) return this;
    return CContainerUI::GetInterface(pstrName);
}

UINT CVerticalLayoutUI::GetControlFlags() const {
    return IsEnabled() && m_iSepHeight != 0 ? static_cast<UINT>(UIFLAG_SETCURSOR) : 0u;
}

void CVerticalLayoutUI::SetPos(RECT rc, bool bNeedInvalidate) {
    CControlUI::SetPos(rc, bNeedInvalidate);
    rc = m_rcItem;
    RECT inset = GetInset();
    rc.left += inset.left;
    rc.top += inset.top;
    rc.right -= inset.right;
    rc.bottom -= inset.bottom;
    CScrollBarUI* vbar = IsBarVisible(m_pVerticalScrollBar) ? m_pVerticalScrollBar : nullptr;
    CScrollBarUI* hbar = IsBarVisible(m_pHorizontalScrollBar) ? m_pHorizontalScrollBar : nullptr;
    if (vbar != nullptr) rc.right -= vbar->GetFixedWidth();
    if (hbar != nullptr) rc.bottom -= hbar->GetFixedHeight();
    if (m_items.IsEmpty()) {
        ProcessScrollBar(rc, 0, 0);
        return;
    }
    int aw = rc.right - rc.left + (hbar != nullptr ? hbar->GetScrollRange() : 0);
    int ah = rc.bottom - rc.top + (vbar != nullptr ? vbar->GetScrollRange() : 0);
    int padding = m_iChildPadding;

    // First pass: what the fixed children need and how many share the rest.
    int cyNeeded = 0, cxNeeded = 0, n = 0, adjustables = 0;
    for (int i = 0; i < m_items.GetSize(); ++i) {
        CControlUI* child = GetItemAt(i);
        if (!child->IsVisible() || child->IsFloat()) continue;
        RECT p = child->GetPadding();
        int w = FixedOrMaxWidth(child) < aw - p.left - p.right ? FixedOrMaxWidth(child) : aw - p.left - p.right;
        int h = FixedOrMaxHeight(child) < ah ? FixedOrMaxHeight(child) : ah;
        SIZE size = child->EstimateSize(SIZE{w, h});
        if (size.cy == 0) ++adjustables;
        else size.cy = Limit(size.cy, child->GetMinHeight(), child->GetMaxHeight());
        cyNeeded += size.cy + p.top + p.bottom;
        size.cx = Limit(size.cx < 0 ? 0 : size.cx, child->GetMinWidth(), child->GetMaxWidth());
        if (p.left + p.right + size.cx > cxNeeded) cxNeeded = p.left + p.right + size.cx;
        ++n;
    }
    cyNeeded += padding * (n - 1);
    int expand = adjustables > 0 ? (ah - cyNeeded) / adjustables : 0;
    if (expand < 0) expand = 0;

    // Second pass: place them top down.
    int y = rc.top - (vbar != nullptr ? vbar->GetScrollPos() : 0);
    int remaining = ah, fixedLeft = cyNeeded, placedHeight = 0, k = 0, m = 0;
    for (int i = 0; i < m_items.GetSize(); ++i) {
        CControlUI* child = GetItemAt(i);
        if (!child->IsVisible()) continue;
        if (child->IsFloat()) {
            SetFloatPos(i);
            continue;
        }
        ++m;
        RECT p = child->GetPadding();
        remaining -= p.top;
        int w = FixedOrMaxWidth(child) < aw - p.left - p.right ? FixedOrMaxWidth(child) : aw - p.left - p.right;
        int h = FixedOrMaxHeight(child) < remaining ? FixedOrMaxHeight(child) : remaining;
        fixedLeft -= p.top + p.bottom + (m > 1 ? padding : 0);
        SIZE size = child->EstimateSize(SIZE{w, h});
        if (size.cy == 0) {
            ++k;
            size.cy = expand;
            if (k == adjustables) size.cy = remaining - p.bottom - fixedLeft > 0 ? remaining - p.bottom - fixedLeft : 0;
            size.cy = Limit(size.cy, child->GetMinHeight(), child->GetMaxHeight());
        } else {
            size.cy = Limit(size.cy, child->GetMinHeight(), child->GetMaxHeight());
            fixedLeft -= size.cy;
        }
        int cx = child->GetMaxWidth() != 0 ? child->GetMaxWidth() : aw - p.left - p.right;
        if (cx < 0) cx = 0;
        if (cx > w) cx = w;
        if (cx < child->GetMinWidth()) cx = child->GetMinWidth();

        RECT pos;
        if (m_iChildAlign == DT_CENTER) {
            int mid = (rc.left + rc.right) / 2 + (hbar != nullptr ? hbar->GetScrollRange() / 2 - hbar->GetScrollPos() : 0);
            pos.left = mid - cx / 2;
            pos.right = pos.left + cx;
        } else if (m_iChildAlign == DT_RIGHT) {
            int edge = rc.right + (hbar != nullptr ? hbar->GetScrollRange() - hbar->GetScrollPos() : 0);
            pos.right = edge - p.right;
            pos.left = pos.right - cx;
        } else {
            pos.left = rc.left - (hbar != nullptr ? hbar->GetScrollPos() : 0) + p.left;
            pos.right = pos.left + cx;
        }
        pos.top = y + p.top;
        pos.bottom = pos.top + size.cy;
        child->SetPos(pos, false);
        y += size.cy + p.top + p.bottom + padding;
        placedHeight += size.cy + p.top + p.bottom;
        remaining -= size.cy + p.bottom + padding;
    }
    ProcessScrollBar(rc, cxNeeded, placedHeight + padding * (n - 1));
}

RECT CVerticalLayoutUI::GetThumbRect(bool bUseNew) const {
    RECT r = ((m_uButtonState & kDragging) != 0 && bUseNew) ? m_rcNewPos : m_rcItem;
    int s = m_iSepHeight;
    if (s >= 0) return RECT{r.left, r.bottom - s > r.top ? r.bottom - s : r.top, r.right, r.bottom};
    return RECT{r.left, r.top, r.right, r.top - s < r.bottom ? r.top - s : r.bottom};
}

void CVerticalLayoutUI::SetSepImmMode(bool bImmediately) {
    if (m_bImmMode == bImmediately) return;
    if ((m_uButtonState & kDragging) != 0 && !m_bImmMode && m_pManager != nullptr) m_pManager->RemovePostPaint(this);
    m_bImmMode = bImmediately;
}

bool CVerticalLayoutUI::DragStep(POINT pt) {
    int d = pt.y - m_ptLastMouse.y;
    m_ptLastMouse = pt;
    RECT r = m_rcNewPos;
    if (!MoveSeparatorEdge(m_iSepHeight, d, pt.y, GetMinHeight(), GetMaxHeight(), r.top, r.bottom)) return false;
    CUIRect invalidate = GetThumbRect(true);
    m_rcNewPos = r;
    m_cyFixed = r.bottom - r.top;
    if (m_bImmMode) {
        m_rcItem = m_rcNewPos;
        NeedParentUpdate();
    } else if (m_pManager != nullptr) {
        invalidate.Join(GetThumbRect(true));
        invalidate.Join(GetThumbRect(false));
        m_pManager->Invalidate(invalidate);
    }
    return true;
}

void CVerticalLayoutUI::DoEvent(EventRecordUI& event) {
    if (m_iSepHeight != 0) {
        RECT band = GetThumbRect(false);
        bool dragging = (m_uButtonState & kDragging) != 0;
        if (event.Type == UIEVENT_BUTTONDOWN && IsEnabled() && ::PtInRect(&band, event.ptMouse)) {
            m_uButtonState |= kDragging;
            m_ptLastMouse = event.ptMouse;
            m_rcNewPos = m_rcItem;
            if (!m_bImmMode && m_pManager != nullptr) m_pManager->AddPostPaint(this);
            return;
        }
        if (event.Type == UIEVENT_BUTTONUP && dragging) {
            m_uButtonState &= ~kDragging;
            m_rcItem = m_rcNewPos;
            if (!m_bImmMode && m_pManager != nullptr) m_pManager->RemovePostPaint(this);
            NeedParentUpdate();
            return;
        }
        if (event.Type == UIEVENT_MOUSEMOVE && dragging) {
            DragStep(event.ptMouse);
            return;
        }
        if (event.Type == UIEVENT_SETCURSOR && IsEnabled() && ::PtInRect(&band, event.ptMouse)) {
            ::SetCursor(::LoadCursorW(nullptr, MAKEINTRESOURCEW(32645)));
            return;
        }
    }
    CContainerUI::DoEvent(event);
}

void CVerticalLayoutUI::SetAttribute(const wchar_t* pstrName, const wchar_t* pstrValue) {
    if (pstrName == nullptr || pstrValue == nullptr) return;
    if (_wcsicmp(pstrName, L"sepheight") == 0) SetSepHeight(_wtoi(pstrValue));
    else if (_wcsicmp(pstrName, L"sepimm") == 0) SetSepImmMode(_wcsicmp(pstrValue, L"true") == 0);
    else CContainerUI::SetAttribute(pstrName, pstrValue);
}

void CVerticalLayoutUI::DoPostPaint(HDC hDC, const RECT&) {
    if ((m_uButtonState & kDragging) != 0 && !m_bImmMode) {
        CRenderEngine::DrawColor(hDC, GetThumbRect(true), 0xAA000000);
    }
}

}  // namespace SkinUI
