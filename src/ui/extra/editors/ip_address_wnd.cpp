#include <windows.h>
#include <commctrl.h>

#include "ui/extra/editors/ip_address_wnd_internal.h"

namespace SkinUI {

namespace {
constexpr UINT kReflectedCommand = 0x2000 + WM_COMMAND;
constexpr DWORD kEditorStyle = WS_CHILD | WS_GROUP | WS_TABSTOP;

bool EndsEditing(WPARAM key) { return key == VK_DELETE || key == VK_BACK || key == VK_ESCAPE; }
}  // namespace

const wchar_t* CIPAddressWnd::GetWindowClassName() const { return L"IPAddressWnd"; }
const wchar_t* CIPAddressWnd::GetSuperClassName() const { return WC_IPADDRESSW; }

bool CIPAddressWnd::Make(CPaintManagerUI* pm) {
  LoadCommonClass(ICC_INTERNET_CLASSES);
  if (Create(pm->GetPaintWindow(), nullptr, kEditorStyle, 0, m_pOwner->GetPos()) == nullptr) return false;
  const HFONT font = EditorFont(pm, m_pOwner->GetFont());
  HWND field = ::GetWindow(m_hWnd, GW_CHILD);
  const HFONT fieldFont = field != nullptr ? reinterpret_cast<HFONT>(::SendMessageW(field, WM_GETFONT, 0, 0)) : nullptr;
  if (fieldFont != font) m_hFieldFont = fieldFont;
  SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  HookFields(true);
  return true;
}

void CIPAddressWnd::Init(CIPAddressUI* pOwner) {
  m_pOwner = pOwner;
  pOwner->m_nIPUpdateFlag = CIPAddressUI::kUpdateNone;
  if (m_hWnd != nullptr)
    PlaceOver(pOwner->GetPos());
  else if (!Make(pOwner->GetManager()))
    return;
  if (pOwner->GetText().IsEmpty()) pOwner->m_dwIP = CIPAddressUI::GetLocalIpAddress();
  SendMessage(IPM_SETADDRESS, 0, pOwner->m_dwIP);
  ::ShowWindow(m_hWnd, SW_SHOW);
  ::SetFocus(m_hWnd);
  m_bInit = true;
}

// The four fields are the editor's own child edits: their keys never reach this window, so the
// ones that end editing are passed on. Posted, they are handled once the field is done with them.
void CIPAddressWnd::HookFields(bool hook) {
  for (HWND field = ::GetWindow(m_hWnd, GW_CHILD); field != nullptr; field = ::GetWindow(field, GW_HWNDNEXT)) {
    if (hook)
      ::SetWindowSubclass(field, &CIPAddressWnd::FieldProc, 0, 0);
    else
      ::RemoveWindowSubclass(field, &CIPAddressWnd::FieldProc, 0);
  }
}

LRESULT CALLBACK CIPAddressWnd::FieldProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
  if (uMsg == WM_KEYUP && EndsEditing(wParam)) ::PostMessageW(::GetParent(hWnd), uMsg, wParam, lParam);
  return ::DefSubclassProc(hWnd, uMsg, wParam, lParam);
}

bool CIPAddressWnd::ReadAddress() {
  const CUIString before = m_pOwner->GetText();
  // A blank editor holds no address: the owner keeps none either.
  DWORD address = 0;
  const bool blank = SendMessage(IPM_ISBLANK) != 0;
  if (!blank) SendMessage(IPM_GETADDRESS, 0, reinterpret_cast<LPARAM>(&address));
  m_pOwner->m_dwIP = address;
  m_pOwner->m_nIPUpdateFlag = blank ? CIPAddressUI::kUpdateClear : CIPAddressUI::kUpdateShow;
  m_pOwner->UpdateText();
  return m_pOwner->GetText() != before.GetData();
}

LRESULT CIPAddressWnd::OnFieldKillFocus(WPARAM wParam, LPARAM lParam) {
  // Moving from one field to another stays inside the editor.
  HWND focus = ::GetFocus();
  if (focus == m_hWnd || ::IsChild(m_hWnd, focus)) return 0;
  const LRESULT result = CWindowWnd::HandleMessage(kReflectedCommand, wParam, lParam);
  if (m_pOwner == nullptr) return result;
  const int flag = m_pOwner->m_nIPUpdateFlag;
  const bool changed = flag != CIPAddressUI::kUpdateClear && flag != CIPAddressUI::kUpdateCancelled && ReadAddress();
  ::ShowWindow(m_hWnd, SW_HIDE);
  if (changed) NotifyOwner(L"textchanged");
  return result;
}

LRESULT CIPAddressWnd::OnKeyUp(WPARAM wParam, LPARAM lParam) {
  const LRESULT result = CWindowWnd::HandleMessage(WM_KEYUP, wParam, lParam);
  if (m_pOwner == nullptr) return result;
  PostMessage(WM_CLOSE);
  if (wParam == VK_ESCAPE) {
    m_pOwner->m_nIPUpdateFlag = CIPAddressUI::kUpdateCancelled;
    return result;
  }
  // Emptied: no text and no address.
  const CUIString before = m_pOwner->GetText();
  m_pOwner->m_dwIP = 0;
  m_pOwner->m_nIPUpdateFlag = CIPAddressUI::kUpdateClear;
  m_pOwner->UpdateText();
  if (m_pOwner->GetText() != before.GetData()) NotifyOwner(L"textchanged");
  return result;
}

// A control that deletes its font on destroy leaves a handle that no longer names one; one that
// keeps it (Wine's does, one font per control) would leave a font behind at every editing.
void CIPAddressWnd::OnFinalMessage(HWND hWnd) {
  if (m_hFieldFont != nullptr && ::GetObjectType(m_hFieldFont) == OBJ_FONT) ::DeleteObject(m_hFieldFont);
  CEditorWnd::OnFinalMessage(hWnd);
}

LRESULT CIPAddressWnd::HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) {
  switch (uMsg) {
    case WM_KILLFOCUS:
      return 0;
    case kReflectedCommand:
      return HIWORD(wParam) == EN_KILLFOCUS ? OnFieldKillFocus(wParam, lParam) : 0;
    case WM_KEYUP:
      if (EndsEditing(wParam)) return OnKeyUp(wParam, lParam);
      break;
    case WM_DESTROY:
      HookFields(false);
      break;
    default:
      break;
  }
  return CWindowWnd::HandleMessage(uMsg, wParam, lParam);
}

}  // namespace SkinUI
