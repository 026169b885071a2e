#include "ui/core/layouts/animation_tab_layout.h"

#include <cwchar>

#include "ui/core/paint/manager/paint_manager.h"

namespace SkinUI {

CAnimationTabLayoutUI::CAnimationTabLayoutUI()
    : CUIAnimation(this),
      m_bIsVerticalDirection(false),
      m_nPositiveDirection(1),
      m_pCurrentControl(nullptr),
      m_bControlVisibleFlag(false),
      m_nStep(0) {}

CAnimationTabLayoutUI::~CAnimationTabLayoutUI() { StopAnimation(0); }

const wchar_t* CAnimationTabLayoutUI::GetClass() const { return L"AnimationTabLayoutUI"; }

LPVOID CAnimationTabLayoutUI::GetInterface(const wchar_t* pstrName) {
  if (pstrName != nullptr && _wcsicmp(pstrName, L"AnimationTabLayout") == 0) {
    return static_cast<CAnimationTabLayoutUI*>(this);
  }
  return CTabLayoutUI::GetInterface(pstrName);
}

// As the tab layout's: the page is looked up again after each call that may reach the program.
bool CAnimationTabLayoutUI::SelectItem(int iIndex) {
  if (iIndex < 0 || iIndex >= GetCount()) return false;
  if (iIndex == m_iCurSel) return true;
  m_nPositiveDirection = iIndex > m_iCurSel ? -1 : 1;
  CChildWatch page(this, GetItemAt(iIndex));
  m_iCurSel = iIndex;
  auto holds = [&] { return (iIndex = page.Index()) >= 0 && iIndex == m_iCurSel; };
  for (int i = 0; i < GetCount(); ++i) {
    CControlUI* child = GetItemAt(i);
    int count = GetCount();
    if (child == page.Child()) {
      child->SetVisible(true);
      child->SetFocus();
    } else {
      child->SetVisible(false);
    }
    if (!holds()) return true;
    if (GetCount() != count || GetItemAt(i) != child) i = -1;
  }
  m_pCurrentControl = page.Child();
  m_bControlVisibleFlag = false;
  NeedParentUpdate();
  // Hidden until the first frame places it at the start of the slide.
  m_pCurrentControl->SetVisible(false);
  if (!holds()) return true;
  AnimationSwitch();
  if (m_pManager != nullptr) {
    m_pManager->SetNextTabControl();
    if (!holds()) return true;
    m_pManager->SendNotify(this, L"tabselect", static_cast<WPARAM>(iIndex), static_cast<LPARAM>(iIndex));
  }
  return true;
}

void CAnimationTabLayoutUI::AnimationSwitch() {
  // A slide that restarts mid-way keeps the place the running one was heading for.
  if (!IsAnimationRunning(kSlideAnimationId)) m_rcItemOld = m_rcItem;
  m_rcCurPos = m_rcItemOld;
  const RECT& rest = m_rcItemOld;
  int offset = 0;
  if (!m_bIsVerticalDirection) {
    offset = (rest.left - rest.right + kSlideOverlap) * m_nPositiveDirection;
    m_rcCurPos.left += offset;
    m_rcCurPos.right += offset;
  } else {
    offset = -(rest.bottom - rest.top) * m_nPositiveDirection;
    m_rcCurPos.top += offset;
    m_rcCurPos.bottom += offset;
  }
  // The steps of all frames but the last cover at most the start offset, so the page never
  // passes its place; the last frame puts it there exactly.
  m_nStep = -offset / kSlideFrames;
  StopAnimation(kSlideAnimationId);
  StartAnimation(kSlideElapse, kSlideFrames, kSlideAnimationId, false);
}

void CAnimationTabLayoutUI::OnAnimationStep(int nTotalFrame, int nCurFrame, int) {
  if (!m_bControlVisibleFlag) {
    m_bControlVisibleFlag = true;
    // The page slid in is shown only while it is still the selected one: it may have gone.
    if (m_pCurrentControl != nullptr && m_pCurrentControl == GetItemAt(m_iCurSel)) m_pCurrentControl->SetVisible(true);
  }
  if (nCurFrame >= nTotalFrame) {
    m_rcCurPos = m_rcItemOld;
    m_rcItem = m_rcItemOld;
  } else if (!m_bIsVerticalDirection) {
    m_rcCurPos.left += m_nStep;
    m_rcCurPos.right += m_nStep;
  } else {
    m_rcCurPos.top += m_nStep;
    m_rcCurPos.bottom += m_nStep;
  }
  SetPos(m_rcCurPos, true);
}

void CAnimationTabLayoutUI::OnAnimationStop(int) {
  SetPos(m_rcItemOld, true);
  NeedParentUpdate();
}

void CAnimationTabLayoutUI::OnTimer(int nTimerID) { OnAnimationElapse(nTimerID); }

void CAnimationTabLayoutUI::DoEvent(EventRecordUI& event) {
  if (event.Type == UIEVENT_TIMER) OnTimer(static_cast<int>(event.wParam));
  CContainerUI::DoEvent(event);
}

void CAnimationTabLayoutUI::SetAttribute(const wchar_t* pstrName, const wchar_t* pstrValue) {
  if (pstrName != nullptr && pstrValue != nullptr && _wcsicmp(pstrName, L"animation_direction") == 0 &&
      _wcsicmp(pstrValue, L"vertical") == 0) {
    m_bIsVerticalDirection = true;
  }
  CTabLayoutUI::SetAttribute(pstrName, pstrValue);
}

}  // namespace SkinUI
