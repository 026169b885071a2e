#pragma once
#include <map>

#include "ui/core/base/ui_string.h"

namespace SkinUI {

class CControlUI;

typedef CControlUI* (*CreateClass)();

// Process-wide registry from a class name ("CButtonUI") to the function that makes that control.
class CControlFactory {
 public:
  virtual ~CControlFactory();

  static CControlFactory* GetInstance();
  // New control of that class (name compared ignoring case), or null.
  CControlUI* CreateControl(const wchar_t* strClassName);
  // Adds a class; a name already known keeps its creator.
  void RegisterControl(const wchar_t* strClassName, CreateClass pFunc);

 private:
  CControlFactory();

  std::map<CUIString, CreateClass> m_mapControl;
};

}  // namespace SkinUI
