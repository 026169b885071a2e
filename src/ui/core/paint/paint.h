// paint/: the framework's centre, one layer in three folders that use one another: manager/ (the
// paint manager, the events it sends, the native window wrapper and the drop shadow), render/ (the
// render engine) and control/ (the base control, the container and the scroll bar). Uses base,
// resources and dnd.
#pragma once
#include "ui/core/paint/control/container.h"
#include "ui/core/paint/control/control.h"
#include "ui/core/paint/control/scrollbar.h"
#include "ui/core/paint/manager/paint_manager.h"
#include "ui/core/paint/manager/window_wnd.h"
#include "ui/core/paint/render/render_engine.h"
