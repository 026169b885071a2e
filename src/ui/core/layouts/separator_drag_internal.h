#pragma once
#include <windows.h>

namespace SkinUI {

// One step of a layout's separator drag along its main axis. `start` and `end` are the dragged
// rectangle's edges on that axis; a separator size of 0 or more moves the end edge, a negative one
// the start edge. The step follows the pointer's movement `d` while the pointer is at or past the
// band, keeps the length within [minLength, maxLength], and answers false when it is ignored.
bool MoveSeparatorEdge(int separator, int d, int pointer, int minLength, int maxLength, LONG& start, LONG& end);

}  // namespace SkinUI
