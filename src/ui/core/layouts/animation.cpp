#include "ui/core/layouts/animation.h"

#include <algorithm>

#include "ui/core/paint/manager/paint_manager.h"

namespace SkinUI {

CUIAnimation::CUIAnimation(CControlUI* pOwner)
    : m_pControl(pOwner), m_arAnimations(new std::vector<AnimationData*>), m_nextSerial(1) {}

CUIAnimation::~CUIAnimation() {
  // The owner's manager kills the timers when it forgets the control; the records go here.
  for (AnimationData* data : *m_arAnimations) delete data;
  delete m_arAnimations;
}

bool CUIAnimation::StartAnimation(int nElapse, int nTotalFrame, int nAnimationID, bool bLoop) {
  if (m_pControl == nullptr || nElapse <= 0 || nTotalFrame <= 0) return false;
  if (GetAnimationDataByID(nAnimationID) != nullptr) return false;
  CPaintManagerUI* manager = m_pControl->GetManager();
  if (manager == nullptr) return false;
  if (!manager->SetTimer(m_pControl, static_cast<UINT>(nAnimationID), static_cast<UINT>(nElapse))) return false;
  m_arAnimations->push_back(new AnimationData{nAnimationID, nElapse, nTotalFrame, 0, bLoop, true, m_nextSerial++});
  return true;
}

void CUIAnimation::KillTimerOf(int nAnimationID) {
  CPaintManagerUI* manager = m_pControl->GetManager();
  if (manager != nullptr) manager->KillTimer(m_pControl, static_cast<UINT>(nAnimationID));
}

void CUIAnimation::StopAnimation(int nAnimationID) {
  if (m_pControl == nullptr) return;
  if (nAnimationID == 0) {
    std::vector<AnimationData*> all;
    all.swap(*m_arAnimations);
    for (AnimationData* data : all) {
      KillTimerOf(data->nAnimationID);
      delete data;
    }
    return;
  }
  auto found = std::find_if(m_arAnimations->begin(), m_arAnimations->end(),
                            [nAnimationID](const AnimationData* d) { return d->nAnimationID == nAnimationID; });
  if (found == m_arAnimations->end()) return;
  AnimationData* data = *found;
  m_arAnimations->erase(found);
  KillTimerOf(nAnimationID);
  delete data;
}

bool CUIAnimation::IsAnimationRunning(int nAnimationID) { return GetAnimationDataByID(nAnimationID) != nullptr; }

int CUIAnimation::GetCurrentFrame(int nAnimationID) {
  AnimationData* data = GetAnimationDataByID(nAnimationID);
  return data != nullptr ? data->nCurFrame : -1;
}

bool CUIAnimation::SetCurrentFrame(int nFrame, int nAnimationID) {
  AnimationData* data = GetAnimationDataByID(nAnimationID);
  if (data == nullptr || nFrame < 0 || nFrame > data->nTotalFrame) return false;
  data->nCurFrame = nFrame;
  return true;
}

void CUIAnimation::OnAnimationStep(int, int, int) {}
void CUIAnimation::OnAnimationStart(int, bool) {}
void CUIAnimation::OnAnimationStop(int) {}

AnimationData* CUIAnimation::GetAnimationDataByID(int nAnimationID) {
  for (AnimationData* data : *m_arAnimations) {
    if (data->nAnimationID == nAnimationID) return data;
  }
  return nullptr;
}

AnimationData* CUIAnimation::StillRunning(int nAnimationID, unsigned serial) {
  AnimationData* data = GetAnimationDataByID(nAnimationID);
  return (data != nullptr && data->serial == serial) ? data : nullptr;
}

void CUIAnimation::OnAnimationElapse(int nAnimationID) {
  if (m_pControl == nullptr) return;
  AnimationData* data = GetAnimationDataByID(nAnimationID);
  if (data == nullptr) return;
  // A hook may stop this animation or start a new one of the same id: after each hook the
  // record is looked up again and left alone when it is gone or is another one.
  const unsigned serial = data->serial;
  const int frame = data->nCurFrame;
  if (frame == 0) {
    const bool first = data->bFirstLoop;
    data->bFirstLoop = false;
    OnAnimationStart(nAnimationID, first);
    if ((data = StillRunning(nAnimationID, serial)) == nullptr) return;
  }
  OnAnimationStep(data->nTotalFrame, frame, nAnimationID);
  if ((data = StillRunning(nAnimationID, serial)) == nullptr) return;
  if (frame >= data->nTotalFrame) {
    OnAnimationStop(nAnimationID);
    if ((data = StillRunning(nAnimationID, serial)) == nullptr) return;
    if (data->bLoop) {
      data->nCurFrame = 0;
    } else {
      StopAnimation(nAnimationID);
      return;
    }
  }
  data->nCurFrame += 1;
}

}  // namespace SkinUI
