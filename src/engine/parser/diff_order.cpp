#include "engine/parser/diff_order.h"

#include <algorithm>

#include "engine/parser/text_compare.h"

namespace {

template <typename Record>
bool LessByOrder(const Record& a, const Record& b) {
  auto orderA = a.attributes.find("order");
  auto orderB = b.attributes.find("order");
  if (orderA == a.attributes.end() || orderB == b.attributes.end()) return false;
  return DecimalValue(orderA->second) < DecimalValue(orderB->second);
}

// Records without "order" are neither smaller nor greater than any other, which is no
// strict weak ordering to sort by. They go after the numbered records, in list order, and
// the numbered records keep their list order among equal numbers.
template <typename Record, typename Less>
void SortByOrder(std::vector<Record>& records, Less less) {
  auto numberedFirst = [&less](const Record& a, const Record& b) {
    bool aNumbered = a.attributes.count("order") != 0;
    bool bNumbered = b.attributes.count("order") != 0;
    if (aNumbered != bNumbered) return aNumbered;
    return less(a, b);
  };
  std::stable_sort(records.begin(), records.end(), numberedFirst);
}

template <typename Record, typename Less, typename Same>
void SortAndDropDuplicates(std::vector<Record>& records, Less less, Same same) {
  SortByOrder(records, less);
  records.erase(std::unique(records.begin(), records.end(), same), records.end());
}

}  // namespace

bool LessRunRuleByOrder(const RunRuleRecord& a, const RunRuleRecord& b) { return LessByOrder(a, b); }
bool LessRegModuleByOrder(const RegModuleRecord& a, const RegModuleRecord& b) { return LessByOrder(a, b); }
bool LessDriverByOrder(const DriverRecord& a, const DriverRecord& b) { return LessByOrder(a, b); }

bool SameRunRuleKey(const RunRuleRecord& a, const RunRuleRecord& b) {
  auto key = [](const RunRuleRecord& r) {
    return FindAttribute(r.attributes, "executable") + FindAttribute(r.attributes, "args") +
           FindAttribute(r.attributes, "when");
  };
  return EqualsNoCase(key(a), key(b));
}

bool SameRegModulePath(const RegModuleRecord& a, const RegModuleRecord& b) {
  return EqualsNoCase(FindAttribute(a.attributes, "path"), FindAttribute(b.attributes, "path"));
}

bool SameDriverPath(const DriverRecord& a, const DriverRecord& b) {
  return EqualsNoCase(FindAttribute(a.attributes, "path"), FindAttribute(b.attributes, "path"));
}

void SortRunRules(std::vector<RunRuleRecord>& records) {
  SortAndDropDuplicates(records, LessRunRuleByOrder, SameRunRuleKey);
}

void SortRegModules(std::vector<RegModuleRecord>& records) {
  SortAndDropDuplicates(records, LessRegModuleByOrder, SameRegModulePath);
}

void SortDrivers(std::vector<DriverRecord>& records) {
  SortAndDropDuplicates(records, LessDriverByOrder, SameDriverPath);
}
