#include "ui/extra/extra_controls.h"

#include "ui/core/builder/control_factory.h"
#include "ui/extra/activex/activex.h"
#include "ui/extra/activex/flash.h"
#include "ui/extra/activex/web_browser.h"
#include "ui/extra/richedit/richedit.h"

namespace SkinUI {

void RegisterExtraControls() {
  CControlFactory::GetInstance()->RegisterControls({
      // One row per control of this library, e.g. {L"CSliderUI", &CreateControlOf<CSliderUI>},
      // with its header included above.
      // ActiveX host, web browser and Flash
      {L"CActiveXUI", &CreateControlOf<CActiveXUI>},
      {L"CWebBrowserUI", &CreateControlOf<CWebBrowserUI>},
      {L"CFlashUI", &CreateControlOf<CFlashUI>},
      // Rich edit
      {L"CRichEditUI", &CreateControlOf<CRichEditUI>},
  });
}

}  // namespace SkinUI
