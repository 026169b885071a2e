#include "ui/extra/editors/editor_events_internal.h"

#include <windows.h>
#include <commctrl.h>

#include "ui/core/base/system_cursor.h"
#include "ui/core/paint/manager/paint_manager.h"

namespace SkinUI {

namespace {
constexpr WORD kBeamCursor = 32513;
}

EditorStep RouteEditorEvent(CControlUI& owner, bool hasWindow, EventRecordUI& event) {
  if (!owner.IsMouseEnabled() && event.Type >= UIEVENT__MOUSEFIRST && event.Type <= UIEVENT__MOUSELAST) {
    if (owner.GetParent() == nullptr) return EditorStep::kLabel;
    owner.GetParent()->DoEvent(event);
    return EditorStep::kDone;
  }
  const bool enabled = owner.IsEnabled();
  CPaintManagerUI* pm = owner.GetManager();
  switch (event.Type) {
    case UIEVENT_SETCURSOR:
      if (!enabled) return EditorStep::kLabel;
      ShowSystemCursor(kBeamCursor);
      return EditorStep::kDone;
    case UIEVENT_WINDOWSIZE: {
      if (!hasWindow || pm == nullptr) return EditorStep::kLabel;
      // The receiver of "killfocus" may delete the owner.
      CControlWatch alive(&owner);
      pm->SetFocusNeeded(&owner);
      return alive ? EditorStep::kLabel : EditorStep::kDone;
    }
    case UIEVENT_SCROLLWHEEL:
      return hasWindow ? EditorStep::kDone : EditorStep::kLabel;
    case UIEVENT_SETFOCUS:
      return enabled && !hasWindow ? EditorStep::kOpen : EditorStep::kLabel;
    case UIEVENT_KILLFOCUS:
      if (enabled) owner.Invalidate();
      return EditorStep::kLabel;
    case UIEVENT_BUTTONDOWN:
    case UIEVENT_DBLCLICK:
    case UIEVENT_RBUTTONDOWN:
      if (!enabled) return EditorStep::kLabel;
      if (pm != nullptr) pm->ReleaseCapture();
      return EditorStep::kPress;
    case UIEVENT_MOUSEMOVE:
    case UIEVENT_BUTTONUP:
    case UIEVENT_CONTEXTMENU:
      return EditorStep::kDone;
    case UIEVENT_MOUSEENTER:
      return EditorStep::kMouseEnter;
    case UIEVENT_MOUSELEAVE:
      return EditorStep::kMouseLeave;
    default:
      return EditorStep::kLabel;
  }
}

void LoadCommonClass(DWORD icc) {
  INITCOMMONCONTROLSEX classes = {sizeof(classes), icc};
  ::InitCommonControlsEx(&classes);
}

HFONT EditorFont(CPaintManagerUI* pm, int font) {
  HFONT chosen = font != -1 ? pm->GetFont(font) : nullptr;
  return chosen != nullptr ? chosen : pm->GetDefaultFontInfo()->hFont;
}

}  // namespace SkinUI
