#include "ui/core/paint/control/container.h"
#include "ui/core/paint/manager/paint_manager.h"
#include "ui/core/paint/render/render_clip.h"
#include "ui/core/paint/control/scrollbar.h"

namespace SkinUI {

namespace {

bool Meets(const RECT& a, const RECT& b) {
  RECT tmp;
  return ::IntersectRect(&tmp, &a, &b) != FALSE;
}

}  // namespace

void CContainerUI::DoPaint(HDC hDC, const RECT& rcPaint) {
  RECT dirty;
  if (!::IntersectRect(&dirty, &rcPaint, &m_rcItem)) return;
  CRenderClip clip;
  CRenderClip::CreateRect(hDC, dirty, clip);
  CControlUI::DoPaint(hDC, rcPaint);
  PaintChildrenAndBars(hDC, rcPaint);
}

void CContainerUI::PaintChildrenAndBars(HDC hDC, const RECT& rcPaint) {
  if (!m_items.IsEmpty()) {
    RECT client = m_rcItem;
    RECT inset = GetInset();
    client.left += inset.left;
    client.top += inset.top;
    client.right -= inset.right;
    client.bottom -= inset.bottom;
    if (IsBarVisible(m_pVerticalScrollBar)) client.right -= m_pVerticalScrollBar->GetFixedWidth();
    if (IsBarVisible(m_pHorizontalScrollBar)) client.bottom -= m_pHorizontalScrollBar->GetFixedHeight();
    RECT dirtyClient;
    if (!::IntersectRect(&dirtyClient, &rcPaint, &client)) {
      for (int i = 0; i < m_items.GetSize(); ++i) {
        CControlUI* child = ChildAt(i);
        if (child->IsVisible() && child->IsFloat() && Meets(child->GetPos(), rcPaint) &&
            Meets(child->GetPos(), m_rcItem)) {
          child->DoPaint(hDC, rcPaint);
        }
      }
    } else {
      CRenderClip childClip;
      CRenderClip::CreateRect(hDC, dirtyClient, childClip);
      for (int i = 0; i < m_items.GetSize(); ++i) {
        CControlUI* child = ChildAt(i);
        if (!child->IsVisible() || !Meets(child->GetPos(), rcPaint)) continue;
        if (child->IsFloat()) {
          if (!Meets(child->GetPos(), m_rcItem)) continue;
          // A float child may paint outside the client area.
          childClip.SelectSavedRegion();
          child->DoPaint(hDC, rcPaint);
          childClip.SelectOwnRegion();
        } else if (Meets(child->GetPos(), client)) {
          child->DoPaint(hDC, rcPaint);
        }
      }
    }
  }
  PaintBars(hDC, rcPaint);
}

void CContainerUI::PaintBars(HDC hDC, const RECT& rcPaint) {
  if (IsBarVisible(m_pVerticalScrollBar) && Meets(m_pVerticalScrollBar->GetPos(), rcPaint)) {
    m_pVerticalScrollBar->DoPaint(hDC, rcPaint);
  }
  if (IsBarVisible(m_pHorizontalScrollBar) && Meets(m_pHorizontalScrollBar->GetPos(), rcPaint)) {
    m_pHorizontalScrollBar->DoPaint(hDC, rcPaint);
  }
}

CControlUI* CContainerUI::FindControl(FINDCONTROLPROC Proc, LPVOID pData, UINT uFlags) {
  bool hitTest = (uFlags & UIFIND_HITTEST) != 0;
  if ((uFlags & UIFIND_VISIBLE) != 0 && !IsVisible()) return nullptr;
  if ((uFlags & UIFIND_ENABLED) != 0 && !IsEnabled()) return nullptr;
  if (hitTest && !::PtInRect(&m_rcItem, *static_cast<POINT*>(pData))) return nullptr;
  if ((uFlags & UIFIND_UPDATETEST) != 0 && Proc(this, pData) != nullptr) return this;
  bool selfAllowed = !hitTest || m_bMouseEnabled;
  if ((uFlags & UIFIND_ME_FIRST) != 0 && selfAllowed) {
    CControlUI* found = Proc(this, pData);
    if (found != nullptr) return found;
  }
  if (selfAllowed) {
    if (m_pVerticalScrollBar != nullptr) {
      CControlUI* found = m_pVerticalScrollBar->FindControl(Proc, pData, uFlags);
      if (found != nullptr) return found;
    }
    if (m_pHorizontalScrollBar != nullptr) {
      CControlUI* found = m_pHorizontalScrollBar->FindControl(Proc, pData, uFlags);
      if (found != nullptr) return found;
    }
  }
  if (!hitTest || m_bMouseChildEnabled) {
    RECT client = m_rcItem;
    client.left += m_rcInset.left;
    client.top += m_rcInset.top;
    client.right -= m_rcInset.right;
    client.bottom -= m_rcInset.bottom;
    if (IsBarVisible(m_pVerticalScrollBar)) client.right -= m_pVerticalScrollBar->GetFixedWidth();
    if (IsBarVisible(m_pHorizontalScrollBar)) client.bottom -= m_pHorizontalScrollBar->GetFixedHeight();
    int count = m_items.GetSize();
    bool fromLast = (uFlags & UIFIND_TOP_FIRST) != 0;
    for (int n = 0; n < count; ++n) {
      CControlUI* child = ChildAt(fromLast ? count - 1 - n : n);
      CControlUI* found = child->FindControl(Proc, pData, uFlags);
      if (found == nullptr) continue;
      if (!hitTest || found->IsFloat() || ::PtInRect(&client, *static_cast<POINT*>(pData))) return found;
    }
  }
  if ((uFlags & UIFIND_ME_FIRST) == 0 && selfAllowed) return Proc(this, pData);
  return nullptr;
}

void CContainerUI::DoEvent(EventRecordUI& event) {
  if (!IsMouseEnabled() && event.Type >= UIEVENT__MOUSEFIRST && event.Type <= UIEVENT__MOUSELAST) {
    if (m_pParent != nullptr)
      m_pParent->DoEvent(event);
    else
      CControlUI::DoEvent(event);
    return;
  }
  if (event.Type == UIEVENT_SETFOCUS) {
    m_bFocused = true;
    return;
  }
  if (event.Type == UIEVENT_KILLFOCUS) {
    m_bFocused = false;
    return;
  }
  bool key = event.Type == UIEVENT_KEYDOWN;
  bool wheel = event.Type == UIEVENT_SCROLLWHEEL;
  if (IsBarVisible(m_pVerticalScrollBar) && m_pVerticalScrollBar->IsEnabled() && (key || wheel)) {
    if (wheel) {
      if (event.wParam == 0)
        LineUp();
      else
        LineDown();
      return;
    }
    switch (event.chKey) {
      case VK_PRIOR:
        PageUp();
        return;
      case VK_NEXT:
        PageDown();
        return;
      case VK_END:
        EndDown();
        return;
      case VK_HOME:
        HomeUp();
        return;
      case VK_UP:
        LineUp();
        return;
      case VK_DOWN:
        LineDown();
        return;
      default:
        break;
    }
  } else if (IsBarVisible(m_pHorizontalScrollBar) && m_pHorizontalScrollBar->IsEnabled() && (key || wheel)) {
    if (wheel) {
      if (event.wParam == 0)
        LineLeft();
      else
        LineRight();
      return;
    }
    switch (event.chKey) {
      case VK_PRIOR:
        PageLeft();
        return;
      case VK_NEXT:
        PageRight();
        return;
      case VK_END:
        EndRight();
        return;
      case VK_HOME:
        HomeLeft();
        return;
      case VK_UP:
        LineLeft();
        return;
      case VK_DOWN:
        LineRight();
        return;
      default:
        break;
    }
  }
  CControlUI::DoEvent(event);
}

}  // namespace SkinUI
