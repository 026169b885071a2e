#include "ui/extra/extra_controls.h"

#include "ui/core/builder/control_factory.h"
#include "ui/extra/activex/activex.h"
#include "ui/extra/activex/flash.h"
#include "ui/extra/activex/web_browser.h"
#include "ui/extra/anim/gif_anim.h"
#include "ui/extra/anim/ring.h"
#include "ui/extra/anim/roll_text.h"
#include "ui/extra/richedit/richedit.h"
#include "ui/extra/list/list.h"
#include "ui/extra/list/list_elements.h"
#include "ui/extra/list/list_header.h"
#include "ui/extra/palette/color_palette.h"
#include "ui/extra/slider/slider.h"
#include "ui/extra/menu/menu.h"
#include "ui/extra/tree/tree_view.h"
#include "ui/extra/combo/combo.h"
#include "ui/extra/listex/list_ex.h"
#include "ui/extra/ipfield/ip_address_ex.h"
#include "ui/extra/editors/date_time.h"
#include "ui/extra/editors/hot_key.h"
#include "ui/extra/editors/ip_address.h"

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
      // Lists: the list, its header and header items, and its rows.
      {L"CListUI", &CreateControlOf<CListUI>},
      {L"CListHeaderUI", &CreateControlOf<CListHeaderUI>},
      {L"CListHeaderItemUI", &CreateControlOf<CListHeaderItemUI>},
      {L"CListLabelElementUI", &CreateControlOf<CListLabelElementUI>},
      {L"CListTextElementUI", &CreateControlOf<CListTextElementUI>},
      {L"CListContainerElementUI", &CreateControlOf<CListContainerElementUI>},
      // Trees: the view and its nodes.
      {L"CTreeViewUI", &CreateControlOf<CTreeViewUI>},
      {L"CTreeNodeUI", &CreateControlOf<CTreeNodeUI>},
      // Slider
      {L"CSliderUI", &CreateControlOf<CSliderUI>},
      // Animated image, ring and rolling text
      {L"CGifAnimUI", &CreateControlOf<CGifAnimUI>},
      {L"CRingUI", &CreateControlOf<CRingUI>},
      {L"CRollTextUI", &CreateControlOf<CRollTextUI>},
      // Colour palette
      {L"CColorPaletteUI", &CreateControlOf<CColorPaletteUI>},
      // Combos: the drop-down combo and the combo box.
      {L"CComboUI", &CreateControlOf<CComboUI>},
      {L"CComboBoxUI", &CreateControlOf<CComboBoxUI>},
      // The list extension: the list, its check-box header columns and its text rows.
      {L"CListExUI", &CreateControlOf<CListExUI>},
      {L"CListContainerHeaderItemUI", &CreateControlOf<CListContainerHeaderItemUI>},
      {L"CListTextExtElementUI", &CreateControlOf<CListTextExtElementUI>},
      // Menus: the list of a menu and its items; the menu window is opened by the program.
      {L"CMenuUI", &CreateControlOf<CMenuUI>},
      {L"CMenuElementUI", &CreateControlOf<CMenuElementUI>},
      // The self-drawn IPv4 field.
      {L"CIPAddressExUI", &CreateControlOf<CIPAddressExUI>},
      // Labels edited through the platform's date, IP-address and hot-key editors.
      {L"CDateTimeUI", &CreateControlOf<CDateTimeUI>},
      {L"CIPAddressUI", &CreateControlOf<CIPAddressUI>},
      {L"CHotKeyUI", &CreateControlOf<CHotKeyUI>},
  });
}

}  // namespace SkinUI
