// The records of a component configuration file. Every record keeps all attributes of
// its XML element in an AttributeMap beside its flags, and two CRC-32 values: one over
// the attributes that say which thing it is about (identity), one over those that say
// what is done with it (content). The difference pairs records by identity and sees a
// change where the content differs.
#pragma once

#include <cstdint>
#include <map>
#include <string>

// Attribute name to value, both the document's UTF-8 bytes. Reading with operator[]
// gives empty text for a missing name and adds the name with empty text, on purpose:
// later readers of the file records rely on the names the refresh read being present.
using AttributeMap = std::map<std::string, std::string>;

// The value of a name, or empty text; never changes the map.
const std::string& FindAttribute(const AttributeMap& attributes, const std::string& name);

enum RecordKind : int32_t {
  kFileRecordKind = 3,
  kRegModuleRecordKind = 4,
  kRegUpdateRecordKind = 5,
  kDriverRecordKind = 6,
  kShortCutRecordKind = 7,
  kRunRuleRecordKind = 11,
};

enum ShortCutLocation : int32_t {
  kShortCutDesktop = 1,
  kShortCutStartMenu = 2,
  kShortCutQuickLaunch = 3,
};

struct FileRecord {
  // Number of file records of the whole product with this identity (set by the refresh).
  uint32_t refCount = 0;
  // The installed file is missing or altered: the difference copies it again.
  bool differsOnDisk = false;
  // Left alone: neither copied nor deleted.
  bool excluded = false;
  // Read by the package maker only.
  bool packed = false;
  uint32_t identityCrc = 0;
  uint32_t contentCrc = 0;
  AttributeMap attributes;
};

// A COM server to register.
struct RegModuleRecord {
  uint32_t identityCrc = 0;
  uint32_t contentCrc = 0;
  AttributeMap attributes;
  bool excluded = false;
};

// A registry value to write.
struct RegUpdateRecord {
  uint32_t identityCrc = 0;
  uint32_t contentCrc = 0;
  AttributeMap attributes;
};

struct DriverRecord {
  AttributeMap attributes;
  uint32_t identityCrc = 0;
  uint32_t contentCrc = 0;
  bool excluded = false;
};

// A program or DLL export run at a phase of a job.
struct RunRuleRecord {
  uint32_t identityCrc = 0;
  uint32_t contentCrc = 0;
  bool excluded = false;
  AttributeMap attributes;
};

struct ShortCutRecord {
  int32_t location = 0;  // ShortCutLocation
  uint32_t identityCrc = 0;
  uint32_t contentCrc = 0;
  bool excluded = false;
  AttributeMap folder;      // the start-menu folder's display names; empty elsewhere
  AttributeMap attributes;  // the shortcut itself; the CRCs are taken from it
};

// Sets identity and content to the CRC-32 of the kind's key and content attribute values,
// continued from the fields' current values. Kinds without a record type leave both as
// they are. `location` counts in the identity of shortcuts only.
void MakeRecordCrcs(RecordKind kind, uint32_t& identity, uint32_t& content, int32_t location, AttributeMap attributes);

// Whether the text names this file: its "path" or "newpath", ignoring ASCII case.
bool FileRecordMatchesPath(FileRecord& record, const std::string& text);

// The file's path in the install folder: "newpath" when set, else "path".
std::string InstalledRelativePath(const FileRecord& record);
