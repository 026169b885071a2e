#include <vector>

#include "ui/core/paint/manager/paint_manager.h"
#include "ui/extra/richedit/richedit.h"
#include "ui/extra/richedit/text_host.h"

namespace SkinUI {

namespace {

const UINT kUnicodeCodePage = 1200;

bool IsNativeNotification(DWORD code) {
  switch (code) {
    case EN_MSGFILTER:
    case EN_SELCHANGE:
    case EN_DROPFILES:
    case EN_PROTECTED:
    case EN_STOPNOUNDO:
    case EN_SAVECLIPBOARD:
    case EN_OLEOPFAILED:
    case EN_OBJECTPOSITIONS:
    case EN_LINK:
    case EN_DRAGDROPDONE:
      return true;
    default:
      return false;
  }
}

}  // namespace

CRichEditUI::ServicesCall::ServicesCall(const CRichEditUI* edit)
    : m_pEdit(const_cast<CRichEditUI*>(edit)), m_host(edit->m_pTwh), m_alive(m_pEdit) {
  ++m_pEdit->m_iServicesCalls;
}

// The call stays counted while the change is sent: a change its receivers make is not reported
// again, as the text services report none while they report one.
CRichEditUI::ServicesCall::~ServicesCall() {
  if (!m_alive) return;
  CRichEditUI* edit = m_pEdit;
  if (edit->m_iServicesCalls == 1 && edit->m_bTextChanged && edit->m_pManager != nullptr) {
    edit->m_pManager->SendNotify(edit, L"textchanged");
    if (!m_alive) return;
  }
  if (--edit->m_iServicesCalls == 0) edit->m_bTextChanged = false;
}

// The change is sent once the overridable TxSendMessage has returned too.
LRESULT CRichEditUI::SendToServices(UINT msg, WPARAM wParam, LPARAM lParam) const {
  ServicesCall call(this);
  LRESULT result = 0;
  TxSendMessage(msg, wParam, lParam, &result);
  return result;
}

CUIString CRichEditUI::GetText() const {
  long length = GetTextLength(GTL_DEFAULT);
  if (length <= 0) return CUIString();
  std::vector<wchar_t> buffer(length + 1, L'\0');
  GETTEXTEX request = {static_cast<DWORD>((length + 1) * sizeof(wchar_t)), GT_DEFAULT, kUnicodeCodePage, nullptr,
                       nullptr};
  SendToServices(EM_GETTEXTEX, reinterpret_cast<WPARAM>(&request), reinterpret_cast<LPARAM>(buffer.data()));
  return CUIString(buffer.data());
}

void CRichEditUI::SetText(const wchar_t* pstrText) {
  m_sText = pstrText != nullptr ? pstrText : L"";
  if (m_pTwh == nullptr) return;
  // A disabled control keeps its disabled colour for the new text.
  if (IsEnabled() || m_pManager == nullptr)
    m_pTwh->SetColor(m_dwTextColor);
  else
    m_pTwh->SetColor(m_pManager->GetDefaultDisabledColor());
  SetSel(0, -1);
  m_pTwh->NoteIncomingText(m_sText.GetData(), true);
  SendToServices(EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(m_sText.GetData()));
}

long CRichEditUI::GetTextLength(DWORD flags) const {
  GETTEXTLENGTHEX request = {flags, kUnicodeCodePage};
  return static_cast<long>(SendToServices(EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&request), 0));
}

WORD CRichEditUI::GetSelectionType() const { return LOWORD(SendToServices(EM_SELECTIONTYPE, 0, 0)); }

LRESULT CRichEditUI::SetSel(long start, long end) {
  CHARRANGE range = {start, end};
  return SendToServices(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
}

void CRichEditUI::ReplaceSel(const wchar_t* text, bool canUndo) {
  if (m_pTwh != nullptr) m_pTwh->NoteIncomingText(text, false);
  SendToServices(EM_REPLACESEL, canUndo ? TRUE : FALSE, reinterpret_cast<LPARAM>(text));
}

bool CRichEditUI::Undo() { return m_pTwh != nullptr && SendToServices(EM_UNDO, 0, 0) == 1; }
bool CRichEditUI::Redo() { return m_pTwh != nullptr && SendToServices(EM_REDO, 0, 0) == 1; }
bool CRichEditUI::CanUndo() const { return m_pTwh != nullptr && SendToServices(EM_CANUNDO, 0, 0) == 1; }
bool CRichEditUI::CanRedo() const { return m_pTwh != nullptr && SendToServices(EM_CANREDO, 0, 0) == 1; }
void CRichEditUI::Cut() { SendToServices(WM_CUT, 0, 0); }
void CRichEditUI::Copy() { SendToServices(WM_COPY, 0, 0); }
void CRichEditUI::Paste() { SendToServices(WM_PASTE, 0, 0); }

void CRichEditUI::Clear() {
  SetSel(0, -1);
  SendToServices(WM_CLEAR, 0, 0);
}

HRESULT CRichEditUI::TxSendMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* plResult) const {
  if (m_pTwh == nullptr) return S_FALSE;
  if (msg == WM_KEYDOWN && wParam == VK_RETURN) {
    const bool ctrlUp = ::GetKeyState(VK_CONTROL) >= 0;
    if (!m_bWantReturn || (!ctrlUp && !m_bWantCtrlReturn)) {
      if (m_pManager != nullptr) m_pManager->SendNotify(const_cast<CRichEditUI*>(this), L"return");
      return S_OK;
    }
  }
  ServicesCall call(this);
  return m_pTwh->GetTextServices()->TxSendMessage(msg, wParam, lParam, plResult);
}

bool CRichEditUI::OnTxViewChanged(bool) { return true; }

void CRichEditUI::OnTxNotify(DWORD iNotify, void* pv) {
  if (iNotify == EN_CHANGE) {
    // Outside any call of this control's into the text services, at once.
    if (m_iServicesCalls > 0)
      m_bTextChanged = true;
    else if (m_pManager != nullptr)
      m_pManager->SendNotify(this, L"textchanged");
    return;
  }
  if (!IsNativeNotification(iNotify) || pv == nullptr || m_pManager == nullptr) return;
  HWND hwnd = m_pManager->GetPaintWindow();
  auto* header = static_cast<NMHDR*>(pv);
  header->hwndFrom = hwnd;
  header->idFrom = static_cast<UINT_PTR>(::GetWindowLongW(hwnd, GWL_ID));
  header->code = iNotify;
  ::SendMessageW(hwnd, WM_NOTIFY, header->idFrom, reinterpret_cast<LPARAM>(pv));
}

}  // namespace SkinUI
