// Skin layouts as the window base reads them: the markup parser over the bytes of a layout,
// then the dialog builder with a paint manager, which takes the styles, defaults, fonts and
// images and follows the includes into the demo skin of the framework's tests.
#include "readers.h"
#include "ui/core/builder/dialog_builder.h"
#include "ui/core/paint/control/control.h"
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

// Resources a layout marks "shared" outlive its manager: each input leaves none behind.
void ForgetSharedResources(SkinUI::CPaintManagerUI& manager) {
  manager.RemoveAllFonts(true);
  manager.RemoveAllImages(true);
  manager.RemoveAllDefaultAttributeList(true);
  manager.RemoveAllStyles(true);
}

void ReadLayout(const std::string& input) {
  std::string bytes = input;  // a big-endian text is swapped in place
  // A manager per layout, as a window has: its lists (notifications, timers) grow with what
  // the controls of one layout leave there.
  SkinUI::CPaintManagerUI manager;
  SkinUI::CDialogBuilder builder;
  SkinUI::CMarkup* markup = builder.GetMarkup();
  if (!markup->LoadFromMem(reinterpret_cast<BYTE*>(&bytes[0]), static_cast<DWORD>(bytes.size()), EncodingOf(input))) {
    return;
  }
  Walk(markup->GetRoot());
  delete builder.CreateFromMarkup(nullptr, &manager, nullptr);
  ForgetSharedResources(manager);
}

}  // namespace

Reader MarkupReader(const SeedFolders& folders) {
  // Includes name layouts of the demo skin, read from its archive.
  SkinUI::CPaintManagerUI::SetInstance(GetModuleHandleW(nullptr));
  SkinUI::CPaintManagerUI::SetResourcePath((folders.build + L"\\tests\\ui\\fixtures").c_str());
  SkinUI::CPaintManagerUI::SetResourceZip(L"demo.zip", true);
  Reader reader{"markup", SeedFiles(folders.source + L"\\tests\\ui\\fixtures", {L".xml"}), &ReadLayout};
  for (std::string& layout : SeedFiles(folders.source + L"\\sample\\skin", {L".xml"})) reader.seeds.push_back(layout);
  return reader;
}

}  // namespace fuzz
