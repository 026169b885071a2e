// One product description ("Product.config") with its loaded components. The engine
// holds two: the installed product and the new one.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/parser/component_config.h"

class IInstallUIPromptEx;
class TiXmlElement;

// An entry of the description's component list.
struct ComponentRef {
  std::wstring name;
  std::wstring config;  // the component configuration file in the "package" folder
  int32_t flag = 1;
};

class ProductConfig {
 public:
  // Values of the description, as read.
  int32_t productId = 0;
  int32_t productOs = 0;
  std::wstring productType;
  int32_t productRunMode = 0;
  std::wstring productVersion;
  std::wstring productVersion2;
  std::wstring systemVersion;
  std::vector<ComponentRef> componentRefs;
  std::wstring installPath;
  std::wstring regKey;  // registry path text of the key holding "InstallPath"
  std::wstring name0804;
  std::wstring name0404;
  std::wstring name0409;
  std::wstring extraModulePath;
  int32_t type = 0;  // 1 offline, 2 web
  std::string version;

  std::vector<ComponentConfig> components;
  int32_t componentCount = 0;  // list items whose load began
  int32_t fileCount = 0;       // file records of the components loaded so far

  std::wstring productFolder;  // the install folder
  std::wstring sourceFolder;   // where the program package is extracted
  std::wstring configFolder;   // holds the "package" folder; ends with "\"
  IInstallUIPromptEx* errorSink = nullptr;
  std::wstring setupInfoConfig;  // the component file that lists the setup files

  // The component configuration file names of the description, each followed by ",": the
  // list that ParseComponentConfigs reads.
  std::wstring ComponentListText() const;
  // Loading the component configuration files (comma-separated names in "package").
  // -1 at the first file that fails: the components before it stay, later ones are not
  // loaded, and the product must not be installed as it stands.
  int ParseComponentConfigs(const std::wstring& list);
  bool LoadComponentConfig(const std::wstring& path, ComponentConfig& component);

  // Whether a value is acceptable for the attribute; checkType only for a root element.
  static bool ValidateAttribute(const std::string& name, const std::string& value, const ComponentConfig& tables,
                                bool checkType);

  // Reports a load error to the error sink and the log.
  void LogError(const char* format, ...) __attribute__((format(printf, 2, 3)));

  // Resolves a path of a component record: the shell folder variables at its start, else
  // under the configuration folder. Lower-cased except for the inserted folder.
  std::wstring ExpandPathVariables(const std::wstring& path) const;

  // Drops components loaded twice and excludes the file records (and the records that
  // depend on them) that do not fit the running OS version and platform. -1 when the
  // running system is outside the tables and nothing was excluded.
  int FilterByOsPlatform(const std::string& osVersion, const std::string& platform);
  int MarkDependentsOfExcluded();

  // Marks installed file records that are missing or altered on disk, and counts the
  // references of each file.
  void UpdateCopyFileRef();
  // Delete list: excludes "noDelete" files. Add list: excludes files that already stand
  // under installRoot as the new product has them.
  static void UpdateNoDeleteFileRef(ComponentConfig& list, bool deleteList, const std::wstring& installRoot);

 private:
  void ReportLoadError(const std::string& text);
  bool LoadSections(const TiXmlElement& root, ComponentConfig& component, const std::string& pathUtf8);
  bool LoadConfigSection(const TiXmlElement& config, ComponentConfig& component, const std::string& pathUtf8);
  bool LoadAttributes(const TiXmlElement& element, const ComponentConfig& component, AttributeMap& map, bool checkType);
  bool LoadFiles(const TiXmlElement& section, ComponentConfig& component, std::vector<FileRecord>& list);
  bool LoadRegModules(const TiXmlElement& section, ComponentConfig& component, std::vector<RegModuleRecord>& list);
  bool LoadRegUpdates(const TiXmlElement& section, ComponentConfig& component, std::vector<RegUpdateRecord>& list);
  bool LoadDrivers(const TiXmlElement& section, ComponentConfig& component, std::vector<DriverRecord>& list);
  bool LoadRunRules(const TiXmlElement& section, ComponentConfig& component, std::vector<RunRuleRecord>& list);
  bool LoadShortCuts(const TiXmlElement& section, ComponentConfig& component, std::vector<ShortCutRecord>& list);
  bool LoadShortCutGroup(int32_t location, const TiXmlElement& group, ComponentConfig& component,
                         std::vector<ShortCutRecord>& list);
  template <typename Record>
  bool LoadSection(const TiXmlElement& section, RecordKind kind, ComponentConfig& component, std::vector<Record>& list);
  template <typename Records>
  bool CheckRequired(const Records& list, const char* key, const char* label, const std::string& pathUtf8);
  void CountFileReferences();

  std::string loadingFile_;  // UTF-8 path of the component file being loaded, for the log
};
