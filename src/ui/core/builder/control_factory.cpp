#include "ui/core/builder/control_factory.h"

#include "ui/core/layouts/animation_tab_layout.h"
#include "ui/core/controls/button.h"
#include "ui/core/builder/child_layout.h"
#include "ui/core/controls/edit.h"
#include "ui/core/controls/fade_button.h"
#include "ui/core/controls/group_box.h"
#include "ui/core/layouts/linear_layout.h"
#include "ui/core/controls/option.h"
#include "ui/core/controls/progress.h"
#include "ui/core/paint/control/scrollbar.h"
#include "ui/core/layouts/tab_layout.h"
#include "ui/core/controls/text.h"
#include "ui/core/layouts/tile_layout.h"

namespace SkinUI {

namespace {
template <class T>
CControlUI* Make() {
  return new T;
}

CUIString Lowered(const wchar_t* name) {
  CUIString key(name != nullptr ? name : L"");
  key.MakeLower();
  return key;
}
}  // namespace

CControlFactory::CControlFactory() {
  RegisterControl(L"CControlUI", &Make<CControlUI>);
  RegisterControl(L"CContainerUI", &Make<CContainerUI>);
  RegisterControl(L"CButtonUI", &Make<CButtonUI>);
  RegisterControl(L"CEditUI", &Make<CEditUI>);
  RegisterControl(L"CLabelUI", &Make<CLabelUI>);
  RegisterControl(L"COptionUI", &Make<COptionUI>);
  RegisterControl(L"CCheckBoxUI", &Make<CCheckBoxUI>);
  RegisterControl(L"CProgressUI", &Make<CProgressUI>);
  RegisterControl(L"CScrollBarUI", &Make<CScrollBarUI>);
  RegisterControl(L"CChildLayoutUI", &Make<CChildLayoutUI>);
  RegisterControl(L"CHorizontalLayoutUI", &Make<CHorizontalLayoutUI>);
  RegisterControl(L"CTabLayoutUI", &Make<CTabLayoutUI>);
  RegisterControl(L"CTileLayoutUI", &Make<CTileLayoutUI>);
  RegisterControl(L"CVerticalLayoutUI", &Make<CVerticalLayoutUI>);
  RegisterControl(L"CAnimationTabLayoutUI", &Make<CAnimationTabLayoutUI>);
  RegisterControl(L"CFadeButtonUI", &Make<CFadeButtonUI>);
  RegisterControl(L"CGroupBoxUI", &Make<CGroupBoxUI>);
  RegisterControl(L"CTextUI", &Make<CTextUI>);
}

CControlFactory::~CControlFactory() = default;

CControlFactory* CControlFactory::GetInstance() {
  static CControlFactory factory;  // first construction is thread-safe
  return &factory;
}

CControlUI* CControlFactory::CreateControl(const wchar_t* strClassName) {
  auto found = m_mapControl.find(Lowered(strClassName));
  return found != m_mapControl.end() ? found->second() : nullptr;
}

void CControlFactory::RegisterControl(const wchar_t* strClassName, CreateClass pFunc) {
  if (pFunc == nullptr) return;
  m_mapControl.emplace(Lowered(strClassName), pFunc);
}

}  // namespace SkinUI
