#include "ui/core/controls/button.h"

#include <cwchar>

#include "ui/core/base/system_cursor.h"
#include "ui/core/resources/attribute_values.h"
#include "ui/core/paint/manager/paint_manager.h"
#include "ui/core/layouts/tab_layout.h"

namespace SkinUI {

CButtonUI::CButtonUI()
    : m_uButtonState(0),
      m_dwHotBkColor(0),
      m_dwPushedBkColor(0),
      m_dwHotTextColor(0),
      m_dwPushedTextColor(0),
      m_dwFocusedTextColor(0),
      m_nStateCount(0),
      m_iBindTabIndex(-1) {
  m_uTextStyle = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
}

CButtonUI::~CButtonUI() = default;

const wchar_t* CButtonUI::GetClass() const { return L"ButtonUI"; }

LPVOID CButtonUI::GetInterface(const wchar_t* pstrName) {
  if (pstrName != nullptr && _wcsicmp(pstrName, L"Button") == 0) return static_cast<CButtonUI*>(this);
  return CLabelUI::GetInterface(pstrName);
}

UINT CButtonUI::GetControlFlags() const {
  return (IsKeyboardEnabled() ? UINT{UIFLAG_TABSTOP} : 0u) | (IsEnabled() ? UINT{UIFLAG_SETCURSOR} : 0u);
}

bool CButtonUI::Activate() {
  if (!CControlUI::Activate()) return false;
  if (m_pManager != nullptr) {
    CControlWatch alive(this);
    m_pManager->SendNotify(this, L"click");
    if (alive) BindTriggerTabSel(-1);
  }
  return true;
}

void CButtonUI::SetEnabled(bool bEnable) {
  CControlUI::SetEnabled(bEnable);
  if (!IsEnabled()) m_uButtonState = 0;
}

void CButtonUI::BindTabIndex(int index) {
  if (index >= 0) m_iBindTabIndex = index;
}

void CButtonUI::BindTabLayoutName(const wchar_t* name) {
  if (name != nullptr) m_sBindTabLayoutName = name;
}

void CButtonUI::BindTriggerTabSel(int index) {
  if (m_sBindTabLayoutName.IsEmpty() || (m_iBindTabIndex < 0 && index < 0) || m_pManager == nullptr) return;
  CControlUI* target = m_pManager->FindControl(m_sBindTabLayoutName.GetData());
  // Only a tab layout can select a page: any other control of that name is left alone.
  CTabLayoutUI* tab = target != nullptr ? static_cast<CTabLayoutUI*>(target->GetInterface(L"TabLayout")) : nullptr;
  if (tab != nullptr) tab->SelectItem(index >= 0 ? index : m_iBindTabIndex);
}

void CButtonUI::DoEvent(EventRecordUI& event) {
  if (!IsMouseEnabled() && event.Type >= UIEVENT__MOUSEFIRST && event.Type <= UIEVENT__MOUSELAST) {
    if (m_pParent != nullptr)
      m_pParent->DoEvent(event);
    else
      CLabelUI::DoEvent(event);
    return;
  }
  const bool inside = ::PtInRect(&m_rcItem, event.ptMouse) != FALSE;
  switch (event.Type) {
    case UIEVENT_SETFOCUS:
    case UIEVENT_KILLFOCUS:
      Invalidate();
      break;
    case UIEVENT_KEYDOWN:
      if (IsKeyboardEnabled() && (event.chKey == VK_SPACE || event.chKey == VK_RETURN)) {
        Activate();
        return;
      }
      break;
    case UIEVENT_BUTTONDOWN:
    case UIEVENT_DBLCLICK:
      if (inside && IsEnabled()) {
        m_uButtonState |= UISTATE_PUSHED | UISTATE_CAPTURED;
        Invalidate();
      }
      return;
    case UIEVENT_MOUSEMOVE:
      ShowSystemCursor(32649);
      if ((m_uButtonState & UISTATE_CAPTURED) != 0) {
        if (inside)
          m_uButtonState |= UISTATE_PUSHED;
        else
          m_uButtonState &= ~UISTATE_PUSHED;
        Invalidate();
      }
      return;
    case UIEVENT_BUTTONUP:
      if ((m_uButtonState & UISTATE_CAPTURED) != 0) {
        m_uButtonState &= ~(UISTATE_PUSHED | UISTATE_CAPTURED);
        Invalidate();
        if (inside) Activate();
      }
      return;
    case UIEVENT_CONTEXTMENU:
      if (IsContextMenuEnabled() && m_pManager != nullptr) {
        m_pManager->SendNotify(this, L"menu", event.wParam, event.lParam);
      }
      return;
    case UIEVENT_MOUSEENTER:
      if (IsEnabled()) {
        m_uButtonState |= UISTATE_HOT;
        Invalidate();
      }
      break;
    case UIEVENT_MOUSELEAVE:
      if (IsEnabled()) {
        m_uButtonState &= ~UISTATE_HOT;
        Invalidate();
      }
      break;
    default:
      break;
  }
  CLabelUI::DoEvent(event);
}

const wchar_t* CButtonUI::GetNormalImage() { return m_sNormalImage.GetData(); }
void CButtonUI::SetNormalImage(const wchar_t* pStrImage) {
  m_sNormalImage = pStrImage;
  Invalidate();
}
const wchar_t* CButtonUI::GetHotImage() { return m_sHotImage.GetData(); }
void CButtonUI::SetHotImage(const wchar_t* pStrImage) {
  m_sHotImage = pStrImage;
  Invalidate();
}
const wchar_t* CButtonUI::GetPushedImage() { return m_sPushedImage.GetData(); }
void CButtonUI::SetPushedImage(const wchar_t* pStrImage) {
  m_sPushedImage = pStrImage;
  Invalidate();
}
const wchar_t* CButtonUI::GetFocusedImage() { return m_sFocusedImage.GetData(); }
void CButtonUI::SetFocusedImage(const wchar_t* pStrImage) {
  m_sFocusedImage = pStrImage;
  Invalidate();
}
const wchar_t* CButtonUI::GetDisabledImage() { return m_sDisabledImage.GetData(); }
void CButtonUI::SetDisabledImage(const wchar_t* pStrImage) {
  m_sDisabledImage = pStrImage;
  Invalidate();
}
const wchar_t* CButtonUI::GetHotForeImage() { return m_sHotForeImage.GetData(); }
void CButtonUI::SetHotForeImage(const wchar_t* pStrImage) {
  m_sHotForeImage = pStrImage;
  Invalidate();
}
const wchar_t* CButtonUI::GetStateImage() { return m_sStateImage.GetData(); }
void CButtonUI::SetStateImage(const wchar_t* pStrImage) {
  m_sNormalImage.Empty();  // cut the strip again at the next paint
  m_sStateImage = pStrImage;
  Invalidate();
}

void CButtonUI::SetStateCount(int nCount) {
  m_nStateCount = nCount;
  Invalidate();
}

void CButtonUI::SetAttribute(const wchar_t* pstrName, const wchar_t* pstrValue) {
  if (pstrName == nullptr || pstrValue == nullptr) return;
  const wchar_t* n = pstrName;
  const wchar_t* v = pstrValue;
  if (_wcsicmp(n, L"normalimage") == 0)
    SetNormalImage(v);
  else if (_wcsicmp(n, L"hotimage") == 0)
    SetHotImage(v);
  else if (_wcsicmp(n, L"pushedimage") == 0)
    SetPushedImage(v);
  else if (_wcsicmp(n, L"focusedimage") == 0)
    SetFocusedImage(v);
  else if (_wcsicmp(n, L"disabledimage") == 0)
    SetDisabledImage(v);
  else if (_wcsicmp(n, L"hotforeimage") == 0)
    SetHotForeImage(v);
  else if (_wcsicmp(n, L"stateimage") == 0)
    SetStateImage(v);
  else if (_wcsicmp(n, L"statecount") == 0)
    SetStateCount(_wtoi(v));
  else if (_wcsicmp(n, L"bindtabindex") == 0)
    BindTabIndex(_wtoi(v));
  else if (_wcsicmp(n, L"bindtablayoutname") == 0)
    BindTabLayoutName(v);
  else if (_wcsicmp(n, L"hotbkcolor") == 0)
    SetHotBkColor(ReadColorValue(v));
  else if (_wcsicmp(n, L"pushedbkcolor") == 0)
    SetPushedBkColor(ReadColorValue(v));
  else if (_wcsicmp(n, L"hottextcolor") == 0)
    SetHotTextColor(ReadColorValue(v));
  else if (_wcsicmp(n, L"pushedtextcolor") == 0)
    SetPushedTextColor(ReadColorValue(v));
  else if (_wcsicmp(n, L"focusedtextcolor") == 0)
    SetFocusedTextColor(ReadColorValue(v));
  else
    CLabelUI::SetAttribute(pstrName, pstrValue);
}

}  // namespace SkinUI
