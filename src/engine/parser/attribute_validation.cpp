// Validation of the attribute values of component configuration files.
#include <cstring>

#include "engine/parser/os_condition.h"
#include "engine/parser/product_config.h"
#include "engine/parser/text_compare.h"

namespace {

bool NameIsOneOf(const std::string& name, std::initializer_list<const char*> names) {
  for (const char* candidate : names) {
    if (EqualsNoCase(name, candidate)) return true;
  }
  return false;
}

}  // namespace

bool ProductConfig::ValidateAttribute(const std::string& name, const std::string& value, const ComponentConfig& tables,
                                      bool checkType) {
  const KeywordTables& k = tables.keywords;
  if (NameIsOneOf(name, {"isEssential", "isDisplay"})) return InKeywordTable(k.yesNo, value);
  if (NameIsOneOf(name, {"isUpgrade", "isInstall", "usereg", "finaldel", "bwaitend", "noDelete"})) {
    return InKeywordTable(k.booleans, value);
  }
  if (NameIsOneOf(name, {"needReboot"})) return InKeywordTable(k.rebootValues, value);
  if (checkType && NameIsOneOf(name, {"type"})) return InKeywordTable(k.componentTypes, value);
  if (NameIsOneOf(name, {"os"})) {
    std::string low, high;
    return IsValidOsCondition(value, low, high);
  }
  if (NameIsOneOf(name, {"platform"})) return InKeywordTable(k.platforms, value);
  if (NameIsOneOf(name, {"workdir"})) return InKeywordTable(k.workFolders, value);
  if (NameIsOneOf(name, {"when"})) return InKeywordTable(k.runPhases, value);
  if (NameIsOneOf(name, {"runMode"})) return InKeywordTable(k.runModes, value);
  if (NameIsOneOf(name, {"cmd"})) return InKeywordTable(k.commands, value);
  if (NameIsOneOf(name, {"order"})) return DecimalValue(value) > 0;
  return true;
}
