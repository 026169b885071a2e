// The system's own cursors, shown by their ids (IDC_HAND is 32649). Controls set one at every
// mouse move over them: each cursor is loaded once, since LoadCursorW looks the shared cursor
// up again at every call (under Wine a resource search that costs more than the control's
// repaint on a hover).
#pragma once

#include <windows.h>

namespace SkinUI {

// The shared system cursor of the id; null when the system has none.
HCURSOR SystemCursor(WORD id);
// SetCursor with that cursor.
void ShowSystemCursor(WORD id);

}  // namespace SkinUI
