#include "engine/parser/keyword_tables.h"

#include "engine/parser/text_compare.h"

KeywordTables::KeywordTables()
    : runModes{"asInstaller", "asAdmin", "asUser"},
      runPhases{"BeforeUpdate", "OnStopApp",    "OnUnregister", "BeforeCopy",   "AfterCopy",
                "OnRegister",   "OnRestartApp", "AfterUpdate",  "AfterRegister"},
      commands{"EXEC", "DLLCALL", "KILL"},
      platforms{"x64", "x86"},
      osVersions{"5.0", "5.1", "5.2", "5.0+", "6.0", "6.1", "6.2", "6.3", "6.0+", "10.0", "10.1", "10.2", "10.0+"},
      booleans{"TRUE", "FALSE"},
      // Doubled percent signs, as the files have always been checked against.
      workFolders{"%%ProgramFiles%%", "$System32", "$Desktop", "$Windir", "$InstallRoot"},
      yesNo{"yes", "no"},
      rebootValues{"0", "1", "2", "4"},
      componentTypes{"Client", "Center"} {}

bool InKeywordTable(const KeywordTable& table, const std::string& value) {
  for (const std::string& entry : table) {
    if (EqualsNoCase(entry, value)) return true;
  }
  return false;
}
