// Reading "Product.config" and the setup file list.
#include "engine/parser/product_reader.h"

#include <cstdarg>

#include "common/log/vlog.h"
#include "common/sys/text_convert.h"
#include "engine/job/prompt.h"
#include "engine/parser/format_text.h"
#include "engine/parser/text_compare.h"
#include "engine/parser/xml_document.h"

namespace {

std::wstring WideAttribute(const TiXmlElement& element, const char* name) {
  return Utf8ToWide(AttributeText(element, name).c_str());
}

void ReadCommon(const TiXmlElement& common, ProductConfig& out) {
  out.productId |= DecimalValue(AttributeText(common, "ProductID"));
  out.productOs = DecimalValue(AttributeText(common, "ProductOS"));
  out.productType = WideAttribute(common, "ProductType");
  out.productRunMode = DecimalValue(AttributeText(common, "ProductRunMode"));
  out.productVersion = WideAttribute(common, "ProductVer");
  out.productVersion2 = WideAttribute(common, "ProductVer2");
  out.systemVersion = WideAttribute(common, "SysVersion");
}

void ReadComponentRefs(const TiXmlElement& components, ProductConfig& out) {
  for (const TiXmlElement* entry = components.FirstChildElement(); entry; entry = entry->NextSiblingElement()) {
    out.componentRefs.push_back({WideAttribute(*entry, "name"), WideAttribute(*entry, "config"), 1});
  }
}

void ReadProductInfo(const TiXmlElement& info, ProductConfig& out) {
  for (const TiXmlElement* child = info.FirstChildElement(); child; child = child->NextSiblingElement()) {
    if (IsElementNamed(*child, "common")) {
      ReadCommon(*child, out);
    } else if (IsElementNamed(*child, "components")) {
      ReadComponentRefs(*child, out);
    }
  }
}

void ReadInstallInfo(const TiXmlElement& info, ProductConfig& out) {
  out.installPath = WideAttribute(info, "Path");
  out.regKey = WideAttribute(info, "RegKey");
  out.name0804 = WideAttribute(info, "Name_0804");
  out.name0404 = WideAttribute(info, "Name_0404");
  out.name0409 = WideAttribute(info, "Name_0409");
}

// Loads the document and gives its root element, or null.
const TiXmlElement* LoadRoot(const std::wstring& path, TiXmlDocument& document, const char* operation) {
  if (!LoadXmlFile(path, document)) {
    VLOG_ERROR("%s, load failed, path %s, %s", operation, WideToUtf8(path.c_str()).c_str(), document.ErrorDesc());
    return nullptr;
  }
  const TiXmlElement* root = document.RootElement();
  if (!root) VLOG_ERROR("%s, no root element, path %s", operation, WideToUtf8(path.c_str()).c_str());
  return root;
}

}  // namespace

void LogProductConfigError(IInstallUIPromptEx* sink, const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string text = FormatTextV(format, args);
  va_end(args);
  VLOG_ERROR("ParseProductConfig, %s", text.c_str());
  if (sink) sink->OnMessageA(text, 0);
}

int ParseProductConfig(IInstallUIPromptEx* sink, const std::wstring& path, ProductConfig& out) {
  TiXmlDocument document;
  const TiXmlElement* root = LoadRoot(path, document, "ParseProductConfig");
  if (!root) return 0;

  std::string type = AttributeText(*root, "type");
  if (type.empty()) LogProductConfigError(sink, "Attribute Value Is Null [type=\"\"]");
  if (EqualsNoCase(type, "offline")) {
    out.type = 1;
  } else if (EqualsNoCase(type, "web")) {
    out.type = 2;
  }
  out.version = AttributeText(*root, "version");

  for (const TiXmlElement* child = root->FirstChildElement(); child; child = child->NextSiblingElement()) {
    if (IsElementNamed(*child, "productinfo")) {
      ReadProductInfo(*child, out);
    } else if (IsElementNamed(*child, "installinfo")) {
      ReadInstallInfo(*child, out);
    } else if (IsElementNamed(*child, "extramodule")) {
      out.extraModulePath = WideAttribute(*child, "Path");
    } else if (IsElementNamed(*child, "SetupInfo")) {
      out.setupInfoConfig = WideAttribute(*child, "config");
    }
  }
  return 1;
}

int ParseFileList(const std::wstring& path, std::map<std::wstring, std::wstring>& out) {
  TiXmlDocument document;
  const TiXmlElement* root = LoadRoot(path, document, "ParseFileList");
  if (!root) return 0;
  for (const TiXmlElement* config = root->FirstChildElement(); config; config = config->NextSiblingElement()) {
    if (!IsElementNamed(*config, "config")) continue;
    for (const TiXmlElement* files = config->FirstChildElement(); files; files = files->NextSiblingElement()) {
      if (!IsElementNamed(*files, "files")) continue;
      for (const TiXmlElement* file = files->FirstChildElement(); file; file = file->NextSiblingElement()) {
        if (!IsElementNamed(*file, "file")) continue;
        std::wstring source = WideAttribute(*file, "path");
        std::wstring target = WideAttribute(*file, "newpath");
        out[source] = target.empty() ? source : target;
      }
    }
  }
  return 1;
}
