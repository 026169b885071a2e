#pragma once
#include <vector>

#include "ui/core/paint/control/control.h"

namespace SkinUI {

// Frame animations of a control, driven by its manager's timers; the control overrides the hooks.
class IUIAnimation {
 public:
  virtual ~IUIAnimation() = default;
  virtual bool StartAnimation(int nElapse, int nTotalFrame, int nAnimationID = 0, bool bLoop = false) = 0;
  virtual void StopAnimation(int nAnimationID = 0) = 0;
  virtual bool IsAnimationRunning(int nAnimationID) = 0;
  virtual int GetCurrentFrame(int nAnimationID = 0) = 0;
  virtual bool SetCurrentFrame(int nFrame, int nAnimationID = 0) = 0;
  virtual void OnAnimationStep(int nTotalFrame, int nCurFrame, int nAnimationID) = 0;
  virtual void OnAnimationStart(int nAnimationID, bool bFirstLoop) = 0;
  virtual void OnAnimationStop(int nAnimationID) = 0;
  virtual void OnAnimationElapse(int nAnimationID) = 0;
};

struct AnimationData {
  int nAnimationID;  // also the manager timer id
  int nElapse;
  int nTotalFrame;
  int nCurFrame;
  bool bLoop;
  bool bFirstLoop;
  unsigned serial;  // tells a record from a later one of the same id started by a hook
};

// The animation list of one control. A control using it hands every timer event (code 27) to
// OnAnimationElapse with the event's wParam as the id.
class CUIAnimation : public IUIAnimation {
 public:
  explicit CUIAnimation(CControlUI* pOwner);
  CUIAnimation(const CUIAnimation&) = delete;
  CUIAnimation& operator=(const CUIAnimation&) = delete;
  ~CUIAnimation() override;

  bool StartAnimation(int nElapse, int nTotalFrame, int nAnimationID = 0, bool bLoop = false) override;
  void StopAnimation(int nAnimationID = 0) override;
  bool IsAnimationRunning(int nAnimationID) override;
  int GetCurrentFrame(int nAnimationID = 0) override;
  bool SetCurrentFrame(int nFrame, int nAnimationID = 0) override;
  void OnAnimationStep(int nTotalFrame, int nCurFrame, int nAnimationID) override;
  void OnAnimationStart(int nAnimationID, bool bFirstLoop) override;
  void OnAnimationStop(int nAnimationID) override;
  void OnAnimationElapse(int nAnimationID) override;

 protected:
  AnimationData* GetAnimationDataByID(int nAnimationID);
  // The record of this id only while it is still the one of that serial.
  AnimationData* StillRunning(int nAnimationID, unsigned serial);
  void KillTimerOf(int nAnimationID);

  CControlUI* m_pControl;
  std::vector<AnimationData*>* m_arAnimations;
  unsigned m_nextSerial;
};

}  // namespace SkinUI
