#include "ui/extra/editors/ip_address.h"

#include <windows.h>
#include <commctrl.h>

#include <cwchar>

#include "ui/extra/editors/ip_address_wnd_internal.h"
#include "ui/extra/editors/local_address.h"

namespace SkinUI {

namespace {
// How long the UI thread waits for the local address: a name service that answers later is not
// waited for.
constexpr DWORD kLocalAddressWaitMs = 500;
}  // namespace

CIPAddressUI::CIPAddressUI() : m_dwIP(0), m_nIPUpdateFlag(kUpdateShow), m_pWindow(nullptr) {}

CIPAddressUI::~CIPAddressUI() { CloseDetached(this, m_pWindow); }

const wchar_t* CIPAddressUI::GetClass() const { return L"IPAddressUI"; }

LPVOID CIPAddressUI::GetInterface(const wchar_t* pstrName) {
  if (pstrName != nullptr && wcscmp(pstrName, L"IPAddress") == 0) return static_cast<CIPAddressUI*>(this);
  return CLabelUI::GetInterface(pstrName);
}

HWND CIPAddressUI::GetNativeWindow() const { return m_pWindow != nullptr ? m_pWindow->GetHWND() : nullptr; }

DWORD CIPAddressUI::GetLocalIpAddress() { return LocalAddressLookup().Wait(kLocalAddressWaitMs); }

void CIPAddressUI::DoInit() {
  if (m_dwIP != 0 || !GetText().IsEmpty()) return;
  m_dwIP = GetLocalIpAddress();
  m_nIPUpdateFlag = kUpdateShow;
  UpdateText();
}

void CIPAddressUI::UpdateText() {
  if (m_nIPUpdateFlag == kUpdateClear) {
    SetText(L"");
  } else if (m_nIPUpdateFlag == kUpdateShow) {
    CUIString text;
    text.SmallFormat(L"%d.%d.%d.%d", FIRST_IPADDRESS(m_dwIP), SECOND_IPADDRESS(m_dwIP), THIRD_IPADDRESS(m_dwIP),
                     FOURTH_IPADDRESS(m_dwIP));
    SetText(text.GetData());
  }
}

void CIPAddressUI::DoEvent(EventRecordUI& event) {
  if (!HandleShownEditorEvent(this, m_pWindow, event)) CLabelUI::DoEvent(event);
}

}  // namespace SkinUI
