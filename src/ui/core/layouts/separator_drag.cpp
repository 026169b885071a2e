#include "ui/core/layouts/separator_drag_internal.h"

namespace SkinUI {

namespace {

// The new length limited to the bounds; false when it is already at the bound it would pass.
bool LimitLength(int oldLength, int minLength, int maxLength, int& newLength) {
  if (newLength <= minLength) {
    if (oldLength <= minLength) return false;
    newLength = minLength;
  }
  if (newLength >= maxLength) {
    if (oldLength >= maxLength) return false;
    newLength = maxLength;
  }
  return true;
}

}  // namespace

bool MoveSeparatorEdge(int separator, int d, int pointer, int minLength, int maxLength, LONG& start, LONG& end) {
  int oldLength = end - start;
  if (separator >= 0) {
    if ((d > 0 && pointer < end - separator) || (d < 0 && pointer > end)) return false;
    int length = oldLength + d;
    if (!LimitLength(oldLength, minLength, maxLength, length)) return false;
    end = start + length;
    return true;
  }
  if ((d > 0 && pointer < start) || (d < 0 && pointer > start - separator)) return false;
  int length = oldLength - d;
  if (!LimitLength(oldLength, minLength, maxLength, length)) return false;
  start = end - length;
  return true;
}

}  // namespace SkinUI
