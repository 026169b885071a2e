#include "engine/parser/dependent_records.h"

namespace {

template <typename Records>
void MarkByKey(Records& records, const char* key, const std::function<bool(const std::string&)>& fileIsActive) {
  for (auto& record : records) {
    if (!fileIsActive(record.attributes[key])) record.excluded = true;
  }
}

}  // namespace

FileRecord* FirstFileNamed(std::vector<FileRecord>& files, const std::string& path) {
  for (FileRecord& file : files) {
    if (FileRecordMatchesPath(file, path)) return &file;
  }
  return nullptr;
}

void MarkDependentRecords(ComponentConfig& component,
                          const std::function<bool(const std::string& file)>& fileIsActive) {
  MarkByKey(component.regModules, "path", fileIsActive);
  MarkByKey(component.drivers, "path", fileIsActive);
  MarkByKey(component.runRules, "executable", fileIsActive);
  MarkByKey(component.shortCuts, "link", fileIsActive);
}
