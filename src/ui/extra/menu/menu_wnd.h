#pragma once
#include "ui/core/builder/dialog_builder.h"
#include "ui/core/paint/manager/paint_manager.h"
#include "ui/core/paint/manager/window_wnd.h"
#include "ui/extra/menu/menu.h"

namespace SkinUI {

// Bits of a root menu's alignment: the menu's right (bottom) edge at the position instead of its
// left (top) edge.
enum MenuAlignment : DWORD {
  kMenuAlignLeft = 2,
  kMenuAlignTop = 4,
  kMenuAlignRight = 8,
  kMenuAlignBottom = 16,
};

// A pop-up menu window with its own paint manager: a root menu built from a menu source, or the
// sub-menu of an item, which shows that item's nested items. Every menu window deletes itself when
// its window is destroyed, however that comes about: after Init the host keeps no pointer to it.
// Menus close by posting themselves WM_CLOSE, never while a manager dispatches an event to them.
class CMenuWnd : public CWindowWnd, public MenuReceiverImpl, public INotifyUI, public IDialogBuilderCallback {
 public:
  CMenuWnd();

  // Opens the menu at `point` (screen coordinates): a root menu when `pOwner` is null, built from
  // `xml`, reporting to `pMainPaintManager`'s window, its check states in `pMenuCheckInfo`.
  LRESULT Init(CMenuElementUI* pOwner, STRINGorID xml, POINT point, CPaintManagerUI* pMainPaintManager,
               CUIStringMap* pMenuCheckInfo = nullptr, DWORD dwAlignment = kMenuAlignLeft | kMenuAlignTop);
  // Asks the window to close once the message loop comes back to it.
  void Close(UINT nRet = IDOK);
  bool IsClosing() const { return m_bClosed; }
  CControlUI* GetMenuRoot() const { return m_pm.GetRoot(); }
  // A nested item that its own item deleted (removed) while an open sub-menu borrows it leaves that
  // sub-menu's list, which keeps what it borrows without deleting it.
  static void ForgetBorrowedItem(CMenuElementUI* pItem);
  CPaintManagerUI& GetPaintManager() { return m_pm; }

  BOOL Receive(int code, HWND hWnd) override;
  void Notify(NotifyRecordUI& msg) override;
  CControlUI* CreateControl(const wchar_t* pstrClass) override;

 protected:
  const wchar_t* GetWindowClassName() const override;
  const wchar_t* GetSuperClassName() const override;
  UINT GetClassStyle() const override;
  LRESULT HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override;
  void OnFinalMessage(HWND hWnd) override;

 private:
  ~CMenuWnd() override = default;

  LRESULT OnCreate();
  // The menu's control tree, not yet attached; null when the source cannot be built.
  CControlUI* BuildRoot();
  CControlUI* BuildSubMenu();
  void PlaceMenu();
  void PlaceSubMenu();
  void OnKillFocus(HWND hWndFocus);
  // Leaves the observer, gives a sub-menu's items back to their owner and deletes this object.
  void Finish();
  void GiveItemsBack();

  bool m_bClosed;
  POINT m_BasedPoint;
  STRINGorID m_xml;
  CPaintManagerUI m_pm;
  CMenuElementUI* m_pOwner;
  CMenuUI* m_pLayout;
  DWORD m_dwAlignment;
  // A text source is kept here for the builder; the window's creation reads it.
  CUIString m_sXmlText;
  // While Init creates the window: set when the window came and went (this object is gone then).
  bool* m_pFinished;
};

}  // namespace SkinUI
