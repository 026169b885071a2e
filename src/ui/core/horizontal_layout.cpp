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

int Smaller(int a, int b) { return a < b ? a : b; }

}  // namespace

CHorizontalLayoutUI::CHorizontalLayoutUI()
    : m_iSepWidth(0), m_uButtonState(0), m_ptLastMouse{0, 0}, m_bImmMode(false) {}

const wchar_t* CHorizontalLayoutUI::GetClass() const { return L"HorizontalLayoutUI"; }

LPVOID CHorizontalLayoutUI::GetInterface(const wchar_t* pstrName) {
    if (pstrName != nullptr && _wcsicmp(pstrName, L"HorizontalLayout") == 0) return this;
    return CContainerUI::GetInterface(pstrName);
}

UINT CHorizontalLayoutUI::GetControlFlags() const {
    return IsEnabled() && m_iSepWidth != 0 ? static_cast<UINT>(UIFLAG_SETCURSOR) : 0u;
}

void CHorizontalLayoutUI::SetPos(RECT rc, bool bNeedInvalidate) {
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
    int aw = rc.right - rc.left;
    int ah = rc.bottom - rc.top + (vbar != nullptr ? vbar->GetScrollRange() : 0);
    int padding = m_iChildPadding;

    // First pass: what the fixed children need and how many share the rest.
    int cxNeeded = 0, cyNeeded = 0, n = 0, adjustables = 0;
    for (int i = 0; i < m_items.GetSize(); ++i) {
        CControlUI* child = GetItemAt(i);
        if (!child->IsVisible() || child->IsFloat()) continue;
        RECT p = child->GetPadding();
        SIZE size = child->EstimateSize(
            SIZE{Smaller(FixedOrMaxWidth(child), aw), Smaller(FixedOrMaxHeight(child), ah - p.top - p.bottom)});
        if (size.cx == 0) ++adjustables;
        else size.cx = Limit(size.cx, child->GetMinWidth(), child->GetMaxWidth());
        cxNeeded += size.cx + p.left + p.right;
        size.cy = Limit(size.cy < 0 ? 0 : size.cy, child->GetMinHeight(), child->GetMaxHeight());
        if (p.top + p.bottom + size.cy > cyNeeded) cyNeeded = p.top + p.bottom + size.cy;
        ++n;
    }
    cxNeeded += padding * (n - 1);
    int expand = adjustables > 0 ? (aw - cxNeeded) / adjustables : 0;
    if (expand < 0) expand = 0;

    // Second pass: place them left to right.
    int x = rc.left - (hbar != nullptr ? hbar->GetScrollPos() : 0);
    int remaining = aw, fixedLeft = cxNeeded, placedWidth = 0, k = 0, m = 0;
    for (int i = 0; i < m_items.GetSize(); ++i) {
        CControlUI* child = GetItemAt(i);
        if (!child->IsVisible()) continue;
        if (child->IsFloat()) {
            SetFloatPos(i);
            continue;
        }
        ++m;
        RECT p = child->GetPadding();
        remaining -= p.left;
        int w = Smaller(FixedOrMaxWidth(child), remaining);
        int h = Smaller(FixedOrMaxHeight(child), ah - p.top - p.bottom);
        fixedLeft -= p.left + p.right + (m > 1 ? padding : 0);
        SIZE size = child->EstimateSize(SIZE{w, h});
        if (size.cx == 0) {
            ++k;
            size.cx = expand;
            if (k == adjustables) size.cx = remaining - p.right - fixedLeft > 0 ? remaining - p.right - fixedLeft : 0;
            size.cx = Limit(size.cx, child->GetMinWidth(), child->GetMaxWidth());
        } else {
            size.cx = Limit(size.cx, child->GetMinWidth(), child->GetMaxWidth());
            fixedLeft -= size.cx;
        }
        int cy = child->GetMaxHeight() != 0 ? child->GetMaxHeight() : ah - p.top - p.bottom;
        if (cy < 0) cy = 0;
        if (cy > h) cy = h;
        if (cy < child->GetMinHeight()) cy = child->GetMinHeight();

        RECT pos;
        if (m_iChildVAlign == DT_VCENTER) {
            int mid = (rc.top + rc.bottom) / 2 + (vbar != nullptr ? vbar->GetScrollRange() / 2 - vbar->GetScrollPos() : 0);
            pos.top = mid - cy / 2;
            pos.bottom = pos.top + cy;
        } else if (m_iChildVAlign == DT_BOTTOM) {
            int edge = rc.bottom + (vbar != nullptr ? vbar->GetScrollRange() - vbar->GetScrollPos() : 0);
            pos.bottom = edge - p.bottom;
            pos.top = pos.bottom - cy;
        } else {
            pos.top = rc.top - (vbar != nullptr ? vbar->GetScrollPos() : 0) + p.top;
            pos.bottom = pos.top + cy;
        }
        pos.left = x + p.left;
        pos.right = pos.left + size.cx;
        child->SetPos(pos, false);
        x += size.cx + p.left + p.right + padding;
        placedWidth += size.cx + p.left + p.right;
        remaining -= size.cx + p.right + padding;
    }
    ProcessScrollBar(rc, placedWidth + padding * (n - 1), cyNeeded);
}

RECT CHorizontalLayoutUI::GetThumbRect(bool bUseNew) const {
    RECT r = ((m_uButtonState & kDragging) != 0 && bUseNew) ? m_rcNewPos : m_rcItem;
    int s = m_iSepWidth;
    if (s >= 0) return RECT{r.right - s, r.top, r.right, r.bottom};
    return RECT{r.left, r.top, r.left - s, r.bottom};
}

void CHorizontalLayoutUI::SetSepImmMode(bool bImmediately) {
    if (m_bImmMode == bImmediately) return;
    if ((m_uButtonState & kDragging) != 0 && !m_bImmMode && m_pManager != nullptr) m_pManager->RemovePostPaint(this);
    m_bImmMode = bImmediately;
}

bool CHorizontalLayoutUI::DragStep(POINT pt) {
    int d = pt.x - m_ptLastMouse.x;
    m_ptLastMouse = pt;
    RECT r = m_rcNewPos;
    if (!MoveSeparatorEdge(m_iSepWidth, d, pt.x, GetMinWidth(), GetMaxWidth(), r.left, r.right)) return false;
    CUIRect invalidate = GetThumbRect(true);
    m_rcNewPos = r;
    m_cxFixed = r.right - r.left;
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

void CHorizontalLayoutUI::DoEvent(EventRecordUI& event) {
    if (m_iSepWidth != 0) {
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
            ::SetCursor(::LoadCursorW(nullptr, MAKEINTRESOURCEW(32644)));
            return;
        }
    }
    CContainerUI::DoEvent(event);
}

void CHorizontalLayoutUI::SetAttribute(const wchar_t* pstrName, const wchar_t* pstrValue) {
    if (pstrName == nullptr || pstrValue == nullptr) return;
    if (_wcsicmp(pstrName, L"sepwidth") == 0) SetSepWidth(_wtoi(pstrValue));
    else if (_wcsicmp(pstrName, L"sepimm") == 0) SetSepImmMode(_wcsicmp(pstrValue, L"true") == 0);
    else CContainerUI::SetAttribute(pstrName, pstrValue);
}

void CHorizontalLayoutUI::DoPostPaint(HDC hDC, const RECT&) {
    if ((m_uButtonState & kDragging) != 0 && !m_bImmMode) {
        CRenderEngine::DrawColor(hDC, GetThumbRect(true), 0xAA000000);
    }
}

}  // namespace SkinUI
