// The vocabulary of the component files: the values that validation accepts for the
// checked attributes, and the OS versions and platforms the filter knows.
#pragma once

#include <string>
#include <vector>

using KeywordTable = std::vector<std::string>;

struct KeywordTables {
  KeywordTables();

  KeywordTable runModes;        // "runMode"
  KeywordTable runPhases;       // "when"
  KeywordTable commands;        // "cmd"
  KeywordTable platforms;       // "platform" and the running platform
  KeywordTable osVersions;      // the running OS version
  KeywordTable booleans;        // "isUpgrade", "isInstall", "usereg", "finaldel", "bwaitend", "noDelete"
  KeywordTable workFolders;     // "workdir"
  KeywordTable yesNo;           // "isEssential", "isDisplay"
  KeywordTable rebootValues;    // "needReboot"
  KeywordTable componentTypes;  // "type" of a component's root element
};

// Whether the value equals an entry, ignoring ASCII case.
bool InKeywordTable(const KeywordTable& table, const std::string& value);
