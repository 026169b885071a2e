#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "demo_window.h"
#include "ui/core/paint/manager/paint_manager.h"

namespace skinui_test {

// Every notification of a manager, with its parameters.
class NotifyLog : public SkinUI::INotifyUI {
 public:
  struct Note {
    std::wstring type;
    std::wstring sender;
    WPARAM wParam;
    LPARAM lParam;
  };
  void Notify(SkinUI::NotifyRecordUI& msg) override;
  int Count(const wchar_t* type) const;
  std::vector<Note> notes;
};

std::string RectText(const RECT& rc);

}  // namespace skinui_test
