#include "ui/core/paint/control/container.h"

#include <cwchar>

#include "ui/core/resources/attribute_values.h"
#include "ui/core/paint/manager/paint_manager.h"
#include "ui/core/paint/control/scrollbar.h"

namespace SkinUI {

CContainerUI::CContainerUI()
    : m_iChildPadding(0),
      m_iChildAlign(0),
      m_iChildVAlign(0),
      m_bAutoDestroy(true),
      m_bDelayedDestroy(true),
      m_bMouseChildEnabled(true),
      m_nScrollStepSize(0),
      m_pVerticalScrollBar(nullptr),
      m_pHorizontalScrollBar(nullptr) {}

CContainerUI::~CContainerUI() {
  m_bDelayedDestroy = false;
  RemoveAll();
  delete m_pVerticalScrollBar;
  delete m_pHorizontalScrollBar;
}

const wchar_t* CContainerUI::GetClass() const { return L"ContainerUI"; }

LPVOID CContainerUI::GetInterface(const wchar_t* pstrName) {
  if (pstrName != nullptr && _wcsicmp(pstrName, L"IContainer") == 0) return static_cast<IContainerUI*>(this);
  if (pstrName != nullptr && _wcsicmp(pstrName, L"Container") == 0) return static_cast<CContainerUI*>(this);
  return CControlUI::GetInterface(pstrName);
}

CControlUI* CContainerUI::GetItemAt(int iIndex) const {
  if (iIndex < 0 || iIndex >= m_items.GetSize()) return nullptr;
  return static_cast<CControlUI*>(m_items[iIndex]);
}

int CContainerUI::GetItemIndex(CControlUI* pControl) const { return m_items.Find(pControl); }

bool CContainerUI::SetItemIndex(CControlUI* pControl, int iNewIndex) {
  int index = m_items.Find(pControl);
  if (index < 0) return false;
  NeedUpdate();
  m_items.Remove(index);
  return m_items.InsertAt(iNewIndex, pControl);
}

int CContainerUI::GetCount() const { return m_items.GetSize(); }

bool CContainerUI::Add(CControlUI* pControl) { return AddAt(pControl, m_items.GetSize()); }

bool CContainerUI::AddAt(CControlUI* pControl, int iIndex) {
  // An index out of range fails before the child is touched.
  if (pControl == nullptr || iIndex < 0 || iIndex > m_items.GetSize()) return false;
  if (m_pManager != nullptr) m_pManager->InitControls(pControl, this);
  if (!IsVisible())
    pControl->SetInternalVisible(false);
  else
    NeedUpdate();
  return m_items.InsertAt(iIndex, pControl);
}

void CContainerUI::DestroyChild(CControlUI* pControl) {
  if (m_bDelayedDestroy && m_pManager != nullptr)
    m_pManager->AddDelayedCleanup(pControl);
  else
    delete pControl;
}

bool CContainerUI::Remove(CControlUI* pControl) {
  int index = pControl != nullptr ? m_items.Find(pControl) : -1;
  if (index < 0) return false;
  NeedUpdate();
  // Out of the list first: deleting the child may reach back into this container.
  m_items.Remove(index);
  if (m_bAutoDestroy) DestroyChild(pControl);
  return true;
}

bool CContainerUI::RemoveAt(int iIndex) {
  CControlUI* control = GetItemAt(iIndex);
  return control != nullptr && Remove(control);
}

void CContainerUI::RemoveAll() {
  CUIPtrArray children(m_items);
  m_items.Empty();
  if (m_bAutoDestroy) {
    for (int i = 0; i < children.GetSize(); ++i) DestroyChild(static_cast<CControlUI*>(children[i]));
  }
  NeedUpdate();
}

void CContainerUI::SetManager(CPaintManagerUI* pManager, CControlUI* pParent, bool bInit) {
  for (int i = 0; i < m_items.GetSize(); ++i) ChildAt(i)->SetManager(pManager, this, bInit);
  if (m_pVerticalScrollBar != nullptr) m_pVerticalScrollBar->SetManager(pManager, this, bInit);
  if (m_pHorizontalScrollBar != nullptr) m_pHorizontalScrollBar->SetManager(pManager, this, bInit);
  CControlUI::SetManager(pManager, pParent, bInit);
}

bool CContainerUI::IsBarVisible(const CScrollBarUI* bar) const { return bar != nullptr && bar->IsVisible(); }

RECT CContainerUI::GetClientPos() const { return ScrolledClientRect(); }

RECT CContainerUI::ScrolledClientRect() const {
  RECT rc = m_rcItem;
  rc.left += m_rcInset.left;
  rc.top += m_rcInset.top;
  rc.right -= m_rcInset.right;
  rc.bottom -= m_rcInset.bottom;
  if (IsBarVisible(m_pVerticalScrollBar)) {
    rc.top -= m_pVerticalScrollBar->GetScrollPos();
    rc.bottom -= m_pVerticalScrollBar->GetScrollPos();
    rc.bottom += m_pVerticalScrollBar->GetScrollRange();
    rc.right -= m_pVerticalScrollBar->GetFixedWidth();
  }
  if (IsBarVisible(m_pHorizontalScrollBar)) {
    rc.left -= m_pHorizontalScrollBar->GetScrollPos();
    rc.right -= m_pHorizontalScrollBar->GetScrollPos();
    rc.right += m_pHorizontalScrollBar->GetScrollRange();
    rc.bottom -= m_pHorizontalScrollBar->GetFixedHeight();
  }
  return rc;
}

void CContainerUI::Move(SIZE szOffset, bool bNeedInvalidate) {
  CControlUI::Move(szOffset, bNeedInvalidate);
  if (IsBarVisible(m_pVerticalScrollBar)) m_pVerticalScrollBar->Move(szOffset, false);
  if (IsBarVisible(m_pHorizontalScrollBar)) m_pHorizontalScrollBar->Move(szOffset, false);
  for (int i = 0; i < m_items.GetSize(); ++i) {
    CControlUI* child = ChildAt(i);
    if (child->IsVisible()) child->Move(szOffset, false);
  }
}

// Hiding the focused control, this one or one inside, moves the focus: the receiver of "killfocus"
// may delete this container or any of its children.
void CContainerUI::SetVisible(bool bVisible) {
  if (m_bVisible == bVisible) return;
  CControlWatch alive(this);
  CControlUI::SetVisible(bVisible);
  if (alive) PassVisibleToChildren(alive);
}

void CContainerUI::SetInternalVisible(bool bVisible) {
  CControlWatch alive(this);
  CControlUI::SetInternalVisible(bVisible);
  if (alive) PassVisibleToChildren(alive);
}

void CContainerUI::PassVisibleToChildren(const CControlWatch& alive) {
  for (int i = 0; alive && i < m_items.GetSize(); ++i) ChildAt(i)->SetInternalVisible(IsVisible());
}

void CContainerUI::SetEnabled(bool bEnable) {
  if (m_bEnabled == bEnable) return;
  m_bEnabled = bEnable;
  for (int i = 0; i < m_items.GetSize(); ++i) ChildAt(i)->SetEnabled(bEnable);
  Invalidate();
}

void CContainerUI::SetMouseEnabled(bool bEnable) {
  if (m_pVerticalScrollBar != nullptr) m_pVerticalScrollBar->SetMouseEnabled(bEnable);
  if (m_pHorizontalScrollBar != nullptr) m_pHorizontalScrollBar->SetMouseEnabled(bEnable);
  CControlUI::SetMouseEnabled(bEnable);
}

RECT CContainerUI::GetInset() const {
  CUIRect inset = m_rcInset;
  if (m_pManager != nullptr) m_pManager->GetDPIObject()->Scale(&inset);
  return inset;
}

void CContainerUI::SetInset(RECT rcInset) {
  m_rcInset = rcInset;
  NeedUpdate();
}

int CContainerUI::GetChildPadding() const { return ScaleValue(m_iChildPadding); }

void CContainerUI::SetChildPadding(int iPadding) {
  m_iChildPadding = iPadding;
  NeedUpdate();
}

UINT CContainerUI::GetChildAlign() const { return m_iChildAlign; }

void CContainerUI::SetChildAlign(UINT iAlign) {
  m_iChildAlign = iAlign;
  NeedUpdate();
}

UINT CContainerUI::GetChildVAlign() const { return m_iChildVAlign; }

void CContainerUI::SetChildVAlign(UINT iVAlign) {
  m_iChildVAlign = iVAlign;
  NeedUpdate();
}

bool CContainerUI::IsAutoDestroy() const { return m_bAutoDestroy; }
void CContainerUI::SetAutoDestroy(bool bAuto) { m_bAutoDestroy = bAuto; }
bool CContainerUI::IsDelayedDestroy() const { return m_bDelayedDestroy; }
void CContainerUI::SetDelayedDestroy(bool bDelayed) { m_bDelayedDestroy = bDelayed; }
bool CContainerUI::IsMouseChildEnabled() const { return m_bMouseChildEnabled; }
void CContainerUI::SetMouseChildEnabled(bool bEnable) { m_bMouseChildEnabled = bEnable; }

int CContainerUI::FindSelectable(int iIndex, bool bForward) const {
  int count = m_items.GetSize();
  if (count == 0) return -1;
  if (iIndex < 0) iIndex = 0;
  if (iIndex >= count) iIndex = count - 1;
  auto selectable = [this](int i) {
    CControlUI* child = ChildAt(i);
    return child->GetInterface(L"ListItem") != nullptr && child->IsVisible() && child->IsEnabled();
  };
  if (!bForward) {
    for (int i = iIndex; i >= 0; --i) {
      if (selectable(i)) return i;
    }
    iIndex = 0;
  }
  for (int i = iIndex; i < count; ++i) {
    if (selectable(i)) return i;
  }
  return -1;
}

void CContainerUI::EnableScrollBar(bool bEnableVertical, bool bEnableHorizontal) {
  struct BarSlot {
    CScrollBarUI*& bar;
    bool wanted;
    bool horizontal;
    const wchar_t* defaults;
  } slots[] = {{m_pVerticalScrollBar, bEnableVertical, false, L"VScrollBar"},
               {m_pHorizontalScrollBar, bEnableHorizontal, true, L"HScrollBar"}};
  for (BarSlot& slot : slots) {
    if (!slot.wanted) {
      delete slot.bar;
      slot.bar = nullptr;
      continue;
    }
    if (slot.bar != nullptr) continue;
    slot.bar = new CScrollBarUI();
    slot.bar->SetOwner(this);
    if (slot.horizontal) slot.bar->SetHorizontal(true);
    slot.bar->SetManager(m_pManager, this, false);
    if (m_pManager != nullptr) {
      const wchar_t* attributes = m_pManager->GetDefaultAttributeList(slot.defaults);
      if (attributes != nullptr) slot.bar->ApplyAttributeList(attributes);
    }
  }
  NeedUpdate();
}

CScrollBarUI* CContainerUI::GetVerticalScrollBar() const { return m_pVerticalScrollBar; }
CScrollBarUI* CContainerUI::GetHorizontalScrollBar() const { return m_pHorizontalScrollBar; }

void CContainerUI::ApplyScrollBarStyle(CScrollBarUI* bar, const wchar_t* value) {
  const wchar_t* style = m_pManager != nullptr ? m_pManager->GetStyle(value) : nullptr;
  bar->ApplyAttributeList(style != nullptr ? style : value);
}

void CContainerUI::SetAttribute(const wchar_t* pstrName, const wchar_t* pstrValue) {
  if (pstrName == nullptr || pstrValue == nullptr) return;
  auto is = [pstrName](const wchar_t* name) { return _wcsicmp(pstrName, name) == 0; };
  auto isTrue = [pstrValue] { return _wcsicmp(pstrValue, L"true") == 0; };
  if (is(L"inset")) {
    long v[4];
    ReadNumberList(pstrValue, v, 4);
    SetInset(RECT{v[0], v[1], v[2], v[3]});
  } else if (is(L"mousechild")) {
    SetMouseChildEnabled(isTrue());
  } else if (is(L"vscrollbar")) {
    EnableScrollBar(isTrue(), m_pHorizontalScrollBar != nullptr);
  } else if (is(L"vscrollbarstyle")) {
    m_sVerticalScrollBarStyle = pstrValue;
    EnableScrollBar(true, m_pHorizontalScrollBar != nullptr);
    ApplyScrollBarStyle(m_pVerticalScrollBar, pstrValue);
  } else if (is(L"hscrollbar")) {
    EnableScrollBar(m_pVerticalScrollBar != nullptr, isTrue());
  } else if (is(L"hscrollbarstyle")) {
    m_sHorizontalScrollBarStyle = pstrValue;
    EnableScrollBar(m_pVerticalScrollBar != nullptr, true);
    ApplyScrollBarStyle(m_pHorizontalScrollBar, pstrValue);
  } else if (is(L"childpadding")) {
    SetChildPadding(_wtoi(pstrValue));
  } else if (wcscmp(pstrName, L"childalign") == 0) {
    if (wcscmp(pstrValue, L"left") == 0)
      m_iChildAlign = 0;
    else if (wcscmp(pstrValue, L"center") == 0)
      m_iChildAlign = DT_CENTER;
    else if (wcscmp(pstrValue, L"right") == 0)
      m_iChildAlign = DT_RIGHT;
  } else if (wcscmp(pstrName, L"childvalign") == 0) {
    if (wcscmp(pstrValue, L"top") == 0)
      m_iChildVAlign = 0;
    else if (wcscmp(pstrValue, L"vcenter") == 0)
      m_iChildVAlign = DT_VCENTER;
    else if (wcscmp(pstrValue, L"bottom") == 0)
      m_iChildVAlign = DT_BOTTOM;
  } else if (is(L"scrollstepsize")) {
    SetScrollStepSize(_wtoi(pstrValue));
  } else {
    CControlUI::SetAttribute(pstrName, pstrValue);
  }
}

}  // namespace SkinUI
