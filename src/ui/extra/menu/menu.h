// ui/extra/menu/: pop-up menus: the menu list ("Menu") of items ("MenuElement") shown in a window of
// its own ("SkinMenuWnd", menu_wnd.h), with sub-menus and check items; a click on a leaf item is
// posted to the window that opened the menu. Uses ui/core and ui/extra/list.
#pragma once
#include "ui/extra/list/list.h"
#include "ui/extra/list/list_elements.h"
#include "ui/extra/menu/menu_observer.h"

namespace SkinUI {

class CMenuWnd;

// A menu's list of items: a list without header that takes only menu items. Items nested in an
// item are that item's sub-menu: they stay hidden in this list.
class CMenuUI : public CListUI {
 public:
  CMenuUI();

  const wchar_t* GetClass() const override;
  LPVOID GetInterface(const wchar_t* pstrName) override;
  SIZE EstimateSize(SIZE szAvailable) override;
  int GetItemIndex(CControlUI* pControl) const override;
  bool SetItemIndex(CControlUI* pControl, int iNewIndex) override;
  bool Add(CControlUI* pControl) override;
  bool AddAt(CControlUI* pControl, int iIndex) override;
  bool Remove(CControlUI* pControl) override;
  int GetListType() override;

  CMenuWnd* GetMenuWnd() const { return m_pWindow; }
  void SetMenuWnd(CMenuWnd* pWindow) { m_pWindow = pWindow; }

 private:
  CMenuWnd* m_pWindow;
};

// One menu item: a text with an optional icon (shown only while checked for a check item) and an
// expand arrow, or a separator line. Items nested in it open as a sub-menu beside it.
class CMenuElementUI : public CListContainerElementUI {
 public:
  CMenuElementUI();
  // An open sub-menu borrows this item's children: it closes first. A borrowed item leaves the
  // sub-menu that shows it.
  ~CMenuElementUI() override;

  const wchar_t* GetClass() const override;
  LPVOID GetInterface(const wchar_t* pstrName) override;
  void SetPos(RECT rc, bool bNeedInvalidate = true) override;
  void DoEvent(EventRecordUI& event) override;
  void SetAttribute(const wchar_t* pstrName, const wchar_t* pstrValue) override;
  SIZE EstimateSize(SIZE szAvailable) override;
  void DoPaint(HDC hDC, const RECT& rcPaint) override;
  void DrawItemText(HDC hDC, const RECT& rcItem) override;

  void CreateSubMenu();
  // The item's check state in the host's check map under the item's name (false without either).
  bool GetChecked() const;
  void SetChecked(bool bChecked = true);
  void DrawItemIcon(HDC hDC, const RECT& rcItem);
  void DrawItemExpland(HDC hDC, const RECT& rcItem);
  // Finds or makes the check record of `name` in the observer's check map; null without a map.
  static MenuCheckRecord* SetCheckState(const wchar_t* name, bool bChecked);

  CMenuWnd* GetSubMenuWnd() const { return m_pSubMenuWindow; }
  bool IsLine() const { return m_bDrawLine; }
  bool IsCheckItem() const { return m_bCheckItem; }
  // The items nested in this one, which its sub-menu shows.
  int GetSubItemCount() const;
  CMenuElementUI* GetSubItemAt(int index) const;
  // The sub-menu window is gone: it gave the nested items back to this item.
  void SubMenuClosed();

 private:
  // Shows the nested items for a sub-menu; false when there are none.
  bool ShowSubItems();
  // Mouse enter or Right: opens this item's sub-menu, or closes the sub-menus of its menu.
  void Open();
  void ClickLeaf();
  void PostCommand(CPaintManagerUI* mainManager) const;
  void SelectInOwner(int index);
  HWND MenuWindowHandle() const;
  DWORD StateTextColor(const ListInfoUI& info) const;
  RECT ScaledTextPadding(const ListInfoUI& info) const;
  void DrawRelativeImage(HDC hDC, const wchar_t* image, RECT rc);

  // The nested items set aside while this row lays out, innermost layout first.
  struct NestedAside {
    CUIPtrArray items;
    NestedAside* outer;
  };

  CMenuWnd* m_pSubMenuWindow;
  NestedAside* m_pNestedAside = nullptr;
  bool m_bDrawLine;
  DWORD m_dwLineColor;
  RECT m_rcLinePadding;
  SIZE m_szIconSize;
  CUIString m_strIcon;
  bool m_bCheckItem;
  bool m_bShowExplandIcon;
};

}  // namespace SkinUI
