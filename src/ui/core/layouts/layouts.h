// layouts/: containers that place their children: vertical, horizontal, tile, tab and animated tab
// layouts, and the animation they run. Uses base, resources and paint. The child layout runs the
// builder and so lives in builder/.
#pragma once
#include "ui/core/layouts/animation_tab_layout.h"
#include "ui/core/layouts/linear_layout.h"
#include "ui/core/layouts/tab_layout.h"
#include "ui/core/layouts/tile_layout.h"
