#pragma once
#include "ui/core/layouts/linear_layout.h"
#include "ui/extra/list/list_interfaces.h"

namespace SkinUI {

class CListBodyUI;

// What every row keeps beside its control part: its place in its owner and its state.
struct ListRowState {
  int iIndex = -1;
  bool bSelected = false;
  UINT uButtonState = 0;
  IListOwnerUI* pOwner = nullptr;
  // The owner seen as a list (for the text callback and the header), and the list's body, which
  // places the row when it is asked for its rectangle.
  IListUI* pList = nullptr;
  CListBodyUI* pPlacer = nullptr;
  bool bLetGo = false;

  // Placed in its owner, which it reports its selection to. A row its owner let go of (removed,
  // perhaps alive until the delayed clean-up) reports and announces nothing more, and forgets the
  // owner, which may be deleted before it.
  bool IsPlaced() const { return pOwner != nullptr && iIndex >= 0; }
  bool IsLetGo() const { return bLetGo; }
  // The owner gives the row its index, or lets it go with a negative one.
  void SetIndex(int index);
};

// The base of the one-control rows: selection, hot state, activation and the row background.
class CListElementUI : public CControlUI, public IListItemUI {
 public:
  const wchar_t* GetClass() const override;
  LPVOID GetInterface(const wchar_t* pstrName) override;
  UINT GetControlFlags() const override;
  bool Activate() override;
  const RECT& GetPos() const override;
  void SetVisible(bool bVisible = true) override;
  void SetEnabled(bool bEnable = true) override;
  void DoEvent(EventRecordUI& event) override;
  void SetAttribute(const wchar_t* pstrName, const wchar_t* pstrValue) override;

  int GetIndex() const override;
  void SetIndex(int iIndex) override;
  IListOwnerUI* GetOwner() override;
  void SetOwner(CControlUI* pOwner) override;
  bool IsSelected() const override;
  bool Select(bool bSelect = true) override;
  bool SelectMulti(bool bSelect = true) override;
  bool IsExpanded() const override;
  bool Expand(bool bExpand = true) override;

  void InvalidateItem();
  void DrawItemBk(HDC hDC, const RECT& rcItem);

 protected:
  // Passes a mouse event of a row that takes no mouse input to its owner; true when it did.
  bool PassMouseEvent(EventRecordUI& event);

  ListRowState m_row;
};

// A row of one text, drawn with the list's font, colours and text style.
class CListLabelElementUI : public CListElementUI {
 public:
  const wchar_t* GetClass() const override;
  LPVOID GetInterface(const wchar_t* pstrName) override;
  void DoEvent(EventRecordUI& event) override;
  SIZE EstimateSize(SIZE szAvailable) override;
  void DoPaint(HDC hDC, const RECT& rcPaint) override;
  void DrawItemText(HDC hDC, const RECT& rcItem) override;

 protected:
  // The colour of the row's text in its present state.
  DWORD StateTextColor() const;
  int RowHeightOf(const ListInfoUI& info) const;
};

// A row of one text per column, from the list's text callback or its own column texts; as HTML
// text its links are clickable ("link").
class CListTextElementUI : public CListLabelElementUI {
 public:
  enum { kMaxLinks = 8 };

  CListTextElementUI();
  ~CListTextElementUI() override;

  const wchar_t* GetClass() const override;
  LPVOID GetInterface(const wchar_t* pstrName) override;
  UINT GetControlFlags() const override;
  void DoEvent(EventRecordUI& event) override;
  SIZE EstimateSize(SIZE szAvailable) override;
  void DrawItemText(HDC hDC, const RECT& rcItem) override;

  // The stored text of a column (empty when there is none), and a copy stored for it.
  CUIString GetTextOfColumn(int iColumn) const;
  void SetTextOfColumn(int iColumn, const wchar_t* pstrText);
  int GetLinkCount() const { return m_nLinks; }
  RECT GetLinkRect(int iLink) const { return m_rcLinks[iLink]; }
  const CUIString& GetLinkText(int iLink) const { return m_sLinks[iLink]; }

 protected:
  // The text shown in a column: the list's text callback's when it has one, else the stored one.
  CUIString ShownTextOfColumn(int iColumn);
  // Each column's text in the column's bounds less the list's text padding, moved `indents[i]`
  // further right in column i (no indents when null).
  void DrawColumnTexts(HDC hDC, const int* indents);

  // One owned CUIString per column (null: none yet).
  CUIPtrArray m_aTexts;

 private:
  int LinkAt(POINT pt) const;

  int m_nLinks;
  RECT m_rcLinks[kMaxLinks];
  CUIString m_sLinks[kMaxLinks];
  int m_nHoverLink;
};

// A row that is a horizontal layout of any controls, its cells following the header's columns.
class CListContainerElementUI : public CHorizontalLayoutUI, public IListItemUI {
 public:
  const wchar_t* GetClass() const override;
  LPVOID GetInterface(const wchar_t* pstrName) override;
  UINT GetControlFlags() const override;
  bool Activate() override;
  const RECT& GetPos() const override;
  void SetPos(RECT rc, bool bNeedInvalidate = true) override;
  void SetVisible(bool bVisible = true) override;
  void SetEnabled(bool bEnable = true) override;
  void DoEvent(EventRecordUI& event) override;
  void SetAttribute(const wchar_t* pstrName, const wchar_t* pstrValue) override;
  void DoPaint(HDC hDC, const RECT& rcPaint) override;

  virtual void DrawItemBk(HDC hDC, const RECT& rcItem);

  int GetIndex() const override;
  void SetIndex(int iIndex) override;
  IListOwnerUI* GetOwner() override;
  void SetOwner(CControlUI* pOwner) override;
  bool IsSelected() const override;
  bool Select(bool bSelect = true) override;
  bool SelectMulti(bool bSelect = true) override;
  bool IsExpanded() const override;
  bool Expand(bool bExpand = true) override;
  void DrawItemText(HDC hDC, const RECT& rcItem) override;

  void InvalidateItem();

 protected:
  ListRowState m_row;
};

}  // namespace SkinUI
