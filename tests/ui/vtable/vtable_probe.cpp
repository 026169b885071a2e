// Compiled only for the compiler's record of the control classes' layouts (-fdump-lang-class).
#include "ui/core/linear_layout.h"
#include "ui/core/scrollbar.h"
