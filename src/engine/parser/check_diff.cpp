#include "engine/parser/check_diff.h"

#include <set>

#include "common/sys/text_convert.h"
#include "engine/parser/dependent_records.h"
#include "engine/parser/diff_order.h"
#include "engine/parser/file_on_disk.h"
#include "engine/parser/text_compare.h"

namespace {

bool IsFalse(const AttributeMap& attributes, const char* name) {
  return EqualsNoCase(FindAttribute(attributes, name), "false");
}

template <typename Record>
const Record* FindByIdentity(const std::vector<Record>& records, uint32_t identity) {
  for (const Record& record : records) {
    if (record.identityCrc == identity) return &record;
  }
  return nullptr;
}

// Appends r when b lacks it or, comparing content, holds it differently.
template <typename Record>
void AppendChanged(std::vector<Record>& result, const Record& r, const std::vector<Record>& b, bool compareContent) {
  const Record* partner = FindByIdentity(b, r.identityCrc);
  if (!partner || (compareContent && partner->contentCrc != r.contentCrc)) result.push_back(r);
}

template <typename Record>
int DiffRecords(std::vector<Record>& result, const std::vector<Record>& a, const std::vector<Record>& b,
                bool compareContent) {
  for (const Record& r : a) AppendChanged(result, r, b, compareContent);
  return 0;
}

template <typename Record>
void AppendAll(std::vector<Record>& result, const std::vector<Record>& records) {
  result.insert(result.end(), records.begin(), records.end());
}

// The installed relative path as a key that ignores ASCII case.
std::string PathKey(const FileRecord& file) {
  std::string key = InstalledRelativePath(file);
  for (char& c : key) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return key;
}

}  // namespace

int CCheckDiff::CheckProductDifference(ComponentConfig& deleteList, ComponentConfig& addList, int mode) {
  mode_ = mode;
  installRoot_ = newProduct.productFolder.empty() ? installedProduct.productFolder : newProduct.productFolder;
  if (mode == kAddAll) {
    for (const ComponentConfig& component : newProduct.components) AddWholeComponent(addList, component);
    return 0;
  }
  installedProduct.UpdateCopyFileRef();
  if (DiffProducts(deleteList, installedProduct, newProduct, false) != 0) return -1;
  if (DiffProducts(addList, newProduct, installedProduct, true) != 0) return -1;
  DiffUpgradeFiles(addList, deleteList, installedProduct.components, mode);

  SortRunRules(deleteList.runRules);
  SortRunRules(addList.runRules);
  SortDrivers(deleteList.drivers);
  SortDrivers(addList.drivers);
  SortRegModules(deleteList.regModules);
  SortRegModules(addList.regModules);

  ProductConfig::UpdateNoDeleteFileRef(deleteList, true, installRoot_);
  ProductConfig::UpdateNoDeleteFileRef(addList, false, installRoot_);
  KeepExistingProtectedFiles(addList);
  KeepFilesOfTheNewProduct(deleteList);
  MarkDependentsOfExcluded(addList);
  return 0;
}

int CCheckDiff::DiffProducts(ComponentConfig& result, ProductConfig& a, ProductConfig& b, bool compareContent) {
  for (ComponentConfig& component : a.components) {
    const std::string& name = FindAttribute(component.attributes, "name_0409");
    ComponentConfig* partner = nullptr;
    for (ComponentConfig& candidate : b.components) {
      if (EqualsNoCase(FindAttribute(candidate.attributes, "name_0409"), name)) {
        partner = &candidate;
        break;
      }
    }
    if (!partner) {
      AddWholeComponent(result, component);
    } else if (DiffComponent(result, component, *partner, compareContent) != 0) {
      return -1;
    }
  }
  return 0;
}

void CCheckDiff::AddWholeComponent(ComponentConfig& result, const ComponentConfig& component) {
  AppendAll(result.files, component.files);
  AppendAll(result.regUpdates, component.regUpdates);
  AppendAll(result.regModules, component.regModules);
  AppendAll(result.shortCuts, component.shortCuts);
  AppendAll(result.drivers, component.drivers);
  AppendAll(result.runRules, component.runRules);
}

int CCheckDiff::DiffComponent(ComponentConfig& result, ComponentConfig& a, ComponentConfig& b, bool compareContent) {
  bool live = compareContent && mode_ == kLiveRegistry;
  int failed = 0;
  failed |= DiffFiles(result.files, a.files, b.files, compareContent);
  failed |= live ? DiffRegUpdates(result.regUpdates, a.regUpdates)
                 : DiffRegUpdateList(result.regUpdates, a.regUpdates, b.regUpdates, compareContent);
  failed |= DiffShortCuts(result.shortCuts, a.shortCuts, b.shortCuts);
  if (live) {
    AppendAll(result.regModules, a.regModules);
    AppendAll(result.drivers, a.drivers);
  } else {
    failed |= DiffRegModules(result.regModules, a.regModules, b.regModules, compareContent);
    failed |= DiffDrivers(result.drivers, a.drivers, b.drivers, compareContent);
  }
  // Run rules are not compared: both lists get the new product's rules.
  AppendAll(result.runRules, compareContent ? a.runRules : b.runRules);
  return failed ? -1 : 0;
}

int CCheckDiff::DiffFiles(std::vector<FileRecord>& result, const std::vector<FileRecord>& a,
                          const std::vector<FileRecord>& b, bool compareContent) {
  for (const FileRecord& r : a) {
    if (compareContent && IsFalse(r.attributes, "isInstall")) {
      // Install-if-absent: only a missing file is put in place.
      if (!InstallRootHolds(r)) result.push_back(r);
      continue;
    }
    AppendChanged(result, r, b, compareContent);
  }
  return 0;
}

int CCheckDiff::DiffRegUpdateList(std::vector<RegUpdateRecord>& result, const std::vector<RegUpdateRecord>& a,
                                  const std::vector<RegUpdateRecord>& b, bool compareContent) {
  return DiffRecords(result, a, b, compareContent);
}

int CCheckDiff::DiffRegModules(std::vector<RegModuleRecord>& result, const std::vector<RegModuleRecord>& a,
                               const std::vector<RegModuleRecord>& b, bool compareContent) {
  return DiffRecords(result, a, b, compareContent);
}

int CCheckDiff::DiffDrivers(std::vector<DriverRecord>& result, const std::vector<DriverRecord>& a,
                            const std::vector<DriverRecord>& b, bool compareContent) {
  return DiffRecords(result, a, b, compareContent);
}

int CCheckDiff::DiffShortCuts(std::vector<ShortCutRecord>& result, const std::vector<ShortCutRecord>& a,
                              const std::vector<ShortCutRecord>& b) {
  return DiffRecords(result, a, b, false);
}

void CCheckDiff::DiffUpgradeFiles(ComponentConfig& addList, ComponentConfig& deleteList,
                                  std::vector<ComponentConfig>& installedComponents, int mode) {
  // Repair: installed files missing or altered on disk are copied again.
  for (const ComponentConfig& component : installedComponents) {
    for (const FileRecord& file : component.files) {
      if (!file.differsOnDisk) continue;
      if (mode == kUpdate && IsFalse(file.attributes, "isUpgrade")) continue;
      if (FindByIdentity(addList.files, file.identityCrc) || FindByIdentity(deleteList.files, file.identityCrc)) {
        continue;
      }
      addList.files.push_back(file);
    }
  }
  if (mode != kUpdate) return;
  // An update installs "isUpgrade" "false" files only where they are absent.
  for (size_t i = 0; i < addList.files.size();) {
    if (IsFalse(addList.files[i].attributes, "isUpgrade") && InstallRootHolds(addList.files[i])) {
      addList.files.erase(addList.files.begin() + i);
    } else {
      ++i;
    }
  }
}

// Install-if-absent and do-not-upgrade files that already stand in the install folder
// are left as they are, paired or not: they may hold the user's changes.
void CCheckDiff::KeepExistingProtectedFiles(ComponentConfig& addList) {
  for (FileRecord& file : addList.files) {
    if (file.excluded) continue;
    if (!IsFalse(file.attributes, "isInstall") && !IsFalse(file.attributes, "isUpgrade")) continue;
    if (InstallRootHolds(file)) file.excluded = true;
  }
}

// A file the new product installs at the same place is never deleted: it is either copied
// over the old one or, unchanged or kept for the user, must stay.
void CCheckDiff::KeepFilesOfTheNewProduct(ComponentConfig& deleteList) {
  std::set<std::string> kept;
  for (const ComponentConfig& component : newProduct.components) {
    for (const FileRecord& file : component.files) {
      if (!file.excluded) kept.insert(PathKey(file));
    }
  }
  for (FileRecord& file : deleteList.files) {
    if (kept.count(PathKey(file))) file.excluded = true;
  }
}

int CCheckDiff::MarkDependentsOfExcluded(ComponentConfig& list) {
  MarkDependentRecords(list, [&list](const std::string& path) {
    FileRecord* file = FirstFileNamed(list.files, path);
    return file && !file->excluded;
  });
  return 0;
}

bool CCheckDiff::InstallRootHolds(const FileRecord& record) const {
  if (installRoot_.empty()) return false;
  return PathExists(installRoot_ + L"\\" + Utf8ToWide(InstalledRelativePath(record).c_str()));
}
