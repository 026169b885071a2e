#include "ui/core/builder/dialog_builder.h"

#include <cwchar>
#include <vector>

#include "ui/core/base/ui_log.h"
#include "ui/core/resources/attribute_values.h"
#include "ui/core/paint/control/container.h"
#include "ui/core/builder/control_factory.h"
#include "ui/core/builder/tree_items.h"
#include "ui/core/paint/manager/paint_manager.h"
#include "ui/core/resources/resource_table.h"

namespace SkinUI {

namespace {

// Skin input never keeps the builder running without end: an "Include" repeated more often than
// a real skin needs (a few dozen) is refused, includes nest at most kMaxIncludeDepth deep (a
// layout that includes itself stops there), and one layout takes in at most kMaxIncludedLayouts
// included layouts in all (one that includes itself twice doubles them at every level).
constexpr int kMaxIncludeCount = 100;
constexpr int kMaxIncludeDepth = 8;
constexpr int kMaxIncludedLayouts = 1000;
// Text is a few dozen pixels high in any real skin; glyphs of tens of thousands of pixels (an
// italic one of 65535 under Wine) keep the text engine busy for minutes.
constexpr int kMaxFontSize = 1000;
thread_local int g_includeDepth = 0;
thread_local int g_includedLayouts = 0;  // since the outermost layout began

bool NameIs(const wchar_t* name, const wchar_t* expected) { return _wcsicmp(name, expected) == 0; }

SIZE ReadPair(const wchar_t* value) {
  long v[2];
  ReadNumberList(value, v, 2);
  return SIZE{v[0], v[1]};
}

RECT ReadQuad(const wchar_t* value) {
  long v[4];
  ReadNumberList(value, v, 4);
  return RECT{v[0], v[1], v[2], v[3]};
}

bool IsResourceId(STRINGorID xml) { return IS_INTRESOURCE(xml.m_lpstr); }

void ApplyWindowAttribute(CPaintManagerUI* pm, const wchar_t* name, const wchar_t* value) {
  CDPIScaler* dpi = pm->GetDPIObject();
  if (NameIs(name, L"size")) {
    SIZE size = ReadPair(value);
    pm->SetInitSize(dpi->Scale(size.cx), dpi->Scale(size.cy));
  } else if (NameIs(name, L"sizebox")) {
    pm->SetSizeBox(ReadQuad(value));
  } else if (NameIs(name, L"caption")) {
    pm->SetCaptionRect(ReadQuad(value));
  } else if (NameIs(name, L"roundcorner")) {
    SIZE size = ReadPair(value);
    pm->SetRoundCorner(size.cx, size.cy);
  } else if (NameIs(name, L"mininfo")) {
    SIZE size = ReadPair(value);
    pm->SetMinInfo(size.cx, size.cy);
  } else if (NameIs(name, L"maxinfo")) {
    SIZE size = ReadPair(value);
    pm->SetMaxInfo(size.cx, size.cy);
  } else if (NameIs(name, L"showdirty")) {
    pm->SetShowUpdateRect(IsTrueValue(value));
  } else if (NameIs(name, L"opacity") || NameIs(name, L"alpha")) {
    pm->SetOpacity(static_cast<BYTE>(_wtoi(value)));
  } else if (wcscmp(name, L"layeredopacity") == 0) {
    pm->SetLayeredOpacity(static_cast<BYTE>(_wtoi(value)));
  } else if (wcscmp(name, L"layered") == 0 || wcscmp(name, L"bktrans") == 0) {
    pm->SetLayered(IsTrueValue(value));
  } else if (NameIs(name, L"disabledfontcolor")) {
    pm->SetDefaultDisabledColor(ReadColorValue(value));
  } else if (NameIs(name, L"defaultfontcolor")) {
    pm->SetDefaultFontColor(ReadColorValue(value));
  } else if (NameIs(name, L"linkfontcolor")) {
    pm->SetDefaultLinkFontColor(ReadColorValue(value));
  } else if (NameIs(name, L"linkhoverfontcolor")) {
    pm->SetDefaultLinkHoverFontColor(ReadColorValue(value));
  } else if (NameIs(name, L"selectedcolor")) {
    pm->SetDefaultSelectedBkColor(ReadColorValue(value));
  } else if (NameIs(name, L"shadowsize")) {
    pm->GetShadow()->SetSize(_wtoi(value));
  } else if (NameIs(name, L"shadowsharpness")) {
    pm->GetShadow()->SetSharpness(_wtoi(value));
  } else if (NameIs(name, L"shadowdarkness")) {
    pm->GetShadow()->SetDarkness(_wtoi(value));
  } else if (NameIs(name, L"shadowposition")) {
    SIZE offset = ReadPair(value);
    pm->GetShadow()->SetPosition(offset.cx, offset.cy);
  } else if (NameIs(name, L"shadowcolor")) {
    pm->GetShadow()->SetColor(ReadColorValue(value));
  } else if (NameIs(name, L"shadowcorner")) {
    pm->GetShadow()->SetShadowCorner(ReadQuad(value));
  } else if (NameIs(name, L"shadowimage")) {
    pm->GetShadow()->SetImage(value);
  } else if (NameIs(name, L"showshadow")) {
    pm->GetShadow()->ShowShadow(IsTrueValue(value));
  } else if (NameIs(name, L"gdiplustext")) {
    pm->SetUseGdiplusText(IsTrueValue(value));
  } else if (NameIs(name, L"textrenderinghint")) {
    pm->SetGdiplusTextRenderingHint(_wtoi(value));
  } else if (NameIs(name, L"tooltiphovertime")) {
    pm->SetHoverTime(_wtoi(value));
  }
}

struct ResourceAttributes {
  const wchar_t* Get(const wchar_t* name) const {
    for (const auto& pair : pairs) {
      if (NameIs(pair.first, name)) return pair.second;
    }
    return nullptr;
  }
  bool Flag(const wchar_t* name) const { return IsTrueValue(Get(name)); }
  std::vector<std::pair<const wchar_t*, const wchar_t*>> pairs;
};

ResourceAttributes ReadAttributes(CMarkupNode& node) {
  ResourceAttributes attrs;
  for (int i = 0; i < node.GetAttributeCount(); ++i) {
    attrs.pairs.emplace_back(node.GetAttributeName(i), node.GetAttributeValue(i));
  }
  return attrs;
}

// A "Font" element of the skin's resources.
void AddSkinFont(const ResourceAttributes& a, CPaintManagerUI* pManager, bool shared) {
  const wchar_t* id = a.Get(L"id");
  const wchar_t* size = a.Get(L"size");
  const wchar_t* face = a.Get(L"name");
  int fontId = id != nullptr ? _wtoi(id) : -1;
  int fontSize = size != nullptr ? _wtoi(size) : 12;
  if (face == nullptr) face = L"";
  if (fontId < 0) return;
  if (fontSize > kMaxFontSize || fontSize < -kMaxFontSize) {
    UILog(L"ParseResources, <Font id=\"%ls\" size=\"%ls\"> refused: the size is beyond %d", id, size, kMaxFontSize);
    return;
  }
  pManager->AddFont(fontId, face, fontSize, a.Flag(L"bold"), a.Flag(L"underline"), a.Flag(L"italic"), shared);
  if (a.Flag(L"default")) {
    pManager->SetDefaultFont(face, pManager->GetDPIObject()->Scale(fontSize), a.Flag(L"bold"), a.Flag(L"underline"),
                             a.Flag(L"italic"), shared);
  }
}

}  // namespace

CDialogBuilder::CDialogBuilder() : m_pCallback(nullptr), m_pstrtype(nullptr), m_instance(nullptr) {}

CControlUI* CDialogBuilder::Create(STRINGorID xml, const wchar_t* type, IDialogBuilderCallback* pCallback,
                                   CPaintManagerUI* pManager, CControlUI* pParent) {
  if (IsResourceId(xml)) {
    HINSTANCE instance = m_instance != nullptr ? m_instance : CPaintManagerUI::GetResourceInstance();
    HRSRC resource = ::FindResourceW(instance, xml.m_lpstr, type);
    if (resource == nullptr) return nullptr;
    HGLOBAL loaded = ::LoadResource(instance, resource);
    if (loaded == nullptr) return nullptr;
    const BYTE* bytes = static_cast<const BYTE*>(::LockResource(loaded));
    if (bytes == nullptr || !m_xml.LoadFromMem(bytes, ::SizeofResource(instance, resource))) return nullptr;
    m_pCallback = pCallback;
    m_pstrtype = type;
  } else {
    const wchar_t* source = xml.m_lpstr;
    if (source == nullptr) return nullptr;
    if (*source != L'<') {
      const wchar_t* path = CResourceTableUI::GetInstance()->GetXmlPath(source);
      if (path != nullptr && *path != L'\0') source = path;
    }
    bool loaded = *source == L'<' ? m_xml.Load(source) : m_xml.LoadFromFile(source);
    if (!loaded) return nullptr;
  }
  return CreateFromMarkup(pCallback, pManager, pParent);
}

CControlUI* CDialogBuilder::CreateFromMarkup(IDialogBuilderCallback* pCallback, CPaintManagerUI* pManager,
                                             CControlUI* pParent) {
  m_pCallback = pCallback;
  CMarkupNode root = m_xml.GetRoot();
  if (!root.IsValid()) return nullptr;
  if (g_includeDepth == 0) g_includedLayouts = 0;
  if (pManager != nullptr) {
    ParseResources(root, pManager);
    if (NameIs(root.GetName(), L"Window") && pManager->GetPaintWindow() != nullptr) {
      for (int i = 0; i < root.GetAttributeCount(); ++i) {
        ApplyWindowAttribute(pManager, root.GetAttributeName(i), root.GetAttributeValue(i));
      }
    }
  }
  return ParseControls(&root, pParent, pManager);
}

void CDialogBuilder::ParseResources(CMarkupNode& root, CPaintManagerUI* pManager) {
  for (CMarkupNode node = root.GetChild(); node.IsValid(); node = node.GetSibling()) {
    const wchar_t* element = node.GetName();
    ResourceAttributes a = ReadAttributes(node);
    const bool shared = a.Flag(L"shared");
    if (NameIs(element, L"Image")) {
      const wchar_t* name = a.Get(L"name");
      const wchar_t* mask = a.Get(L"mask");
      if (name != nullptr) {
        pManager->AddImage(name, a.Get(L"restype"), mask != nullptr ? ReadColorValue(mask) : 0, false, shared);
      }
    } else if (NameIs(element, L"Font")) {
      AddSkinFont(a, pManager, shared);
    } else if (NameIs(element, L"Default")) {
      const wchar_t* name = a.Get(L"name");
      const wchar_t* value = a.Get(L"value");
      if (name != nullptr) pManager->AddDefaultAttributeList(name, value != nullptr ? value : L"", shared);
    } else if (NameIs(element, L"Style")) {
      const wchar_t* name = a.Get(L"name");
      const wchar_t* value = a.Get(L"value");
      if (name != nullptr) pManager->AddStyle(name, value != nullptr ? value : L"", shared);
    } else if (NameIs(element, L"Import")) {
      const wchar_t* file = a.Get(L"fontfile");
      if (file != nullptr && *file != L'\0') pManager->AddFontFile(file);
    }
  }
}

void CDialogBuilder::ParseInclude(CMarkupNode& node, CControlUI* pParent, CPaintManagerUI* pManager) {
  if (!node.HasAttributes()) return;
  wchar_t source[500] = {};
  wchar_t count[32] = {};
  int times = node.GetAttributeValue(L"count", count, 32) ? _wtoi(count) : 1;
  if (!node.GetAttributeValue(L"source", source, 500) || times <= 0) return;
  if (times > kMaxIncludeCount) {
    UILog(L"ParseInclude, <Include source=\"%ls\" count=\"%ls\"> refused: the count is above %d", source, count,
          kMaxIncludeCount);
    return;
  }
  if (g_includeDepth >= kMaxIncludeDepth) {
    UILog(L"ParseInclude, <Include source=\"%ls\"> refused: includes nest deeper than %d", source, kMaxIncludeDepth);
    return;
  }
  ++g_includeDepth;
  for (int i = 0; i < times; ++i) {
    if (g_includedLayouts >= kMaxIncludedLayouts) {
      UILog(L"ParseInclude, <Include source=\"%ls\"> refused: the layout takes in more than %d included layouts",
            source, kMaxIncludedLayouts);
      break;
    }
    ++g_includedLayouts;
    CDialogBuilder builder;
    if (m_pstrtype != nullptr) {
      builder.SetInstance(m_instance);
      builder.Create(static_cast<UINT>(_wtoi(source)), m_pstrtype, m_pCallback, pManager, pParent);
    } else {
      builder.Create(source, nullptr, m_pCallback, pManager, pParent);
    }
  }
  --g_includeDepth;
}

// Further controls are classes of the factory too (SkinUI::RegisterExtraControls): the paint
// manager keeps no list of extra creators to ask in between.
CControlUI* CDialogBuilder::MakeControl(const wchar_t* name) {
  CUIString className;
  className.SmallFormat(L"C%lsUI", name);
  CControlUI* control = CControlFactory::GetInstance()->CreateControl(className.GetData());
  if (control == nullptr && m_pCallback != nullptr) control = m_pCallback->CreateControl(name);
  return control;
}

// A tree node goes to its parent node or view, and any other control under a node to the node's
// item layout; a tree node under any other parent is not added (and so not kept).
bool CDialogBuilder::AddToTree(CControlUI* control, CControlUI* parent, CControlUI*& treeView) {
  bool underTree = parent->GetInterface(L"TreeNode") != nullptr || parent->GetInterface(L"TreeView") != nullptr;
  ITreeItemParentUI* tree =
      underTree ? static_cast<ITreeItemParentUI*>(parent->GetInterface(L"ITreeItemParent")) : nullptr;
  if (tree == nullptr) return false;
  treeView = tree->GetTreeItemView();
  return tree->AddTreeItem(control);
}

CControlUI* CDialogBuilder::ParseControls(CMarkupNode* pRoot, CControlUI* pParent, CPaintManagerUI* pManager) {
  IContainerUI* container = nullptr;
  bool containerLooked = false;
  CControlUI* first = nullptr;
  for (CMarkupNode node = pRoot->GetChild(); node.IsValid(); node = node.GetSibling()) {
    const wchar_t* name = node.GetName();
    if (NameIs(name, L"Image") || NameIs(name, L"Font") || NameIs(name, L"Default") || NameIs(name, L"Style") ||
        NameIs(name, L"Import")) {
      continue;
    }
    // Without a parent only the first control has a place (the caller's root): a further one would
    // be left to nobody, alive and unowned.
    if (pParent == nullptr && (first != nullptr || NameIs(name, L"Include"))) {
      UILog(L"ParseControls, <%ls> refused: it has no parent control to go to", name);
      continue;
    }
    if (NameIs(name, L"Include")) {
      ParseInclude(node, pParent, pManager);
      continue;
    }
    CControlUI* control = MakeControl(name);
    if (control == nullptr) continue;
    if (node.HasChildren()) ParseControls(&node, control, pManager);
    bool treeItem = control->GetInterface(L"TreeNode") != nullptr;
    CControlUI* treeView = nullptr;
    if (pParent != nullptr) {
      bool added = false;
      if (treeItem || pParent->GetInterface(L"TreeNode") != nullptr) {
        added = AddToTree(control, pParent, treeView);
      } else {
        if (!containerLooked) {
          container = static_cast<IContainerUI*>(pParent->GetInterface(L"IContainer"));
          containerLooked = true;
        }
        if (container == nullptr) {
          delete control;
          return first;
        }
        added = container->Add(control);
      }
      if (!added) {
        delete control;
        continue;
      }
    }
    if (pManager != nullptr) {
      control->SetManager(pManager, treeItem ? treeView : nullptr, treeItem && treeView != nullptr);
      const wchar_t* defaults = pManager->GetDefaultAttributeList(name);
      if (defaults != nullptr) control->ApplyAttributeList(defaults);
      for (int i = 0; i < node.GetAttributeCount(); ++i) {
        control->SetAttribute(node.GetAttributeName(i), node.GetAttributeValue(i));
      }
      if (!treeItem) control->SetManager(nullptr, nullptr, false);
    } else {
      for (int i = 0; i < node.GetAttributeCount(); ++i) {
        control->SetAttribute(node.GetAttributeName(i), node.GetAttributeValue(i));
      }
    }
    if (first == nullptr) first = control;
  }
  return first;
}

}  // namespace SkinUI
