// The difference between the installed and the new product: what a job deletes and
// what it adds or changes.
#pragma once

#include <string>

#include "engine/parser/component_config.h"
#include "engine/parser/product_config.h"

class IInstallUIPromptEx;

class CCheckDiff {
 public:
  // Modes of a comparison.
  enum Mode {
    kInstall = 0,       // full comparison
    kUpdate = 1,        // full comparison; "isUpgrade" "false" files are only installed when absent
    kUninstall = 2,     // full comparison (only the installed product is loaded)
    kLiveRegistry = 3,  // registry values of the new product compared with the live registry
    kAddAll = 4,        // every new component whole into the add list, nothing else
  };

  CCheckDiff() = default;
  virtual ~CCheckDiff() = default;

  // Appends to the two lists what the installed product holds that the new one does not
  // (delete) and what the new product brings or changes (add). 0, or -1 on failure.
  int CheckProductDifference(ComponentConfig& deleteList, ComponentConfig& addList, int mode);

  int mode() const { return mode_; }
  const std::wstring& installRoot() const { return installRoot_; }

  IInstallUIPromptEx* prompt = nullptr;
  ProductConfig installedProduct;
  ProductConfig newProduct;

 private:
  int DiffProducts(ComponentConfig& result, ProductConfig& a, ProductConfig& b, bool compareContent);
  int DiffComponent(ComponentConfig& result, ComponentConfig& a, ComponentConfig& b, bool compareContent);
  static void AddWholeComponent(ComponentConfig& result, const ComponentConfig& component);
  int DiffFiles(std::vector<FileRecord>& result, const std::vector<FileRecord>& a, const std::vector<FileRecord>& b,
                bool compareContent);
  int DiffRegUpdateList(std::vector<RegUpdateRecord>& result, const std::vector<RegUpdateRecord>& a,
                        const std::vector<RegUpdateRecord>& b, bool compareContent);
  int DiffRegModules(std::vector<RegModuleRecord>& result, const std::vector<RegModuleRecord>& a,
                     const std::vector<RegModuleRecord>& b, bool compareContent);
  int DiffDrivers(std::vector<DriverRecord>& result, const std::vector<DriverRecord>& a,
                  const std::vector<DriverRecord>& b, bool compareContent);
  int DiffShortCuts(std::vector<ShortCutRecord>& result, const std::vector<ShortCutRecord>& a,
                    const std::vector<ShortCutRecord>& b);
  int DiffRegUpdates(std::vector<RegUpdateRecord>& result, const std::vector<RegUpdateRecord>& a);
  void DiffUpgradeFiles(ComponentConfig& addList, ComponentConfig& deleteList,
                        std::vector<ComponentConfig>& installedComponents, int mode);
  void KeepExistingProtectedFiles(ComponentConfig& addList);
  void KeepFilesOfTheNewProduct(ComponentConfig& deleteList);
  int MarkDependentsOfExcluded(ComponentConfig& list);
  bool InstallRootHolds(const FileRecord& record) const;

  int mode_ = 0;
  std::wstring installRoot_;
};
