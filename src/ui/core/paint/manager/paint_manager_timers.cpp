#include "ui/core/paint/control/control.h"
#include "ui/core/paint/manager/paint_manager_internal.h"

namespace SkinUI {

bool CPaintManagerUI::TimerIdInUse(UINT uWinTimer) const {
  for (int i = 0; i < m_aTimers.GetSize(); ++i) {
    const TimerInfo* timer = static_cast<const TimerInfo*>(m_aTimers[i]);
    if (timer->hWnd == m_hWndPaint && timer->uWinTimer == uWinTimer) return true;
  }
  return false;
}

bool CPaintManagerUI::SetTimer(CControlUI* pControl, UINT nTimerID, UINT uElapse) {
  if (pControl == nullptr) return false;
  pControl->SetHoldingManager(this);
  for (int i = 0; i < m_aTimers.GetSize(); ++i) {
    TimerInfo* timer = static_cast<TimerInfo*>(m_aTimers[i]);
    if (timer->pSender != pControl || timer->hWnd != m_hWndPaint || timer->nLocalID != nTimerID) continue;
    if (!timer->bKilled) return false;
    if (::SetTimer(m_hWndPaint, timer->uWinTimer, uElapse, nullptr) == 0) return false;
    timer->bKilled = false;
    return true;
  }
  // Window timer ids cycle through the control range; an id still held by another entry
  // (live, or killed and kept for re-arming) is skipped so two timers never share it.
  UINT candidate = m_uTimerID;
  bool found = false;
  for (UINT tries = 0; tries < kControlTimerSpan; ++tries) {
    candidate = (candidate + 1) % kControlTimerSpan;
    if (!TimerIdInUse(candidate)) {
      found = true;
      break;
    }
  }
  if (!found) return false;
  m_uTimerID = candidate;
  if (::SetTimer(m_hWndPaint, candidate, uElapse, nullptr) == 0) return false;
  TimerInfo* timer = new TimerInfo{pControl, nTimerID, m_hWndPaint, candidate, false};
  if (!m_aTimers.Add(timer)) {
    ::KillTimer(m_hWndPaint, candidate);
    delete timer;
    return false;
  }
  return true;
}

bool CPaintManagerUI::KillTimer(CControlUI* pControl, UINT nTimerID) {
  for (int i = 0; i < m_aTimers.GetSize(); ++i) {
    TimerInfo* timer = static_cast<TimerInfo*>(m_aTimers[i]);
    if (timer->pSender != pControl || timer->hWnd != m_hWndPaint || timer->nLocalID != nTimerID || timer->bKilled)
      continue;
    if (::IsWindow(m_hWndPaint)) ::KillTimer(timer->hWnd, timer->uWinTimer);
    timer->bKilled = true;
    return true;
  }
  return false;
}

void CPaintManagerUI::KillTimer(CControlUI* pControl) {
  for (int i = m_aTimers.GetSize() - 1; i >= 0; --i) {
    TimerInfo* timer = static_cast<TimerInfo*>(m_aTimers[i]);
    if (timer->pSender != pControl || timer->hWnd != m_hWndPaint) continue;
    if (!timer->bKilled) ::KillTimer(timer->hWnd, timer->uWinTimer);
    m_aTimers.Remove(i);
    delete timer;
  }
}

void CPaintManagerUI::RemoveAllTimers() {
  for (int i = 0; i < m_aTimers.GetSize(); ++i) {
    TimerInfo* timer = static_cast<TimerInfo*>(m_aTimers[i]);
    if (!timer->bKilled && ::IsWindow(timer->hWnd)) ::KillTimer(timer->hWnd, timer->uWinTimer);
    delete timer;
  }
  m_aTimers.Empty();
}

void CPaintManagerUI::OnTimerMessage(WPARAM wParam, LPARAM lParam) {
  UINT id = LOWORD(wParam);
  if (id == kCaretTimerId) {
    Invalidate(m_rtCaret);
    m_bCaretShowing = !m_bCaretShowing;
    return;
  }
  for (int i = 0; i < m_aTimers.GetSize(); ++i) {
    TimerInfo* timer = static_cast<TimerInfo*>(m_aTimers[i]);
    if (timer->hWnd != m_hWndPaint || timer->uWinTimer != id || timer->bKilled) continue;
    SendEvent(timer->pSender, UIEVENT_TIMER, timer->nLocalID, lParam, m_ptLastMousePos, 0, UIMapKeyState());
    return;
  }
}

}  // namespace SkinUI
