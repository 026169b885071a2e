#include "engine/parser/component_records.h"

#include <zlib.h>

#include <vector>

#include "engine/parser/text_compare.h"

namespace {

using NameList = std::vector<const char*>;

struct CrcAttributes {
  NameList identity;
  NameList content;
};

// The attributes whose values make up each kind's identity and content texts, in order;
// null for a kind without a record type.
const CrcAttributes* CrcAttributesOf(RecordKind kind) {
  static const CrcAttributes kFile{{"path", "newpath"},
                                   {"md5", "time", "size", "os", "platform", "compressSize", "compressmd5", "type",
                                    "isUpgrade", "isInstall", "noDelete"}};
  static const CrcAttributes kRegModule{{"path"}, {"order"}};
  static const CrcAttributes kRegUpdate{{"key", "name"}, {"value", "value_0804", "value_0404", "value_0409", "type"}};
  static const CrcAttributes kDriver{{"path"}, {"servicename", "order"}};
  static const CrcAttributes kShortCut{{"link", "argv"}, {"workdir", "name_0404", "name_0409", "name_0804"}};
  static const CrcAttributes kRunRule{{"executable", "when", "args"}, {"order", "cmd", "runMode", "bwaitend"}};
  switch (kind) {
    case kFileRecordKind:
      return &kFile;
    case kRegModuleRecordKind:
      return &kRegModule;
    case kRegUpdateRecordKind:
      return &kRegUpdate;
    case kDriverRecordKind:
      return &kDriver;
    case kShortCutRecordKind:
      return &kShortCut;
    case kRunRuleRecordKind:
      return &kRunRule;
  }
  return nullptr;
}

std::string Concatenate(AttributeMap& attributes, const NameList& names) {
  std::string text;
  for (const char* name : names) text += attributes[name];
  return text;
}

uint32_t ContinueCrc(uint32_t crc, const std::string& text) {
  return static_cast<uint32_t>(crc32(crc, reinterpret_cast<const Bytef*>(text.data()), static_cast<uInt>(text.size())));
}

}  // namespace

const std::string& FindAttribute(const AttributeMap& attributes, const std::string& name) {
  static const std::string kEmpty;
  auto it = attributes.find(name);
  return it == attributes.end() ? kEmpty : it->second;
}

void MakeRecordCrcs(RecordKind kind, uint32_t& identity, uint32_t& content, int32_t location, AttributeMap attributes) {
  const CrcAttributes* names = CrcAttributesOf(kind);
  if (!names) return;
  std::string identityText = Concatenate(attributes, names->identity);
  if (kind == kShortCutRecordKind) identityText += std::to_string(location);
  identity = ContinueCrc(identity, identityText);
  content = ContinueCrc(content, Concatenate(attributes, names->content));
}

bool FileRecordMatchesPath(FileRecord& record, const std::string& text) {
  return EqualsNoCase(text, record.attributes["path"]) || EqualsNoCase(text, record.attributes["newpath"]);
}

std::string InstalledRelativePath(const FileRecord& record) {
  const std::string& newPath = FindAttribute(record.attributes, "newpath");
  return newPath.empty() ? FindAttribute(record.attributes, "path") : newPath;
}
