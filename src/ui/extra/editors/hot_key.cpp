#include "ui/extra/editors/hot_key.h"

#include <cwchar>

#include "ui/core/controls/button.h"
#include "ui/core/paint/render/render_engine.h"
#include "ui/core/resources/attribute_values.h"
#include "ui/extra/editors/hot_key_wnd_internal.h"

namespace SkinUI {

CHotKeyUI::CHotKeyUI()
    : m_pWindow(nullptr), m_uButtonState(0), m_dwHotKeybkColor(0xFFFFFFFF), m_wVirtualKeyCode(0), m_wModifiers(0) {
  SetTextPadding(CUIRect(4, 3, 4, 3));
  SetBkColor(0xFFFFFFFF);
}

CHotKeyUI::~CHotKeyUI() { CloseDetached(this, m_pWindow); }

const wchar_t* CHotKeyUI::GetClass() const { return L"HotKeyUI"; }

LPVOID CHotKeyUI::GetInterface(const wchar_t* pstrName) {
  if (pstrName != nullptr && wcscmp(pstrName, L"HotKey") == 0) return static_cast<CHotKeyUI*>(this);
  return CLabelUI::GetInterface(pstrName);
}

UINT CHotKeyUI::GetControlFlags() const { return IsEnabled() ? UINT{UIFLAG_TABSTOP | UIFLAG_SETCURSOR} : 0u; }

HWND CHotKeyUI::GetNativeWindow() const { return m_pWindow != nullptr ? m_pWindow->GetHWND() : nullptr; }

void CHotKeyUI::SetText(const wchar_t* pstrText) {
  m_sText = pstrText;
  if (m_pWindow != nullptr) ::SetWindowTextW(m_pWindow->GetHWND(), m_sText.GetData());
  Invalidate();
}

void CHotKeyUI::SetEnabled(bool bEnable) {
  CControlUI::SetEnabled(bEnable);
  if (!IsEnabled()) m_uButtonState = 0;
}

void CHotKeyUI::DropFocusIfHidden() {
  if (!IsVisible() && m_pWindow != nullptr && m_pManager != nullptr) m_pManager->SetFocus(nullptr);
}

// Hiding this control while it has the focus moves the focus: the receiver of "killfocus" may
// delete it.
void CHotKeyUI::SetVisible(bool bVisible) {
  CControlWatch alive(this);
  CControlUI::SetVisible(bVisible);
  if (alive) DropFocusIfHidden();
}

void CHotKeyUI::SetInternalVisible(bool bVisible) {
  CControlWatch alive(this);
  CControlUI::SetInternalVisible(bVisible);
  if (alive) DropFocusIfHidden();
}

SIZE CHotKeyUI::EstimateSize(SIZE szAvailable) {
  if (m_cyFixed == 0 && m_pManager != nullptr) {
    FontInfo* info = m_pManager->GetFontInfo(m_iFont);
    return SIZE{m_cxFixed, (info != nullptr ? info->tm.tmHeight : 0) + 6};
  }
  return CControlUI::EstimateSize(szAvailable);
}

void CHotKeyUI::SetHot(bool hot) {
  if (!IsEnabled()) return;
  if (hot)
    m_uButtonState |= UISTATE_HOT;
  else
    m_uButtonState &= ~UISTATE_HOT;
  Invalidate();
}

void CHotKeyUI::DoEvent(EventRecordUI& event) {
  switch (RouteEditorEvent(*this, m_pWindow != nullptr, event)) {
    case EditorStep::kOpen:
      OpenEditorWindow(m_pWindow, this);
      Invalidate();
      break;
    case EditorStep::kPress:
      if (IsFocused() && m_pWindow == nullptr) OpenEditorWindow(m_pWindow, this);
      return;
    case EditorStep::kMouseEnter:
    case EditorStep::kMouseLeave:
      SetHot(event.Type == UIEVENT_MOUSEENTER);
      return;
    case EditorStep::kLabel:
      break;
    default:
      return;
  }
  CLabelUI::DoEvent(event);
}

void CHotKeyUI::SetAttribute(const wchar_t* pstrName, const wchar_t* pstrValue) {
  if (pstrName == nullptr || pstrValue == nullptr) return;
  CUIString* image = nullptr;
  if (wcscmp(pstrName, L"normalimage") == 0)
    image = &m_sNormalImage;
  else if (wcscmp(pstrName, L"hotimage") == 0)
    image = &m_sHotImage;
  else if (wcscmp(pstrName, L"focusedimage") == 0)
    image = &m_sFocusedImage;
  else if (wcscmp(pstrName, L"disabledimage") == 0)
    image = &m_sDisabledImage;
  if (image != nullptr) {
    *image = pstrValue;
    Invalidate();
  } else if (wcscmp(pstrName, L"nativebkcolor") == 0) {
    m_dwHotKeybkColor = ReadColorValue(pstrValue);
  } else {
    CLabelUI::SetAttribute(pstrName, pstrValue);
  }
}

// The image of the disabled, focused or hot state, in that order; null for the normal state.
const CUIString* CHotKeyUI::StateImage() const {
  if (!IsEnabled()) return &m_sDisabledImage;
  if (IsFocused()) return &m_sFocusedImage;
  if ((m_uButtonState & UISTATE_HOT) != 0) return &m_sHotImage;
  return nullptr;
}

void CHotKeyUI::PaintStatusImage(HDC hDC) {
  const CUIString* chosen = StateImage();
  if (chosen != nullptr && !chosen->IsEmpty() && DrawImage(hDC, chosen->GetData())) return;
  if (!m_sNormalImage.IsEmpty()) DrawImage(hDC, m_sNormalImage.GetData());
}

void CHotKeyUI::PaintText(HDC hDC) {
  TakeDefaultColors();
  CUIString text = GetText();
  if (text.IsEmpty()) return;
  RECT rc = UnscaledTextRect();
  const DWORD color = IsEnabled() ? m_dwTextColor : m_dwDisabledTextColor;
  CRenderEngine::DrawText(hDC, m_pManager, rc, text.GetData(), color, m_iFont, m_uTextStyle | DT_SINGLELINE);
}

}  // namespace SkinUI
