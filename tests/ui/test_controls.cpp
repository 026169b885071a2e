#include "test_controls.h"

#include <algorithm>

using namespace SkinUI;

namespace skinui_test {

std::vector<std::wstring> EventLog::Sequence() const {
  std::vector<std::wstring> out;
  for (const auto& e : events)
    out.push_back(e.type == kNotifyEntry ? e.control : e.control + L" " + std::to_wstring(e.type));
  return out;
}

int EventLog::Count(const std::wstring& control, int type) const {
  int n = 0;
  for (const auto& e : events) n += (e.control == control && e.type == type) ? 1 : 0;
  return n;
}

TestBox::TestBox(const wchar_t* name, COLORREF color, EventLog* log, UINT flags)
    : m_log(log), m_color(color), m_flags(flags) {
  SetName(name);
}

bool TestBox::Activate() {
  if (!CControlUI::Activate()) return false;
  if (m_pManager != nullptr) m_pManager->SendNotify(this, L"click", 0, 0, m_asyncClick);
  return true;
}

void TestBox::DoEvent(EventRecordUI& event) {
  if (m_log != nullptr) {
    m_log->events.push_back(
        {GetName().GetData(), event.Type, event.wParam, event.lParam, event.wKeyState, event.chKey, event.pSender});
  }
  if (event.Type == UIEVENT_BUTTONUP) {
    if (::PtInRect(&m_rcItem, event.ptMouse)) Activate();
    return;
  }
  if (event.Type >= UIEVENT__MOUSEFIRST && event.Type <= UIEVENT__MOUSELAST && event.Type != UIEVENT_CONTEXTMENU)
    return;
  CControlUI::DoEvent(event);
}

void TestBox::PaintBkColor(HDC hDC) {
  HBRUSH brush = ::CreateSolidBrush(m_color);
  ::FillRect(hDC, &m_rcPaint, brush);
  ::DeleteObject(brush);
}

void TestBox::Place(int x, int y, int width, int height) {
  SIZE xy = {x, y};
  SetFixedXY(xy);
  SetFixedWidth(width);
  SetFixedHeight(height);
}

TestContainer::~TestContainer() {
  for (CControlUI* child : m_children) delete child;
}

void TestContainer::Add(CControlUI* child) {
  m_children.push_back(child);
  if (m_pManager != nullptr) m_pManager->InitControls(child, this);
  NeedUpdate();
}

void TestContainer::Remove(CControlUI* child) {
  m_children.erase(std::remove(m_children.begin(), m_children.end(), child), m_children.end());
  delete child;
  NeedUpdate();
}

void TestContainer::SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init) {
  for (CControlUI* child : m_children) child->SetManager(manager, this, init);
  CControlUI::SetManager(manager, parent, init);
}

void TestContainer::SetPos(RECT rc, bool needInvalidate) {
  CControlUI::SetPos(rc, needInvalidate);
  for (CControlUI* child : m_children) {
    SIZE xy = child->GetFixedXY();
    RECT pos = {rc.left + xy.cx, rc.top + xy.cy, rc.left + xy.cx + child->GetFixedWidth(),
                rc.top + xy.cy + child->GetFixedHeight()};
    child->SetPos(pos, false);
  }
}

CControlUI* TestContainer::FindControl(FINDCONTROLPROC proc, LPVOID data, UINT flags) {
  if ((flags & UIFIND_VISIBLE) && !IsVisible()) return nullptr;
  if ((flags & UIFIND_ENABLED) && !IsEnabled()) return nullptr;
  if ((flags & UIFIND_HITTEST) && !::PtInRect(&m_rcItem, *static_cast<POINT*>(data))) return nullptr;
  bool selfAllowed = (flags & UIFIND_HITTEST) == 0 || IsMouseEnabled();
  if ((flags & UIFIND_UPDATETEST) && proc(this, data) != nullptr) return this;
  if ((flags & UIFIND_ME_FIRST) && selfAllowed) {
    CControlUI* found = proc(this, data);
    if (found != nullptr) return found;
  }
  if (flags & UIFIND_TOP_FIRST) {
    for (auto it = m_children.rbegin(); it != m_children.rend(); ++it) {
      CControlUI* found = (*it)->FindControl(proc, data, flags);
      if (found != nullptr) return found;
    }
  } else {
    for (CControlUI* child : m_children) {
      CControlUI* found = child->FindControl(proc, data, flags);
      if (found != nullptr) return found;
    }
  }
  if ((flags & UIFIND_ME_FIRST) == 0 && selfAllowed) return proc(this, data);
  return nullptr;
}

void TestContainer::DoPaint(HDC hDC, const RECT& rcPaint) {
  CControlUI::DoPaint(hDC, rcPaint);
  for (CControlUI* child : m_children) {
    RECT temp;
    RECT pos = child->GetPos();
    if (child->IsVisible() && ::IntersectRect(&temp, &rcPaint, &pos)) child->DoPaint(hDC, rcPaint);
  }
}

void TestNotifier::Notify(NotifyRecordUI& msg) {
  std::wstring sender = msg.pSender != nullptr ? msg.pSender->GetName().GetData() : L"(null)";
  std::wstring text = std::wstring(msg.sType.GetData()) + L":" + sender;
  m_log->notifications.push_back(text);
  m_log->events.push_back({L"notify " + text, kNotifyEntry, msg.wParam, msg.lParam, 0, 0, msg.pSender});
}

}  // namespace skinui_test
