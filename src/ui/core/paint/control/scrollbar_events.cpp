#include "ui/core/paint/control/container.h"
#include "ui/core/paint/manager/paint_manager.h"
#include "ui/core/paint/control/scrollbar.h"

namespace SkinUI {

namespace {

// Ticks of the repeat timer before a held button or track press starts repeating.
const int kRepeatDelayTicks = 5;

}  // namespace

void CScrollBarUI::NotifyScroll() {
  if (m_pManager != nullptr && m_pOwner == nullptr) m_pManager->SendNotify(this, L"scroll");
}

void CScrollBarUI::ForwardEvent(EventRecordUI& event) {
  if (m_pOwner != nullptr)
    m_pOwner->DoEvent(event);
  else
    CControlUI::DoEvent(event);
}

void CScrollBarUI::StepLine(int direction) {
  if (m_pOwner == nullptr) {
    SetScrollPos(m_nScrollPos + direction * m_nLineSize);
  } else if (m_bHorizontal) {
    direction < 0 ? m_pOwner->LineLeft() : m_pOwner->LineRight();
  } else {
    direction < 0 ? m_pOwner->LineUp() : m_pOwner->LineDown();
  }
}

void CScrollBarUI::StepPage(int direction) {
  if (m_pOwner == nullptr) {
    int page = m_bHorizontal ? m_rcItem.right - m_rcItem.left : m_rcItem.bottom - m_rcItem.top;
    SetScrollPos(m_nScrollPos + direction * page);
  } else if (m_bHorizontal) {
    direction < 0 ? m_pOwner->PageLeft() : m_pOwner->PageRight();
  } else {
    direction < 0 ? m_pOwner->PageUp() : m_pOwner->PageDown();
  }
}

void CScrollBarUI::ScrollTo(int nPos) {
  if (m_pOwner == nullptr) {
    SetScrollPos(nPos);
    return;
  }
  SIZE pos = m_pOwner->GetScrollPos();
  if (m_bHorizontal)
    pos.cx = nPos;
  else
    pos.cy = nPos;
  m_pOwner->SetScrollPos(pos, true);
}

// One page toward the point: before the thumb up (left), after it down (right).
void CScrollBarUI::PageTowards(POINT pt) {
  if (m_bHorizontal) {
    if (pt.x < m_rcThumb.left)
      StepPage(-1);
    else if (pt.x >= m_rcThumb.right)
      StepPage(1);
  } else {
    if (pt.y < m_rcThumb.top)
      StepPage(-1);
    else if (pt.y >= m_rcThumb.bottom)
      StepPage(1);
  }
}

// A step of an owner's bar makes the owner notify "scroll", whose receiver may delete the owner
// and with it this bar.
void CScrollBarUI::OnButtonDown(const EventRecordUI& event) {
  CControlWatch alive(this);
  m_nLastScrollOffset = 0;
  m_nScrollRepeatDelay = 0;
  if (m_pManager != nullptr) m_pManager->SetTimer(this, kRepeatTimerId, 50);
  POINT pt = event.ptMouse;
  if (::PtInRect(&m_rcButton1, pt)) {
    m_uButton1State |= kPushed;
    StepLine(-1);
  } else if (::PtInRect(&m_rcButton2, pt)) {
    m_uButton2State |= kPushed;
    StepLine(1);
  } else if (::PtInRect(&m_rcThumb, pt)) {
    m_uThumbState |= kPushed | kCaptured;
    m_ptLastMouse = pt;
    m_nLastScrollPos = m_nScrollPos;
  } else {
    PageTowards(pt);
  }
  if (!alive) return;
  Invalidate();
  NotifyScroll();
}

void CScrollBarUI::OnButtonUp() {
  m_nLastScrollOffset = 0;
  m_nScrollRepeatDelay = 0;
  if (m_pManager != nullptr) m_pManager->KillTimer(this, kRepeatTimerId);
  if ((m_uThumbState & kCaptured) != 0)
    m_uThumbState &= ~(kPushed | kCaptured);
  else if ((m_uButton1State & kPushed) != 0)
    m_uButton1State &= ~kPushed;
  else if ((m_uButton2State & kPushed) != 0)
    m_uButton2State &= ~kPushed;
  else
    return;
  Invalidate();
}

void CScrollBarUI::OnMouseMove(const EventRecordUI& event) {
  if ((m_uThumbState & kCaptured) != 0) {
    int itemLength = m_bHorizontal ? m_rcItem.right - m_rcItem.left : m_rcItem.bottom - m_rcItem.top;
    int thumbLength = m_bHorizontal ? m_rcThumb.right - m_rcThumb.left : m_rcThumb.bottom - m_rcThumb.top;
    int track = itemLength - thumbLength - 2 * (m_bHorizontal ? m_cyFixed : m_cxFixed);
    if (track == 0) return;
    if (track < 0) track = -track;
    int moved = m_bHorizontal ? event.ptMouse.x - m_ptLastMouse.x : event.ptMouse.y - m_ptLastMouse.y;
    m_nLastScrollOffset = static_cast<int>(static_cast<long long>(moved) * m_nRange / track);
    return;
  }
  bool hot = (m_uThumbState & kHot) != 0;
  bool inThumb = ::PtInRect(&m_rcThumb, event.ptMouse) != FALSE;
  if (inThumb && !hot && IsEnabled())
    m_uThumbState |= kHot;
  else if (!inThumb && hot)
    m_uThumbState &= ~kHot;
  if (hot != ((m_uThumbState & kHot) != 0)) Invalidate();
}

void CScrollBarUI::OnTimer() {
  CControlWatch alive(this);
  ++m_nScrollRepeatDelay;
  if ((m_uThumbState & kCaptured) != 0) {
    ScrollTo(m_nLastScrollPos + m_nLastScrollOffset);
    if (!alive) return;
    Invalidate();
  } else if (m_nScrollRepeatDelay <= kRepeatDelayTicks) {
    return;
  } else if ((m_uButton1State & kPushed) != 0) {
    StepLine(-1);
  } else if ((m_uButton2State & kPushed) != 0) {
    StepLine(1);
  } else {
    POINT pt = {0, 0};
    ::GetCursorPos(&pt);
    if (m_pManager != nullptr) ::ScreenToClient(m_pManager->GetPaintWindow(), &pt);
    PageTowards(pt);
  }
  if (alive) NotifyScroll();
}

void CScrollBarUI::DoEvent(EventRecordUI& event) {
  int type = event.Type;
  if (!IsMouseEnabled() && type >= UIEVENT__MOUSEFIRST && type <= UIEVENT__MOUSELAST) {
    ForwardEvent(event);
    return;
  }
  switch (type) {
    case UIEVENT_SETFOCUS:
    case UIEVENT_KILLFOCUS:
    case UIEVENT_CONTEXTMENU:
      return;
    case UIEVENT_BUTTONDOWN:
    case UIEVENT_DBLCLICK:
      if (!IsEnabled()) break;
      OnButtonDown(event);
      return;
    case UIEVENT_BUTTONUP:
      OnButtonUp();
      return;
    case UIEVENT_MOUSEMOVE:
      OnMouseMove(event);
      return;
    case UIEVENT_TIMER:
      if (event.wParam != kRepeatTimerId) break;
      OnTimer();
      return;
    case UIEVENT_MOUSEENTER:
      if (!IsEnabled()) break;
      m_uButton1State |= kHot;
      m_uButton2State |= kHot;
      if (::PtInRect(&m_rcThumb, event.ptMouse)) m_uThumbState |= kHot;
      Invalidate();
      return;
    case UIEVENT_MOUSELEAVE:
      if (!IsEnabled()) break;
      m_uButton1State &= ~kHot;
      m_uButton2State &= ~kHot;
      m_uThumbState &= ~kHot;
      Invalidate();
      return;
    default:
      break;
  }
  ForwardEvent(event);
}

}  // namespace SkinUI
