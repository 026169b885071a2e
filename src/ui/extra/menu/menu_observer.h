// What the open menus of the process share: the observer that closes them, the check states and the
// record a leaf item's click posts.
#pragma once
#include <windows.h>

#include "ui/core/base/ui_ptr_array.h"
#include "ui/core/base/ui_string_map.h"

namespace SkinUI {

class CPaintManagerUI;

// Posted to the window of the manager that opened the menu when a leaf item is clicked. wParam is a
// `MenuCommandRecord*` that the receiver owns and deletes; lParam is 0 (the item may be gone by the
// time the message is read: the record holds all there is to know).
const UINT kMenuCommandMessage = WM_USER + 121;

// The check state of the items of one name, kept in the host's check map under that name. The
// menu allocates a record when a name is first set; the host's map keeps it (and frees it).
struct MenuCheckRecord {
  wchar_t szName[256];
  bool bChecked;
};

// What a click on a leaf item reports: texts cut to their fields, always zero-terminated.
struct MenuCommandRecord {
  wchar_t szName[256];
  wchar_t szUserData[1024];
  wchar_t szText[1024];
  INT32 bChecked;
};
static_assert(sizeof(MenuCommandRecord) == 4612, "the command record's layout is fixed");

// Broadcast codes: close every menu, or the menus below a given menu window.
enum MenuBroadcastCode { kMenuCloseAll = 1, kMenuCloseBelow = 2 };

class MenuObserverImpl;

// A party to menu broadcasts: each open menu window.
class MenuReceiverImpl {
 public:
  virtual void AddObserver(MenuObserverImpl* pObserver);
  virtual void RemoveObserver();
  virtual BOOL Receive(int code, HWND hWnd);

 protected:
  ~MenuReceiverImpl() = default;

 private:
  CUIPtrArray m_observers;
};

// The process's open menu windows, the manager of the window that opened the root menu, and the
// host's check map. UI thread only.
class MenuObserverImpl {
 public:
  static MenuObserverImpl* GetGlobal();

  virtual void AddReceiver(MenuReceiverImpl* pReceiver);
  virtual void RemoveReceiver(MenuReceiverImpl* pReceiver);
  // Every receiver, the last registered first.
  virtual BOOL Broadcast(int code, HWND hWnd);
  virtual void SetMainManager(CPaintManagerUI* pManager);
  virtual CPaintManagerUI* GetMainManager() const;
  // The host's map, kept while any menu is open; the next root menu is given it again.
  virtual void SetCheckMap(CUIStringMap* pMap);
  virtual CUIStringMap* GetCheckMap() const;

  int GetReceiverCount() const { return m_receivers.GetSize(); }
  MenuReceiverImpl* GetReceiverAt(int index) const { return static_cast<MenuReceiverImpl*>(m_receivers[index]); }

 private:
  MenuObserverImpl() = default;
  ~MenuObserverImpl() = default;

  CUIPtrArray m_receivers;
  CPaintManagerUI* m_pMainManager = nullptr;
  CUIStringMap* m_pCheckMap = nullptr;
};

}  // namespace SkinUI
