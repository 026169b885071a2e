#include "periphery_support.h"

#include <cstdio>

#include "ui/core/paint/control/control.h"

namespace skinui_test {

void NotifyLog::Notify(SkinUI::NotifyRecordUI& msg) {
  notes.push_back(Note{msg.sType.GetData(), msg.pSender != nullptr ? msg.pSender->GetName().GetData() : L"", msg.wParam,
                       msg.lParam});
}

int NotifyLog::Count(const wchar_t* type) const {
  int n = 0;
  for (const Note& note : notes) n += note.type == type ? 1 : 0;
  return n;
}

std::string RectText(const RECT& rc) {
  char text[64];
  snprintf(text, sizeof(text), "(%ld,%ld,%ld,%ld)", rc.left, rc.top, rc.right, rc.bottom);
  return text;
}

}  // namespace skinui_test
