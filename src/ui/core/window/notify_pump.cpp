#include "ui/core/window/notify_pump.h"

#include <cwchar>

#include "ui/core/paint/control/control.h"

namespace SkinUI {

const UI_MSGMAP_ENTRY CNotifyPump::_messageEntries[] = {EndEntry()};
const UI_MSGMAP CNotifyPump::messageMap = {nullptr, &CNotifyPump::_messageEntries[0]};

CNotifyPump::CNotifyPump() : m_VirtualWndMap(83) {}

const UI_MSGMAP* CNotifyPump::GetNotifyMap() const { return &messageMap; }

bool CNotifyPump::AddVirtualWnd(const wchar_t* strName, CNotifyPump* pObject) {
  if (strName == nullptr || m_VirtualWndMap.Find(strName) != nullptr) return false;
  return m_VirtualWndMap.Insert(strName, pObject);
}

bool CNotifyPump::Dispatch(NotifyRecordUI& msg) {
  if (!msg.sVirtualWnd.IsEmpty()) {
    for (int i = 0; i < m_VirtualWndMap.GetSize(); ++i) {
      const wchar_t* key = m_VirtualWndMap.GetAt(i);
      if (key == nullptr || _wcsicmp(key, msg.sVirtualWnd.GetData()) != 0) continue;
      CNotifyPump* pump = static_cast<CNotifyPump*>(m_VirtualWndMap.Find(key, false));
      if (pump != nullptr && DispatchInMap(pump, msg)) return true;
    }
  }
  return DispatchInMap(this, msg);
}

bool CNotifyPump::DispatchInMap(CNotifyPump* pump, NotifyRecordUI& msg) {
  for (const UI_MSGMAP* map = pump->GetNotifyMap(); map != nullptr; map = map->pBaseMap) {
    const UI_MSGMAP_ENTRY* entry = FindEntry(map->lpEntries, msg);
    if (entry == nullptr) continue;
    if (entry->nSig == UINotifySig_lwl) {
      (pump->*(entry->pfnParam))(msg.wParam, msg.lParam);
      return true;
    }
    if (entry->nSig == UINotifySig_vn) {
      (pump->*(entry->pfnNotify))(msg);
      return true;
    }
    return false;
  }
  return false;
}

const UI_MSGMAP_ENTRY* CNotifyPump::FindEntry(const UI_MSGMAP_ENTRY* lpEntry, NotifyRecordUI& msg) {
  CUIString sender = msg.pSender != nullptr ? msg.pSender->GetName() : CUIString();
  const UI_MSGMAP_ENTRY* unnamed = nullptr;
  for (; lpEntry->nSig != UINotifySig_end; ++lpEntry) {
    if (lpEntry->sMsgType != msg.sType.GetData()) continue;
    if (!lpEntry->sCtrlName.IsEmpty()) {
      if (lpEntry->sCtrlName == sender.GetData()) return lpEntry;
    } else {
      unnamed = lpEntry;
    }
  }
  return unnamed;
}

}  // namespace SkinUI
