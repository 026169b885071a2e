// controls/: the basic controls: label, button, fade button, option and check box, progress, text,
// edit and group box. Uses base, resources, paint and layouts (a button selects a tab, a group box
// is a vertical layout).
#pragma once
#include "ui/core/controls/button.h"
#include "ui/core/controls/edit.h"
#include "ui/core/controls/fade_button.h"
#include "ui/core/controls/group_box.h"
#include "ui/core/controls/label.h"
#include "ui/core/controls/option.h"
#include "ui/core/controls/progress.h"
#include "ui/core/controls/text.h"
