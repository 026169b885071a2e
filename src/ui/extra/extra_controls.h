// ui/extra/: SkinUI's further controls, which a skin may name like the core's. Each control's class
// is listed once in extra_controls.cpp. Uses ui/core only.
#pragma once

namespace SkinUI {

// Adds this library's control classes to the control factory. Called once at start-up, before a
// skin is loaded; a class name the factory knows already keeps its creator.
void RegisterExtraControls();

}  // namespace SkinUI
