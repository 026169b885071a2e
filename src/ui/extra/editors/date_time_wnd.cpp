#include <windows.h>
#include <commctrl.h>

#include "ui/extra/editors/date_time_wnd_internal.h"

namespace SkinUI {

namespace {
constexpr UINT kReflectedNotify = 0x2000 + WM_NOTIFY;
}

CDateTimeWnd::CDateTimeWnd() : m_oldSysTime{}, m_bDropOpen(false), m_bLayered(false) {}

const wchar_t* CDateTimeWnd::GetWindowClassName() const { return L"DateTimeWnd"; }
const wchar_t* CDateTimeWnd::GetSuperClassName() const { return DATETIMEPICK_CLASSW; }

void CDateTimeWnd::Init(CDateTimeUI* pOwner) {
  m_pOwner = pOwner;
  m_pOwner->m_nDTUpdateFlag = CDateTimeUI::kUpdateNone;
  CPaintManagerUI* pm = pOwner->GetManager();
  // Over the whole control, as far as its ancestors show it.
  const RECT rc = ClipByAncestors(pOwner, pOwner->GetPos());
  if (m_hWnd != nullptr) {
    PlaceOver(rc);
  } else {
    LoadCommonClass(ICC_DATE_CLASSES);
    m_bLayered = pm->IsLayered();
    // A refused picker may have deleted itself already: only the result tells.
    if (Create(pm->GetPaintWindow(), nullptr, WS_CHILD, 0, rc) == nullptr) return;
  }
  SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(EditorFont(pm, pOwner->GetFont())), TRUE);
  if (pOwner->GetText().IsEmpty()) ::GetLocalTime(&pOwner->m_sysTime);
  m_oldSysTime = pOwner->m_sysTime;
  SendMessage(DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&pOwner->m_sysTime));
  ::ShowWindow(m_hWnd, SW_SHOWNOACTIVATE);
  ::SetFocus(m_hWnd);
  m_bInit = true;
}

bool CDateTimeWnd::ShowDate(const SYSTEMTIME& date) {
  const CUIString before = m_pOwner->GetText();
  m_pOwner->m_sysTime = date;
  m_pOwner->m_nDTUpdateFlag = CDateTimeUI::kUpdateShow;
  m_pOwner->UpdateText();
  return m_pOwner->GetText() != before.GetData();
}

bool CDateTimeWnd::ReadDate() {
  SYSTEMTIME date = {};
  if (SendMessage(DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&date)) != GDT_VALID) return false;
  return ShowDate(date);
}

LRESULT CDateTimeWnd::OnNotify(const NMHDR& header) {
  bool changed = false;
  if (header.code == DTN_DATETIMECHANGE) {
    changed = ReadDate();
  } else if (header.code == DTN_DROPDOWN) {
    m_bDropOpen = true;
  } else if (header.code == DTN_CLOSEUP) {
    m_bDropOpen = false;
    changed = ReadDate();
    PostMessage(WM_CLOSE);
  }
  if (changed) NotifyOwner(L"textchanged");
  return 0;
}

LRESULT CDateTimeWnd::HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) {
  if (uMsg == WM_KEYDOWN && wParam == VK_ESCAPE) {
    // Editing is cancelled: the date the picker opened with comes back.
    PostMessage(WM_CLOSE);
    if (m_pOwner != nullptr && ShowDate(m_oldSysTime)) NotifyOwner(L"textchanged");
    return 0;
  }
  CPaintManagerUI* pm = Manager();
  if (uMsg == kReflectedNotify && m_pOwner != nullptr && reinterpret_cast<const NMHDR*>(lParam)->hwndFrom == m_hWnd) {
    return OnNotify(*reinterpret_cast<const NMHDR*>(lParam));
  }
  if (uMsg == WM_KILLFOCUS && !m_bDropOpen) PostMessage(WM_CLOSE);
  if (uMsg == WM_PAINT && m_bLayered && pm != nullptr) pm->AddNativeWindow(m_hWnd);
  return CWindowWnd::HandleMessage(uMsg, wParam, lParam);
}

void CDateTimeWnd::OnFinalMessage(HWND hWnd) {
  CPaintManagerUI* pm = Manager();
  if (m_bLayered && pm != nullptr) pm->RemoveNativeWindow(hWnd);
  CEditorWnd::OnFinalMessage(hWnd);
}

}  // namespace SkinUI
