#include "ui/extra/editors/date_time.h"

#include <cwchar>

#include "ui/extra/editors/date_time_wnd_internal.h"

namespace SkinUI {

CDateTimeUI::CDateTimeUI() : m_nDTUpdateFlag(kUpdateShow), m_pWindow(nullptr) {
  ::GetLocalTime(&m_sysTime);
  UpdateText();
}

CDateTimeUI::~CDateTimeUI() { CloseDetached(this, m_pWindow); }

const wchar_t* CDateTimeUI::GetClass() const { return L"DateTimeUI"; }

LPVOID CDateTimeUI::GetInterface(const wchar_t* pstrName) {
  if (pstrName != nullptr && wcscmp(pstrName, L"DateTime") == 0) return static_cast<CDateTimeUI*>(this);
  return CLabelUI::GetInterface(pstrName);
}

HWND CDateTimeUI::GetNativeWindow() const { return m_pWindow != nullptr ? m_pWindow->GetHWND() : nullptr; }

void CDateTimeUI::UpdateText() {
  if (m_nDTUpdateFlag == kUpdateClear) {
    SetText(L"");
  } else if (m_nDTUpdateFlag == kUpdateShow) {
    CUIString text;
    text.SmallFormat(L"%4d-%02d-%02d", m_sysTime.wYear, m_sysTime.wMonth, m_sysTime.wDay);
    SetText(text.GetData());
  }
}

void CDateTimeUI::DoEvent(EventRecordUI& event) {
  if (!HandleShownEditorEvent(this, m_pWindow, event)) CLabelUI::DoEvent(event);
}

}  // namespace SkinUI
