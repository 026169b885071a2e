// ui/extra/combo/: the drop-down combo ("Combo") and the combo box ("ComboBox"). Their items are
// list rows, shown in a pop-up window of their own while the drop-down is open. Uses ui/core and
// ui/extra/list.
#pragma once
#include "ui/core/paint/control/container.h"
#include "ui/extra/list/list_interfaces.h"

namespace SkinUI {

class CComboWnd;

// A button-like field showing its selected item's text; activated, it opens a drop-down window
// below itself (above when the screen ends) listing its items, and announces "itemselect".
class CComboUI : public CContainerUI, public IListOwnerUI {
  friend class CComboWnd;

 public:
  CComboUI();
  ~CComboUI() override;

  const wchar_t* GetClass() const override;
  LPVOID GetInterface(const wchar_t* pstrName) override;
  CUIString GetText() const override;
  bool Activate() override;
  void SetPos(RECT rc, bool bNeedInvalidate = true) override;
  void Move(SIZE szOffset, bool bNeedInvalidate = true) override;
  void SetEnabled(bool bEnable = true) override;
  void DoEvent(EventRecordUI& event) override;
  void SetAttribute(const wchar_t* pstrName, const wchar_t* pstrValue) override;
  SIZE EstimateSize(SIZE szAvailable) override;
  void DoPaint(HDC hDC, const RECT& rcPaint) override;
  void PaintStatusImage(HDC hDC) override;
  void PaintText(HDC hDC) override;

  // The items: list rows get this combo as their owner and their index.
  bool SetItemIndex(CControlUI* pControl, int iNewIndex) override;
  bool Add(CControlUI* pControl) override;
  bool AddAt(CControlUI* pControl, int iIndex) override;
  bool Remove(CControlUI* pControl) override;
  bool RemoveAt(int iIndex) override;
  void RemoveAll() override;

  int GetListType() override;
  ListInfoUI* GetListInfo() override;
  int GetCurSel() const override;
  // Selects the item (an index past the end: the last one); a negative index clears the selection.
  // Every change is announced by "itemselect" (new index, previous index).
  bool SelectItem(int iIndex, bool bTakeFocus = false) override;
  bool SelectMultiItem(int iIndex, bool bTakeFocus = false) override;
  bool UnSelectItem(int iIndex, bool bOthers = false) override;

  // The open drop-down, or null.
  CComboWnd* GetDropDown() const { return m_pWindow; }
  const CUIString& GetDropBoxAttributeList() const { return m_sDropBoxAttributes; }
  void SetDropBoxAttributeList(const wchar_t* pstrList) { m_sDropBoxAttributes = pstrList; }
  // Width (0: as wide as the combo) and greatest height of the drop-down, DPI-scaled.
  SIZE GetDropBoxSize() const;
  void SetDropBoxSize(SIZE szDropBox) { m_szDropBox = szDropBox; }
  bool IsShowShadow() const { return m_bShowShadow; }
  void SetShowShadow(bool bShow);
  bool GetScrollSelect() const { return m_bScrollSelect; }
  void SetScrollSelect(bool bScrollSelect) { m_bScrollSelect = bScrollSelect; }
  UINT GetTextStyle() const { return m_uTextStyle; }
  RECT GetTextPadding() const;
  void SetTextPadding(RECT rc);
  void SetTextColor(DWORD dwColor);
  void SetDisabledTextColor(DWORD dwColor);
  void SetFont(int index);
  void SetShowHtml(bool bShowHtml);

 protected:
  // The focused and disabled state bits follow the control.
  void RefreshFocusAndDisabled();
  UINT ButtonState() const { return m_uButtonState; }

 private:
  IListItemUI* ItemAt(int index) const;
  void RenumberItems(int from, int to);
  bool HandleKey(const EventRecordUI& event);
  void HandleWheel(const EventRecordUI& event);
  bool SetTextAttribute(const wchar_t* name, const wchar_t* value);
  bool SetImageAttribute(const wchar_t* name, const wchar_t* value);

  CComboWnd* m_pWindow;
  int m_iCurSel;
  DWORD m_dwTextColor;
  DWORD m_dwDisabledTextColor;
  int m_iFont;
  UINT m_uTextStyle;
  CUIRect m_rcTextPadding;
  bool m_bShowHtml;
  bool m_bShowShadow;
  CUIString m_sDropBoxAttributes;
  CUISize m_szDropBox;
  UINT m_uButtonState;
  CUIString m_sNormalImage;
  CUIString m_sHotImage;
  CUIString m_sPushedImage;
  CUIString m_sFocusedImage;
  CUIString m_sDisabledImage;
  bool m_bScrollSelect;
  ListInfoUI m_ListInfo;
};

// A combo that draws an arrow at its right edge from a five-frame strip ("arrowimage": normal,
// hot, pushed, focused, disabled) and paints its selected item the way a list does.
class CComboBoxUI : public CComboUI {
 public:
  CComboBoxUI();

  const wchar_t* GetClass() const override;
  void SetAttribute(const wchar_t* pstrName, const wchar_t* pstrValue) override;
  void PaintStatusImage(HDC hDC) override;
  void PaintText(HDC hDC) override;

 private:
  CUIString m_sArrowImage;
  // One frame's width, taken from the strip at each paint of the arrow.
  int m_nArrowWidth;
};

}  // namespace SkinUI
