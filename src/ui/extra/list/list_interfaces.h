#pragma once
#include <windows.h>

#include "ui/core/base/ui_string.h"
#include "ui/core/paint/manager/ui_events.h"

namespace SkinUI {

class CControlUI;
class CContainerUI;
class CListHeaderUI;

// A list keeps at most this many columns of its header.
const int kMaxListColumns = 32;

// The style record an owner shares with all its rows: fonts, text styles, colours and images per
// row state, grid lines, and the column bounds taken from the header. Colours are ARGB, 0 = not set.
// The start values are a list's; another owner (the combo box) sets its own.
struct ListInfoUI {
  int nColumns = 0;
  RECT rcColumn[kMaxListColumns] = {};
  int nFont = -1;
  UINT uTextStyle = DT_VCENTER | DT_SINGLELINE;
  RECT rcTextPadding = {0, 0, 0, 0};
  DWORD dwTextColor = 0xFF000000;
  DWORD dwBkColor = 0;
  CUIString sBkImage;
  bool bAlternateBk = false;
  DWORD dwSelectedTextColor = 0xFF000000;
  DWORD dwSelectedBkColor = 0xFFC1E3FF;
  CUIString sSelectedImage;
  DWORD dwHotTextColor = 0xFF000000;
  DWORD dwHotBkColor = 0xFFE9F5FF;
  CUIString sHotImage;
  DWORD dwDisabledTextColor = 0xFFCCCCCC;
  DWORD dwDisabledBkColor = 0xFFFFFFFF;
  CUIString sDisabledImage;
  DWORD dwLineColor = 0;
  bool bShowRowLine = false;
  bool bShowColumnLine = false;
  bool bShowHtml = false;
  bool bMultiExpandable = false;
  bool bRSelected = false;
};

// What a changed "item..." style attribute asks of the owner of the rows.
enum class ListInfoChange { kUnknown, kNone, kRepaint, kRelayout };

// The style attributes that every owner of rows shares: the item font, horizontal and vertical
// alignment, end ellipsis, text padding, colours and images per state, alternate background, grid lines and HTML
// text ("itemfont", "itemalign", "itemvalign", ..., "itemshowhtml"). kUnknown for any other name.
ListInfoChange SetListInfoAttribute(ListInfoUI& info, const wchar_t* name, const wchar_t* value);

// Supplies the cell texts of text rows; the list only keeps the pointer.
class IListCallbackUI {
 public:
  virtual const wchar_t* GetItemText(CControlUI* pControl, int iItem, int iSubItem) = 0;

 protected:
  ~IListCallbackUI() = default;
};

// What every owner of list rows offers them (a list, a combo box, a tree view, a menu).
class IListOwnerUI {
 public:
  // 0 list, 1 combo box, 2 tree view.
  virtual int GetListType() = 0;
  virtual ListInfoUI* GetListInfo() = 0;
  virtual int GetCurSel() const = 0;
  virtual bool SelectItem(int iIndex, bool bTakeFocus = false) = 0;
  virtual bool SelectMultiItem(int iIndex, bool bTakeFocus = false) = 0;
  virtual bool UnSelectItem(int iIndex, bool bOthers = false) = 0;
  // The owner's own event handler: rows hand it the events they do not handle.
  virtual void DoEvent(EventRecordUI& event) = 0;

 protected:
  ~IListOwnerUI() = default;
};

// The list proper, with its header, body, text callback, expansion and multiple selection.
class IListUI : public IListOwnerUI {
 public:
  virtual CListHeaderUI* GetHeader() const = 0;
  virtual CContainerUI* GetList() const = 0;
  virtual IListCallbackUI* GetTextCallback() const = 0;
  virtual void SetTextCallback(IListCallbackUI* pCallback) = 0;
  virtual bool ExpandItem(int iIndex, bool bExpand = true) = 0;
  virtual int GetExpandedItem() const = 0;
  virtual void SetMultiSelect(bool bMultiSel) = 0;
  virtual bool IsMultiSelect() const = 0;
  virtual void SelectAllItems() = 0;
  virtual void UnSelectAllItems() = 0;
  virtual int GetSelectItemCount() const = 0;
  virtual int GetNextSelItem(int nItem) const = 0;

 protected:
  ~IListUI() = default;
};

// What a row offers its owner: it answers GetInterface(L"ListItem") with this interface.
class IListItemUI {
 public:
  virtual int GetIndex() const = 0;
  virtual void SetIndex(int iIndex) = 0;
  virtual IListOwnerUI* GetOwner() = 0;
  virtual void SetOwner(CControlUI* pOwner) = 0;
  virtual bool IsSelected() const = 0;
  virtual bool Select(bool bSelect = true) = 0;
  virtual bool SelectMulti(bool bSelect = true) = 0;
  virtual bool IsExpanded() const = 0;
  virtual bool Expand(bool bExpand = true) = 0;
  virtual void DrawItemText(HDC hDC, const RECT& rcItem) = 0;

 protected:
  ~IListItemUI() = default;
};

}  // namespace SkinUI
