#pragma once
#include <windows.h>

#include <string>
#include <vector>

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

// A pixel of a manager's offscreen bitmap (rows bottom-up) as 0xRRGGBB.
DWORD OffscreenPixel(SkinUI::CPaintManagerUI& pm, int x, int y);
std::string RectText(const RECT& rc);

}  // namespace skinui_test
