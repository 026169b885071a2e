#include "ui/core/builder/child_layout.h"
#include "ui/core/builder/core_controls_internal.h"
#include "ui/core/controls/controls.h"
#include "ui/core/layouts/layouts.h"
#include "ui/core/paint/control/scrollbar.h"

namespace SkinUI {

void RegisterCoreControls(CControlFactory& factory) {
  factory.RegisterControls({
      {L"CControlUI", &CreateControlOf<CControlUI>},
      {L"CContainerUI", &CreateControlOf<CContainerUI>},
      {L"CScrollBarUI", &CreateControlOf<CScrollBarUI>},
      {L"CVerticalLayoutUI", &CreateControlOf<CVerticalLayoutUI>},
      {L"CHorizontalLayoutUI", &CreateControlOf<CHorizontalLayoutUI>},
      {L"CTileLayoutUI", &CreateControlOf<CTileLayoutUI>},
      {L"CTabLayoutUI", &CreateControlOf<CTabLayoutUI>},
      {L"CAnimationTabLayoutUI", &CreateControlOf<CAnimationTabLayoutUI>},
      {L"CChildLayoutUI", &CreateControlOf<CChildLayoutUI>},
      {L"CLabelUI", &CreateControlOf<CLabelUI>},
      {L"CButtonUI", &CreateControlOf<CButtonUI>},
      {L"CFadeButtonUI", &CreateControlOf<CFadeButtonUI>},
      {L"COptionUI", &CreateControlOf<COptionUI>},
      {L"CCheckBoxUI", &CreateControlOf<CCheckBoxUI>},
      {L"CProgressUI", &CreateControlOf<CProgressUI>},
      {L"CTextUI", &CreateControlOf<CTextUI>},
      {L"CEditUI", &CreateControlOf<CEditUI>},
      {L"CGroupBoxUI", &CreateControlOf<CGroupBoxUI>},
  });
}

}  // namespace SkinUI
