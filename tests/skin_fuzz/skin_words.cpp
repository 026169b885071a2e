#include "skin_words.h"

#include <cwchar>
#include <memory>

#include "ui/core/builder/control_factory.h"
#include "ui/core/paint/control/control.h"
#include "ui/extra/extra_controls.h"

namespace skin_fuzz {

namespace {

struct SourceWord {
  const wchar_t* word;
  const char* files;  // the source files that hold it, relative to src/ui, ';'-separated
};

const SourceWord kSourceWords[] = {
#include "skin_words.inc"
};

bool FromFile(const SourceWord& w, const char* part) { return strstr(w.files, part) != nullptr; }

// "CButtonUI" -> "Button"; a name that is not "C...UI" stays as it is.
std::wstring ElementOf(const std::wstring& className) {
  const std::wstring& c = className;
  if (c.size() > 3 && c[0] == L'C' && c.compare(c.size() - 2, 2, L"UI") == 0) return c.substr(1, c.size() - 3);
  return c;
}

// The names among `words` that the class reads: set each one, see which were kept as custom.
std::vector<std::wstring> AttributesRead(const wchar_t* className, const std::vector<std::wstring>& words) {
  std::unique_ptr<SkinUI::CControlUI> probe(SkinUI::CControlFactory::GetInstance()->CreateControl(className));
  std::vector<std::wstring> read;
  if (probe == nullptr) return read;
  for (const std::wstring& w : words) probe->SetAttribute(w.c_str(), L"1");
  for (const std::wstring& w : words) {
    if (probe->GetCustomAttribute(w.c_str()) == nullptr) read.push_back(w);
  }
  return read;
}

}  // namespace

SkinWords SkinWords::Learn() {
  SkinUI::RegisterExtraControls();
  SkinWords sw;
  for (const SourceWord& w : kSourceWords) {
    sw.words.push_back(w.word);
    if (FromFile(w, "builder/dialog_builder")) sw.windowAttributes.push_back(w.word);
    if (FromFile(w, "render/")) sw.imageKeys.push_back(w.word);
  }
  std::vector<std::wstring> base = AttributesRead(L"CControlUI", sw.words);
  for (const SkinUI::CUIString& cls : SkinUI::CControlFactory::GetInstance()->GetClassNames()) {
    ElementWords e;
    e.element = ElementOf(cls.GetData());
    e.all = AttributesRead(cls.GetData(), sw.words);
    for (const std::wstring& a : e.all) {
      bool inBase = false;
      for (const std::wstring& b : base) inBase = inBase || b == a;
      if (!inBase) e.own.push_back(a);
    }
    sw.elements.push_back(e);
  }
  return sw;
}

const ElementWords* SkinWords::Find(const std::wstring& element) const {
  for (const ElementWords& e : elements) {
    if (_wcsicmp(e.element.c_str(), element.c_str()) == 0) return &e;
  }
  return nullptr;
}

}  // namespace skin_fuzz
