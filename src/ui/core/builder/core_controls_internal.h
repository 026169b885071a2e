#pragma once
#include "ui/core/builder/control_factory.h"

namespace SkinUI {

// Adds the core's own control classes; the factory calls it once, when it is made.
void RegisterCoreControls(CControlFactory& factory);

}  // namespace SkinUI
