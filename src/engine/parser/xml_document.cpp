#include "engine/parser/xml_document.h"

#include <cstdio>
#include <memory>

#include "engine/parser/text_compare.h"

namespace {

struct FileCloser {
  void operator()(FILE* file) const { fclose(file); }
};

}  // namespace

bool LoadXmlFile(const std::wstring& path, TiXmlDocument& document) {
  std::unique_ptr<FILE, FileCloser> file(_wfopen(path.c_str(), L"rb"));
  if (!file) {
    document.SetError(TiXmlBase::TIXML_ERROR_OPENING_FILE, nullptr, nullptr, TIXML_ENCODING_UNKNOWN);
    return false;
  }
  return document.LoadFile(file.get());
}

bool IsElementNamed(const TiXmlElement& element, const char* name) { return EqualsNoCase(element.ValueStr(), name); }

std::string AttributeText(const TiXmlElement& element, const char* name) {
  const char* value = element.Attribute(name);
  return value ? value : "";
}
