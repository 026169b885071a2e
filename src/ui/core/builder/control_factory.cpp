#include "ui/core/builder/control_factory.h"

#include "ui/core/builder/core_controls_internal.h"

namespace SkinUI {

namespace {
CUIString Lowered(const wchar_t* name) {
  CUIString key(name != nullptr ? name : L"");
  key.MakeLower();
  return key;
}
}  // namespace

CControlFactory::CControlFactory() { RegisterCoreControls(*this); }

CControlFactory::~CControlFactory() = default;

CControlFactory* CControlFactory::GetInstance() {
  static CControlFactory factory;  // first construction is thread-safe
  return &factory;
}

CControlUI* CControlFactory::CreateControl(const wchar_t* strClassName) {
  auto found = m_mapControl.find(Lowered(strClassName));
  return found != m_mapControl.end() ? found->second.create() : nullptr;
}

void CControlFactory::RegisterControl(const wchar_t* strClassName, CreateClass pFunc) {
  if (pFunc == nullptr) return;
  m_mapControl.emplace(Lowered(strClassName), Entry{CUIString(strClassName), pFunc});
}

void CControlFactory::RegisterControls(std::initializer_list<ControlClass> classes) {
  for (const ControlClass& one : classes) RegisterControl(one.className, one.create);
}

std::vector<CUIString> CControlFactory::GetClassNames() const {
  std::vector<CUIString> names;
  names.reserve(m_mapControl.size());
  for (const auto& entry : m_mapControl) names.push_back(entry.second.className);
  return names;
}

}  // namespace SkinUI
