#pragma once
#include <initializer_list>
#include <map>
#include <vector>

#include "ui/core/base/ui_string.h"

namespace SkinUI {

class CControlUI;

typedef CControlUI* (*CreateClass)();

// One class the factory can make: its class name, "C" + the skin's element name + "UI"
// ("CButtonUI" for <Button>), and the function that makes one.
struct ControlClass {
  const wchar_t* className;
  CreateClass create;
};

// The creator of a control class made by its default constructor.
template <class T>
CControlUI* CreateControlOf() {
  return new T;
}

// Process-wide registry from a class name to the function that makes that control. It starts with
// the core's classes (core_controls.cpp); a library of further controls adds its own with
// RegisterControls at start-up, before any skin is built.
class CControlFactory {
 public:
  virtual ~CControlFactory();

  static CControlFactory* GetInstance();
  // New control of that class (name compared ignoring case), or null.
  CControlUI* CreateControl(const wchar_t* strClassName);
  // Adds a class; a name already known keeps its creator.
  void RegisterControl(const wchar_t* strClassName, CreateClass pFunc);
  // Adds each class of the list as RegisterControl does.
  void RegisterControls(std::initializer_list<ControlClass> classes);
  // Every class name the factory knows, as registered, in the order of their lower-cased names.
  std::vector<CUIString> GetClassNames() const;

 private:
  CControlFactory();

  struct Entry {
    CUIString className;
    CreateClass create;
  };
  std::map<CUIString, Entry> m_mapControl;  // by lower-cased class name
};

}  // namespace SkinUI
