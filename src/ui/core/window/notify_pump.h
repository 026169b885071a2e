#pragma once
#include "ui/core/paint/manager/ui_events.h"
#include "ui/core/base/ui_string.h"
#include "ui/core/base/ui_string_map.h"

namespace SkinUI {

class CNotifyPump;

typedef void (CNotifyPump::*UINotifyHandler)(NotifyRecordUI&);
typedef LRESULT (CNotifyPump::*UIParamHandler)(WPARAM, LPARAM);

enum UINotifySig : UINT {
  UINotifySig_end = 0,
  UINotifySig_lwl = 1,  // handler (wParam, lParam) -> result
  UINotifySig_vn = 2,   // handler (record)
};

struct UI_MSGMAP_ENTRY {
  CUIString sMsgType;
  CUIString sCtrlName;
  UINT nSig;
  UINotifyHandler pfnNotify;
  UIParamHandler pfnParam;
};

struct UI_MSGMAP {
  const UI_MSGMAP* pBaseMap;
  const UI_MSGMAP_ENTRY* lpEntries;
};

// Sends framework notifications to the handlers listed in a class's static message map.
class CNotifyPump {
 public:
  CNotifyPump();
  virtual const UI_MSGMAP* GetNotifyMap() const;

  bool AddVirtualWnd(const wchar_t* strName, CNotifyPump* pObject);
  bool Dispatch(NotifyRecordUI& msg);
  bool DispatchInMap(CNotifyPump* pump, NotifyRecordUI& msg);
  static const UI_MSGMAP_ENTRY* FindEntry(const UI_MSGMAP_ENTRY* lpEntry, NotifyRecordUI& msg);

 protected:
  ~CNotifyPump() = default;

  static const UI_MSGMAP_ENTRY _messageEntries[];
  static const UI_MSGMAP messageMap;

 private:
  CUIStringMap m_VirtualWndMap;
};

// A map entry of a handler that takes the notification record.
template <class T>
UI_MSGMAP_ENTRY NotifyEntry(const wchar_t* type, const wchar_t* name, void (T::*handler)(NotifyRecordUI&)) {
  return UI_MSGMAP_ENTRY{CUIString(type), CUIString(name), UINotifySig_vn, static_cast<UINotifyHandler>(handler),
                         nullptr};
}

// A map entry of a handler that takes the notification's two parameters.
template <class T>
UI_MSGMAP_ENTRY ParamEntry(const wchar_t* type, const wchar_t* name, LRESULT (T::*handler)(WPARAM, LPARAM)) {
  return UI_MSGMAP_ENTRY{CUIString(type), CUIString(name), UINotifySig_lwl, nullptr,
                         static_cast<UIParamHandler>(handler)};
}

inline UI_MSGMAP_ENTRY EndEntry() {
  return UI_MSGMAP_ENTRY{CUIString(L""), CUIString(L""), UINotifySig_end, nullptr, nullptr};
}

}  // namespace SkinUI
