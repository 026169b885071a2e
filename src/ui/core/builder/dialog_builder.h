// builder/: from skin markup to controls: the control factory with the core's classes, the dialog
// builder and the child layout that runs one. Uses base, resources, paint, layouts and controls.
#pragma once
#include <windows.h>

#include "ui/core/resources/markup.h"
#include "ui/core/paint/render/render_engine.h"

namespace SkinUI {

class CControlUI;
class CPaintManagerUI;

// Makes the controls of a layout that the factory does not know.
class IDialogBuilderCallback {
 public:
  virtual CControlUI* CreateControl(const wchar_t* pstrClass) = 0;

 protected:
  ~IDialogBuilderCallback() = default;
};

// Turns a skin layout into a tree of controls for one paint manager.
class CDialogBuilder {
 public:
  CDialogBuilder();
  CDialogBuilder(const CDialogBuilder&) = delete;
  CDialogBuilder& operator=(const CDialogBuilder&) = delete;

  // The source is XML text ("<..."), a file name, a layout id of the resource table or a resource id.
  CControlUI* Create(STRINGorID xml, const wchar_t* type = nullptr, IDialogBuilderCallback* pCallback = nullptr,
                     CPaintManagerUI* pManager = nullptr, CControlUI* pParent = nullptr);
  CControlUI* CreateFromMarkup(IDialogBuilderCallback* pCallback = nullptr, CPaintManagerUI* pManager = nullptr,
                               CControlUI* pParent = nullptr);
  CMarkup* GetMarkup() { return &m_xml; }
  void SetInstance(HINSTANCE instance) { m_instance = instance; }

 private:
  CControlUI* ParseControls(CMarkupNode* pRoot, CControlUI* pParent = nullptr, CPaintManagerUI* pManager = nullptr);
  void ParseResources(CMarkupNode& root, CPaintManagerUI* pManager);
  void ParseInclude(CMarkupNode& node, CControlUI* pParent, CPaintManagerUI* pManager);
  CControlUI* MakeControl(const wchar_t* name);
  static bool AddToTree(CControlUI* control, CControlUI* parent, CControlUI*& treeView);

  CMarkup m_xml;
  IDialogBuilderCallback* m_pCallback;
  const wchar_t* m_pstrtype;
  HINSTANCE m_instance;
};

}  // namespace SkinUI
