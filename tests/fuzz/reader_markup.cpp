// Skin layouts as the window base reads them: the markup parser over the bytes of a layout,
// then the dialog builder with a paint manager, which takes the styles, defaults, fonts and
// images and follows the includes into the demo skin of the framework's tests.
#include "readers.h"
#include "ui/core/builder/dialog_builder.h"
#include "ui/core/paint/manager/paint_manager.h"
#include "ui/core/resources/markup.h"

namespace fuzz {

namespace {

int EncodingOf(const std::string& input) {
  const bool bom16 =
      input.size() >= 2 && ((input[0] == '\xFF' && input[1] == '\xFE') || (input[0] == '\xFE' && input[1] == '\xFF'));
  return bom16 ? SkinUI::XMLFILE_ENCODING_UNICODE : SkinUI::XMLFILE_ENCODING_UTF8;
}

// Every attribute of every element, by index and by name.
void Walk(SkinUI::CMarkupNode node) {
  for (; node.IsValid(); node = node.GetSibling()) {
    const int count = node.GetAttributeCount();
    wchar_t value[64];
    for (int i = 0; i < count; ++i) node.GetAttributeValue(node.GetAttributeName(i), value, 64);
    Walk(node.GetChild());
  }
}

// One manager for the round (its start-up is costly): each input leaves it as it found it.
SkinUI::CPaintManagerUI* g_manager = nullptr;

void ForgetResources(SkinUI::CPaintManagerUI& manager) {
  for (bool shared : {false, true}) {
    manager.RemoveAllFonts(shared);
    manager.RemoveAllImages(shared);
    manager.RemoveAllDefaultAttributeList(shared);
    manager.RemoveAllStyles(shared);
  }
  manager.RemoveAllOptionGroups();
  manager.RemoveAllDrawInfos();
}

void ReadLayout(const std::string& input) {
  std::string bytes = input;  // a big-endian text is swapped in place
  SkinUI::CPaintManagerUI& manager = *g_manager;
  SkinUI::CDialogBuilder builder;
  SkinUI::CMarkup* markup = builder.GetMarkup();
  if (!markup->LoadFromMem(reinterpret_cast<BYTE*>(&bytes[0]), static_cast<DWORD>(bytes.size()), EncodingOf(input))) {
    return;
  }
  Walk(markup->GetRoot());
  delete builder.CreateFromMarkup(nullptr, &manager, nullptr);
  ForgetResources(manager);
}

}  // namespace

Reader MarkupReader(const SeedFolders& folders) {
  // Includes name layouts of the demo skin, read from its archive.
  SkinUI::CPaintManagerUI::SetInstance(GetModuleHandleW(nullptr));
  SkinUI::CPaintManagerUI::SetResourcePath((folders.build + L"\\tests\\ui\\fixtures").c_str());
  SkinUI::CPaintManagerUI::SetResourceZip(L"demo.zip", true);
  if (g_manager == nullptr) g_manager = new SkinUI::CPaintManagerUI();
  Reader reader{"markup", SeedFiles(folders.source + L"\\tests\\ui\\fixtures", {L".xml"}), &ReadLayout};
  for (std::string& layout : SeedFiles(folders.source + L"\\sample\\skin", {L".xml"})) reader.seeds.push_back(layout);
  return reader;
}

}  // namespace fuzz
