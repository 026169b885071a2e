#pragma once
#include <string>
#include <vector>

#include "ui/core/paint/control/control.h"
#include "ui/core/paint/manager/paint_manager.h"

namespace skinui_test {

// Notifications appear in the event log too, so that their order against events shows.
const int kNotifyEntry = 1000;

struct LoggedEvent {
  std::wstring control;
  int type;
  WPARAM wParam;
  LPARAM lParam;
  WORD keyState;
  wchar_t chKey;
  SkinUI::CControlUI* sender;
};

struct EventLog {
  std::vector<LoggedEvent> events;
  std::vector<std::wstring> notifications;  // "type:sender"
  // Every entry, as "control type" or "notify type:sender", in order.
  std::vector<std::wstring> Sequence() const;
  int Count(const std::wstring& control, int type) const;
  void Clear() {
    events.clear();
    notifications.clear();
  }
};

// A plain control that fills its rectangle with one colour, logs its events and acts like a
// button: a release of the left button inside it activates it, which sends "click".
class TestBox : public SkinUI::CControlUI {
 public:
  TestBox(const wchar_t* name, COLORREF color, EventLog* log, UINT flags = 0);
  const wchar_t* GetClass() const override { return L"TestBoxUI"; }
  UINT GetControlFlags() const override { return m_flags; }
  bool Activate() override;
  void DoEvent(SkinUI::EventRecordUI& event) override;
  void PaintBkColor(HDC hDC) override;
  void Place(int x, int y, int width, int height);
  void SetAsyncClick(bool async) { m_asyncClick = async; }

 protected:
  EventLog* m_log;
  COLORREF m_color;
  UINT m_flags;
  bool m_asyncClick = false;
};

// A label: the shortcut search passes its shortcut on to the next control.
class TestLabel : public TestBox {
 public:
  TestLabel(const wchar_t* name, EventLog* log) : TestBox(name, RGB(200, 200, 200), log, 0) {}
  const wchar_t* GetClass() const override { return L"TestLabelUI"; }
};

// A container that places each child at its fixed position inside itself.
class TestContainer : public TestBox {
 public:
  TestContainer(const wchar_t* name, COLORREF color, EventLog* log) : TestBox(name, color, log, 0) {}
  ~TestContainer() override;
  const wchar_t* GetClass() const override { return L"TestContainerUI"; }
  void Add(SkinUI::CControlUI* child);
  void Remove(SkinUI::CControlUI* child);
  void SetManager(SkinUI::CPaintManagerUI* manager, SkinUI::CControlUI* parent, bool init) override;
  void SetPos(RECT rc, bool needInvalidate) override;
  SkinUI::CControlUI* FindControl(SkinUI::FINDCONTROLPROC proc, LPVOID data, UINT flags) override;
  void DoPaint(HDC hDC, const RECT& rcPaint) override;

 private:
  std::vector<SkinUI::CControlUI*> m_children;
};

// Records every notification of a manager.
class TestNotifier : public SkinUI::INotifyUI {
 public:
  explicit TestNotifier(EventLog* log) : m_log(log) {}
  void Notify(SkinUI::NotifyRecordUI& msg) override;

 private:
  EventLog* m_log;
};

}  // namespace skinui_test
