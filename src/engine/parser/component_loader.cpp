// Loading the component configuration files of a product into typed record lists.
#include <cstdarg>

#include "common/log/vlog.h"
#include "common/sys/text_convert.h"
#include "engine/job/prompt.h"
#include "engine/parser/format_text.h"
#include "engine/parser/product_config.h"
#include "engine/parser/xml_document.h"

namespace {

// The comma-separated items of a component list; empty items name no file.
std::vector<std::wstring> SplitComponentList(const std::wstring& list) {
  std::vector<std::wstring> items;
  size_t begin = 0;
  while (begin <= list.size()) {
    size_t comma = list.find(L',', begin);
    if (comma == std::wstring::npos) comma = list.size();
    if (comma > begin) items.push_back(list.substr(begin, comma - begin));
    begin = comma + 1;
  }
  return items;
}

// Appends "<label value> <key> is null\r\n" for each record without a value for key.
template <typename Records>
bool CheckRequiredKeys(std::string& message, const Records& list, const char* key, const char* label) {
  bool ok = true;
  for (const auto& record : list) {
    if (!FindAttribute(record.attributes, key).empty()) continue;
    message += FindAttribute(record.attributes, label) + " " + key + " is null\r\n";
    ok = false;
  }
  return ok;
}

}  // namespace

std::wstring ProductConfig::ComponentListText() const {
  std::wstring list;
  for (const ComponentRef& component : componentRefs) list += component.config + L",";
  return list;
}

int ProductConfig::ParseComponentConfigs(const std::wstring& list) {
  components.clear();
  for (const std::wstring& item : SplitComponentList(list)) {
    ++componentCount;
    ComponentConfig component;
    component.name = item;
    std::wstring path = configFolder + L"package\\" + item;
    VLOG_DEBUG("ParseComponentConfigs, Parse %s", WideToUtf8(path.c_str()).c_str());
    if (!LoadComponentConfig(path, component)) {
      VLOG_ERROR("ParseComponentConfigs, load failed, path %s; the components after it are not loaded",
                 WideToUtf8(path.c_str()).c_str());
      return -1;
    }
    components.push_back(std::move(component));
  }
  return 0;
}

bool ProductConfig::LoadComponentConfig(const std::wstring& path, ComponentConfig& component) {
  loadingFile_ = WideToUtf8(path.c_str());
  TiXmlDocument document;
  bool loaded = LoadXmlFile(path, document);
  const TiXmlElement* root = loaded ? document.RootElement() : nullptr;
  if (!root) {
    if (loaded) document.SetError(TiXmlBase::TIXML_ERROR_DOCUMENT_EMPTY, nullptr, nullptr, TIXML_ENCODING_UNKNOWN);
    ReportLoadError(std::string(document.ErrorDesc()) + loadingFile_);
    return false;
  }
  bool ok = LoadAttributes(*root, component, component.attributes, true);
  ok = LoadSections(*root, component, loadingFile_) && ok;
  fileCount += static_cast<int32_t>(component.files.size());
  return ok;
}

bool ProductConfig::LoadSections(const TiXmlElement& root, ComponentConfig& component, const std::string& pathUtf8) {
  bool ok = true;
  for (const TiXmlElement* child = root.FirstChildElement(); child; child = child->NextSiblingElement()) {
    if (IsElementNamed(*child, "Config")) {
      ok = LoadConfigSection(*child, component, pathUtf8) && ok;
    } else if (IsElementNamed(*child, "RunRule")) {
      ok = LoadRunRules(*child, component, component.runRules) && ok;
      ok = CheckRequired(component.runRules, "order", "executable", pathUtf8) && ok;
      ok = CheckRequired(component.runRules, "when", "executable", pathUtf8) && ok;
    } else {
      LogError("Not Support Ele [%s]", child->Value());
      ok = false;
    }
  }
  return ok;
}

bool ProductConfig::LoadConfigSection(const TiXmlElement& config, ComponentConfig& component,
                                      const std::string& pathUtf8) {
  bool ok = true;
  for (const TiXmlElement* section = config.FirstChildElement(); section; section = section->NextSiblingElement()) {
    if (IsElementNamed(*section, "Files")) {
      ok = LoadFiles(*section, component, component.files) && ok;
    } else if (IsElementNamed(*section, "RegModules")) {
      ok = LoadRegModules(*section, component, component.regModules) && ok;
      ok = CheckRequired(component.regModules, "order", "path", pathUtf8) && ok;
    } else if (IsElementNamed(*section, "RegUpdate")) {
      ok = LoadRegUpdates(*section, component, component.regUpdates) && ok;
    } else if (IsElementNamed(*section, "ShortCut")) {
      ok = LoadShortCuts(*section, component, component.shortCuts) && ok;
    } else if (IsElementNamed(*section, "Drivers")) {
      ok = LoadDrivers(*section, component, component.drivers) && ok;
      ok = CheckRequired(component.drivers, "order", "path", pathUtf8) && ok;
    }
  }
  return ok;
}

template <typename Records>
bool ProductConfig::CheckRequired(const Records& list, const char* key, const char* label,
                                  const std::string& pathUtf8) {
  std::string message;
  if (CheckRequiredKeys(message, list, key, label)) return true;
  ReportLoadError(message + pathUtf8);
  return false;
}

bool ProductConfig::LoadAttributes(const TiXmlElement& element, const ComponentConfig& component, AttributeMap& map,
                                   bool checkType) {
  bool ok = true;
  for (const TiXmlAttribute* attribute = element.FirstAttribute(); attribute; attribute = attribute->Next()) {
    const std::string& name = attribute->NameTStr();
    const std::string& value = attribute->ValueStr();
    if (value.empty()) {
      LogError("Attribute Value Is Null [%s=\"%s\"]", name.c_str(), value.c_str());
      ok = false;
    }
    if (!ValidateAttribute(name, value, component, checkType)) {
      LogError("Invalid Attribute Value [%s=\"%s\"]", name.c_str(), value.c_str());
      ok = false;
    }
    if (!map.emplace(name, value).second) {
      LogError("Insert Failed Attribute Value [%s=\"%s\"]", name.c_str(), value.c_str());
      ok = false;
    }
  }
  return ok;
}

template <typename Record>
bool ProductConfig::LoadSection(const TiXmlElement& section, RecordKind kind, ComponentConfig& component,
                                std::vector<Record>& list) {
  bool ok = true;
  for (const TiXmlElement* child = section.FirstChildElement(); child; child = child->NextSiblingElement()) {
    Record record;
    ok = LoadAttributes(*child, component, record.attributes, false) && ok;
    MakeRecordCrcs(kind, record.identityCrc, record.contentCrc, 0, record.attributes);
    list.push_back(std::move(record));
  }
  return ok;
}

bool ProductConfig::LoadFiles(const TiXmlElement& section, ComponentConfig& component, std::vector<FileRecord>& list) {
  size_t first = list.size();
  bool ok = LoadSection(section, kFileRecordKind, component, list);
  for (size_t i = first; i < list.size(); ++i) list[i].packed = true;
  return ok;
}

bool ProductConfig::LoadRegModules(const TiXmlElement& section, ComponentConfig& component,
                                   std::vector<RegModuleRecord>& list) {
  return LoadSection(section, kRegModuleRecordKind, component, list);
}

bool ProductConfig::LoadRegUpdates(const TiXmlElement& section, ComponentConfig& component,
                                   std::vector<RegUpdateRecord>& list) {
  return LoadSection(section, kRegUpdateRecordKind, component, list);
}

bool ProductConfig::LoadDrivers(const TiXmlElement& section, ComponentConfig& component,
                                std::vector<DriverRecord>& list) {
  return LoadSection(section, kDriverRecordKind, component, list);
}

bool ProductConfig::LoadRunRules(const TiXmlElement& section, ComponentConfig& component,
                                 std::vector<RunRuleRecord>& list) {
  return LoadSection(section, kRunRuleRecordKind, component, list);
}

bool ProductConfig::LoadShortCuts(const TiXmlElement& section, ComponentConfig& component,
                                  std::vector<ShortCutRecord>& list) {
  bool ok = true;
  for (const TiXmlElement* group = section.FirstChildElement(); group; group = group->NextSiblingElement()) {
    if (IsElementNamed(*group, "startmenu")) {
      const TiXmlElement* folder = group->FirstChildElement();
      if (!folder || !IsElementNamed(*folder, "folder")) continue;
      for (const TiXmlElement* item = folder->FirstChildElement(); item; item = item->NextSiblingElement()) {
        ShortCutRecord record;
        ok = LoadAttributes(*folder, component, record.folder, false) && ok;
        if (record.folder.empty()) {
          LogError("Folder Name Must Have Value [%s]", folder->Value());
          ok = false;
        }
        record.location = kShortCutStartMenu;
        ok = LoadAttributes(*item, component, record.attributes, false) && ok;
        MakeRecordCrcs(kShortCutRecordKind, record.identityCrc, record.contentCrc, record.location, record.attributes);
        list.push_back(std::move(record));
      }
    } else if (IsElementNamed(*group, "desktop")) {
      ok = LoadShortCutGroup(kShortCutDesktop, *group, component, list) && ok;
    } else if (IsElementNamed(*group, "quicklanch")) {
      ok = LoadShortCutGroup(kShortCutQuickLaunch, *group, component, list) && ok;
    }
  }
  return ok;
}

bool ProductConfig::LoadShortCutGroup(int32_t location, const TiXmlElement& group, ComponentConfig& component,
                                      std::vector<ShortCutRecord>& list) {
  bool ok = true;
  ShortCutRecord record;
  record.location = location;
  for (const TiXmlElement* item = group.FirstChildElement(); item; item = item->NextSiblingElement()) {
    ok = LoadAttributes(*item, component, record.attributes, false) && ok;
  }
  MakeRecordCrcs(kShortCutRecordKind, record.identityCrc, record.contentCrc, location, record.attributes);
  list.push_back(std::move(record));
  return ok;
}

void ProductConfig::LogError(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string text = FormatTextV(format, args);
  va_end(args);
  ReportLoadError(text);
}

void ProductConfig::ReportLoadError(const std::string& text) {
  VLOG_ERROR("LoadComponentConfig, %s, %s", loadingFile_.c_str(), text.c_str());
  if (errorSink) errorSink->OnMessageA(text, 0);
}
