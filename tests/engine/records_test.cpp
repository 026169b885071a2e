// Record CRCs: which attributes each kind concatenates, in which order (the records of an
// installed product are compared with them), and file records matched by path.
#include <gtest/gtest.h>
#include <zlib.h>

#include "engine/parser/component_config.h"
#include "engine/parser/component_records.h"

namespace {

uint32_t Crc(const std::string& text) {
  return static_cast<uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(text.data()), static_cast<uInt>(text.size())));
}

std::pair<uint32_t, uint32_t> CrcsOf(RecordKind kind, const AttributeMap& attributes, int32_t location = 0) {
  std::pair<uint32_t, uint32_t> crcs{0, 0};
  MakeRecordCrcs(kind, crcs.first, crcs.second, location, attributes);
  return crcs;
}

}  // namespace

TEST(Records, EachKindHashesItsOwnAttributesInOrder) {
  const AttributeMap all{
      {"path", "P"},       {"order", "O"},      {"key", "K"},        {"name", "N"},         {"value", "V"},
      {"value_0804", "C"}, {"value_0404", "T"}, {"value_0409", "E"}, {"type", "Y"},         {"servicename", "S"},
      {"link", "L"},       {"argv", "A"},       {"workdir", "W"},    {"name_0404", "4"},    {"name_0409", "9"},
      {"name_0804", "8"},  {"executable", "X"}, {"when", "H"},       {"args", "G"},         {"cmd", "M"},
      {"runMode", "R"},    {"bwaitend", "B"},   {"newpath", "n"},    {"md5", "1"},          {"time", "2"},
      {"size", "3"},       {"os", "4"},         {"platform", "5"},   {"compressSize", "6"}, {"compressmd5", "7"},
      {"isUpgrade", "9"},  {"isInstall", "a"},  {"noDelete", "b"},   {"unrelated", "zzz"}};
  const struct {
    RecordKind kind;
    int32_t location;
    const char* identity;
    const char* content;
  } cases[] = {
      {kFileRecordKind, 0, "Pn", "1234567Y9ab"},
      {kRegModuleRecordKind, 0, "P", "O"},
      {kRegUpdateRecordKind, 0, "KN", "VCTEY"},
      {kDriverRecordKind, 0, "P", "SO"},
      {kShortCutRecordKind, kShortCutStartMenu, "LA2", "W498"},
      {kShortCutRecordKind, kShortCutDesktop, "LA1", "W498"},
      {kRunRuleRecordKind, 0, "XHG", "OMRB"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << "kind " << c.kind << " location " << c.location);
    EXPECT_EQ(CrcsOf(c.kind, all, c.location), std::make_pair(Crc(c.identity), Crc(c.content)));
  }
  EXPECT_EQ(CrcsOf(kFileRecordKind, {{"path", "a.dll"}}), std::make_pair(Crc("a.dll"), 0u)) << "no content";
  EXPECT_NE(CrcsOf(kFileRecordKind, {{"path", "A.dll"}}), CrcsOf(kFileRecordKind, {{"path", "a.dll"}}))
      << "values are hashed exactly as loaded";
}

TEST(Records, CrcsContinueFromTheFieldsAndLeaveTheMapAlone) {
  AttributeMap attributes{{"path", "def"}};
  uint32_t identity = Crc("abc");
  uint32_t content = 0;
  MakeRecordCrcs(kRegModuleRecordKind, identity, content, 0, attributes);
  EXPECT_EQ(identity, Crc("abcdef"));
  EXPECT_EQ(attributes.size(), 1u) << "the copy gets the empty names, not the record";
  for (int kind : {0, 8, 9, 10, 12}) {  // kinds without a record type leave the fields
    identity = 7, content = 9;
    MakeRecordCrcs(static_cast<RecordKind>(kind), identity, content, 0, {{"path", "x"}});
    EXPECT_EQ(std::make_pair(identity, content), std::make_pair(7u, 9u)) << kind;
  }
}

TEST(Records, FileMatchesPathOrNewPathIgnoringCase) {
  FileRecord moved;
  moved.attributes = {{"path", "pkg\\a.dll"}, {"newpath", "setup\\a.dll"}};
  EXPECT_TRUE(FileRecordMatchesPath(moved, "Setup\\A.DLL"));
  EXPECT_TRUE(FileRecordMatchesPath(moved, "PKG\\a.dll"));
  FileRecord longer;
  longer.attributes = {{"path", "setup\\a.dll.bak"}, {"newpath", "setup\\a.dll.bak.new"}};
  EXPECT_FALSE(FileRecordMatchesPath(longer, "Setup\\A.DLL"));
  FileRecord noNewPath;
  noNewPath.attributes = {{"path", "x.dll"}};
  EXPECT_TRUE(FileRecordMatchesPath(noNewPath, "")) << "an empty text matches the empty newpath";
  EXPECT_EQ(noNewPath.attributes.count("newpath"), 1u) << "reading adds the missing name";
}
