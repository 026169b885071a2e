// Ordering of the difference's COM servers, drivers and run rules by their "order"
// attribute, and removal of adjacent duplicates.
#pragma once

#include <vector>

#include "engine/parser/component_records.h"

// True when both records have "order" and the first number is smaller.
bool LessRunRuleByOrder(const RunRuleRecord& a, const RunRuleRecord& b);
bool LessRegModuleByOrder(const RegModuleRecord& a, const RegModuleRecord& b);
bool LessDriverByOrder(const DriverRecord& a, const DriverRecord& b);

// "executable" + "args" + "when" equal ignoring ASCII case.
bool SameRunRuleKey(const RunRuleRecord& a, const RunRuleRecord& b);
// "path" equal ignoring ASCII case.
bool SameRegModulePath(const RegModuleRecord& a, const RegModuleRecord& b);
bool SameDriverPath(const DriverRecord& a, const DriverRecord& b);

void SortRunRules(std::vector<RunRuleRecord>& records);
void SortRegModules(std::vector<RegModuleRecord>& records);
void SortDrivers(std::vector<DriverRecord>& records);
