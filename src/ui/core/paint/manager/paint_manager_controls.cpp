// The manager's lists of listeners and the controls it points at, and how it forgets a control
// that dies or moves to another manager. A control registers through its manager pointer, but that
// pointer may be cleared (the dialog builder clears it after the attributes) before the control
// goes: so the manager remembers which control each listener belongs to, and every manager is
// asked when a control dies.
#include "ui/core/paint/control/control.h"
#include "ui/core/paint/manager/paint_manager_internal.h"

namespace SkinUI {

namespace {

void RemoveEvery(CUIPtrArray& list, const void* entry) {
  for (int i = list.GetSize() - 1; i >= 0; --i) {
    if (list[i] == entry) list.Remove(i);
  }
}

bool IsManager(CPaintManagerUI* manager) { return UIGlobals().managers.Find(manager) >= 0; }

}  // namespace

void CPaintManagerUI::ForgetControl(CControlUI* pControl) {
  CUIPtrArray& managers = UIGlobals().managers;
  for (int i = 0; i < managers.GetSize(); ++i) {
    CPaintManagerUI* manager = static_cast<CPaintManagerUI*>(managers[i]);
    manager->ReapObjects(pControl);
    if (manager->m_pRoot == pControl) manager->m_pRoot = nullptr;
  }
}

void CPaintManagerUI::ReleaseMovedControl(CPaintManagerUI* pFormer, CControlUI* pControl) {
  if (IsManager(pFormer)) pFormer->ReleaseControl(pControl);
}

void CPaintManagerUI::ReapObjects(CControlUI* pControl) {
  if (pControl == nullptr) return;
  ReleaseControl(pControl);
  CUIString name = pControl->GetName();
  if (!name.IsEmpty() && m_mNameHash.Find(name.GetData()) == pControl) m_mNameHash.Remove(name.GetData());
  for (int i = 0; i < m_aAsyncNotify.GetSize(); ++i) {
    NotifyRecordUI* record = static_cast<NotifyRecordUI*>(m_aAsyncNotify[i]);
    if (record->pSender == pControl) record->pSender = nullptr;
  }
}

void CPaintManagerUI::ReleaseControl(CControlUI* pControl) {
  if (pControl == m_pEventKey) m_pEventKey = nullptr;
  if (pControl == m_pEventHover) m_pEventHover = nullptr;
  if (pControl == m_pEventClick) m_pEventClick = nullptr;
  if (pControl == m_pFocus) m_pFocus = nullptr;
  // A control that is gone must not be painted or draw the caret afterwards.
  if (pControl == m_pCaretOwner) m_pCaretOwner = nullptr;
  RemoveEvery(m_aPostPaintControls, pControl);
  // A layout in progress places the controls it found one by one, and one may delete another: the
  // place is kept, empty, so that none after it is passed over.
  for (int i = 0; i < m_aFoundControls.GetSize(); ++i) {
    if (m_aFoundControls[i] == pControl) m_aFoundControls.SetAt(i, nullptr);
  }
  if (m_queuedForCleanup.erase(pControl) > 0) RemoveEvery(m_aDelayedCleanup, pControl);
  ReleaseTimers(pControl);
  ReleaseListeners(pControl);
  ReleaseOptionGroups(pControl);
}

// Every timer of the control, of any window this manager had.
void CPaintManagerUI::ReleaseTimers(CControlUI* pControl) {
  for (int i = m_aTimers.GetSize() - 1; i >= 0; --i) {
    TimerInfo* timer = static_cast<TimerInfo*>(m_aTimers[i]);
    if (timer->pSender != pControl) continue;
    if (!timer->bKilled && ::IsWindow(timer->hWnd)) ::KillTimer(timer->hWnd, timer->uWinTimer);
    m_aTimers.Remove(i);
    delete timer;
  }
}

void CPaintManagerUI::ReleaseListeners(CControlUI* pControl) {
  for (size_t i = m_listenerOwners.size(); i-- > 0;) {
    if (m_listenerOwners[i].owner != pControl) continue;
    void* listener = m_listenerOwners[i].listener;
    RemoveEvery(m_aNotifiers, listener);
    RemoveEvery(m_aTranslateAccelerator, listener);
    RemoveEvery(m_aPreMessageFilters, listener);
    RemoveEvery(m_aMessageFilters, listener);
    m_listenerOwners.erase(m_listenerOwners.begin() + static_cast<std::ptrdiff_t>(i));
  }
}

void CPaintManagerUI::ReleaseOptionGroups(CControlUI* pControl) {
  std::vector<CUIString> memberOf;
  for (int i = 0; i < m_mOptionGroup.GetSize(); ++i) {
    const wchar_t* group = m_mOptionGroup.GetAt(i);
    const CUIPtrArray* members = GetOptionGroup(group);
    if (members != nullptr && members->Find(pControl) >= 0) memberOf.push_back(CUIString(group));
  }
  for (const CUIString& group : memberOf) RemoveOptionGroup(group.GetData(), pControl);
}

// A listener that is a control is remembered with it: the control's death or move takes it out
// of every list whatever the control's manager pointer says then.
void CPaintManagerUI::NoteListener(void* pListener, CControlUI* pOwner) {
  if (pOwner == nullptr) return;
  pOwner->SetHoldingManager(this);
  for (const ListenerOwner& known : m_listenerOwners) {
    if (known.listener == pListener) return;
  }
  m_listenerOwners.push_back(ListenerOwner{pListener, pOwner});
}

// A control's listener is asked only while the control is attached to this manager: between the
// builder's clearing of its manager and the tree's attachment it is half made.
bool CPaintManagerUI::ListenerAttached(void* pListener) const {
  for (const ListenerOwner& known : m_listenerOwners) {
    if (known.listener == pListener) return known.owner->GetManager() == this;
  }
  return true;
}

bool CPaintManagerUI::AddNotifier(INotifyUI* pNotifier) {
  NoteListener(pNotifier, dynamic_cast<CControlUI*>(pNotifier));
  return m_aNotifiers.Add(pNotifier);
}

bool CPaintManagerUI::RemoveNotifier(INotifyUI* pNotifier) {
  int index = m_aNotifiers.Find(pNotifier);
  return index >= 0 && m_aNotifiers.Remove(index);
}

bool CPaintManagerUI::AddPreMessageFilter(IMessageFilterUI* pFilter) {
  NoteListener(pFilter, dynamic_cast<CControlUI*>(pFilter));
  return m_aPreMessageFilters.Add(pFilter);
}

bool CPaintManagerUI::RemovePreMessageFilter(IMessageFilterUI* pFilter) {
  int index = m_aPreMessageFilters.Find(pFilter);
  return index >= 0 && m_aPreMessageFilters.Remove(index);
}

bool CPaintManagerUI::AddMessageFilter(IMessageFilterUI* pFilter) {
  NoteListener(pFilter, dynamic_cast<CControlUI*>(pFilter));
  return m_aMessageFilters.Add(pFilter);
}

bool CPaintManagerUI::RemoveMessageFilter(IMessageFilterUI* pFilter) {
  int index = m_aMessageFilters.Find(pFilter);
  return index >= 0 && m_aMessageFilters.Remove(index);
}

bool CPaintManagerUI::AddTranslateAccelerator(ITranslateAccelerator* pTranslateAccelerator) {
  NoteListener(pTranslateAccelerator, dynamic_cast<CControlUI*>(pTranslateAccelerator));
  return m_aTranslateAccelerator.Add(pTranslateAccelerator);
}

bool CPaintManagerUI::RemoveTranslateAccelerator(ITranslateAccelerator* pTranslateAccelerator) {
  int index = m_aTranslateAccelerator.Find(pTranslateAccelerator);
  return index >= 0 && m_aTranslateAccelerator.Remove(index);
}

bool CPaintManagerUI::AddPostPaint(CControlUI* pControl) {
  if (pControl != nullptr) pControl->SetHoldingManager(this);
  return m_aPostPaintControls.Add(pControl);
}

bool CPaintManagerUI::RemovePostPaint(CControlUI* pControl) {
  int index = m_aPostPaintControls.Find(pControl);
  return index >= 0 && m_aPostPaintControls.Remove(index);
}

}  // namespace SkinUI
