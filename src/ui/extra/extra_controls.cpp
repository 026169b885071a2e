#include "ui/extra/extra_controls.h"

#include "ui/core/builder/control_factory.h"
#include "ui/extra/activex/activex.h"

namespace SkinUI {

void RegisterExtraControls() {
  CControlFactory::GetInstance()->RegisterControls({
      // One row per control of this library, e.g. {L"CSliderUI", &CreateControlOf<CSliderUI>},
      // with its header included above.
      // ActiveX host
      {L"CActiveXUI", &CreateControlOf<CActiveXUI>},
  });
}

}  // namespace SkinUI
