// Fitting a loaded product description to the running system.
#include <algorithm>

#include "engine/parser/dependent_records.h"
#include "engine/parser/os_condition.h"
#include "engine/parser/product_config.h"
#include "engine/parser/text_compare.h"

namespace {

void ExcludeUnfitFiles(ComponentConfig& component, const std::string& osVersion, const std::string& platform) {
  for (FileRecord& file : component.files) {
    const std::string& os = file.attributes["os"];
    if (!osVersion.empty() && !os.empty() && !MatchOsCondition(os, osVersion)) {
      file.excluded = true;
      continue;
    }
    const std::string& filePlatform = file.attributes["platform"];
    if (!platform.empty() && !filePlatform.empty() && !EqualsNoCase(filePlatform, platform)) {
      file.excluded = true;
    }
  }
}

}  // namespace

int ProductConfig::FilterByOsPlatform(const std::string& osVersion, const std::string& platform) {
  std::stable_sort(components.begin(), components.end(),
                   [](const ComponentConfig& a, const ComponentConfig& b) { return a.name < b.name; });
  components.erase(std::unique(components.begin(), components.end(),
                               [](const ComponentConfig& a, const ComponentConfig& b) { return a.name == b.name; }),
                   components.end());

  for (ComponentConfig& component : components) {
    if (!osVersion.empty() &&
        (osVersion.find('+') != std::string::npos || !InKeywordTable(component.keywords.osVersions, osVersion))) {
      return -1;
    }
    if (!platform.empty() && !InKeywordTable(component.keywords.platforms, platform)) return -1;
    ExcludeUnfitFiles(component, osVersion, platform);
  }
  return MarkDependentsOfExcluded();
}

int ProductConfig::MarkDependentsOfExcluded() {
  auto fileIsActive = [this](const std::string& path) {
    for (ComponentConfig& component : components) {
      FileRecord* file = FirstFileNamed(component.files, path);
      if (file && !file->excluded) return true;
    }
    return false;
  };
  for (ComponentConfig& component : components) MarkDependentRecords(component, fileIsActive);
  return 0;
}
