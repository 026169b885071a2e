// One component of a product, as its configuration file describes it. The same type
// holds the update engine's delete and add lists.
#pragma once

#include <string>
#include <vector>

#include "engine/parser/component_records.h"
#include "engine/parser/keyword_tables.h"

class ComponentConfig {
 public:
  // Lists in document order.
  std::vector<FileRecord> files;
  std::vector<RegUpdateRecord> regUpdates;
  std::vector<RegModuleRecord> regModules;
  std::vector<ShortCutRecord> shortCuts;
  std::vector<DriverRecord> drivers;
  std::vector<RunRuleRecord> runRules;

  KeywordTables keywords;

  // The root element's attributes ("name_0409" pairs installed and new components).
  AttributeMap attributes;

  // The entry of the product's component list the file was loaded from.
  std::wstring name;
};
