// base/: the bottom of SkinUI: the framework's string, pointer array, string map and geometry
// types, text conversion, delegates, the DPI scaler, the owners of GDI and GDI+ handles, the
// system cursors and the framework's log.
// Uses the platform only.
#pragma once
#include "ui/core/base/delegate.h"
#include "ui/core/base/dpi_scaler.h"
#include "ui/core/base/gdi_handles.h"
#include "ui/core/base/gdiplus_handles.h"
#include "ui/core/base/system_cursor.h"
#include "ui/core/base/ui_geometry.h"
#include "ui/core/base/ui_log.h"
#include "ui/core/base/ui_ptr_array.h"
#include "ui/core/base/ui_string.h"
#include "ui/core/base/ui_string_map.h"
#include "ui/core/base/ui_text.h"
