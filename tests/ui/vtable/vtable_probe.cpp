// Compiled only for the compiler's record of the control classes' layouts (-fdump-lang-class).
#include "ui/core/linear_layout.h"
#include "ui/core/scrollbar.h"
#include "ui/core/child_layout.h"
#include "ui/core/edit.h"
#include "ui/core/option.h"
#include "ui/core/progress.h"
#include "ui/core/tab_layout.h"
#include "ui/core/tile_layout.h"
