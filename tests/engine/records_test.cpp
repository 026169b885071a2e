#include <gtest/gtest.h>
#include <zlib.h>

#include "engine/parser/component_config.h"
#include "engine/parser/component_records.h"

namespace {

uint32_t Crc(const std::string& text) {
  return static_cast<uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(text.data()), static_cast<uInt>(text.size())));
}

struct Crcs {
  uint32_t identity = 0;
  uint32_t content = 0;
};

Crcs CrcsOf(RecordKind kind, const AttributeMap& attributes, int32_t location = 0) {
  Crcs crcs;
  MakeRecordCrcs(kind, crcs.identity, crcs.content, location, attributes);
  return crcs;
}

}  // namespace

TEST(Records, CrcOfAbcIsTheStandardValue) {
  EXPECT_EQ(CrcsOf(kRegModuleRecordKind, {{"path", "abc"}}).identity, 0x352441C2u);
}

TEST(Records, FileWithOnlyPathHasEmptyContent) {
  Crcs crcs = CrcsOf(kFileRecordKind, {{"path", "a.dll"}});
  EXPECT_EQ(crcs.identity, Crc("a.dll"));
  EXPECT_EQ(crcs.content, 0u);
}

TEST(Records, FileIdentityAndContentTakeTheirAttributesInOrder) {
  AttributeMap file{{"path", "p"},        {"newpath", "n"},      {"md5", "1"},      {"time", "2"},
                    {"size", "3"},        {"os", "4"},           {"platform", "5"}, {"compressSize", "6"},
                    {"compressmd5", "7"}, {"type", "8"},         {"isUpgrade", "9"}, {"isInstall", "A"},
                    {"noDelete", "B"},    {"unrelated", "zzz"}};
  Crcs crcs = CrcsOf(kFileRecordKind, file);
  EXPECT_EQ(crcs.identity, Crc("pn"));
  EXPECT_EQ(crcs.content, Crc("123456789AB"));
}

TEST(Records, EachKindHashesItsOwnAttributes) {
  AttributeMap all{{"path", "P"},        {"order", "O"},      {"key", "K"},         {"name", "N"},
                   {"value", "V"},       {"value_0804", "C"}, {"value_0404", "T"},  {"value_0409", "E"},
                   {"type", "Y"},        {"servicename", "S"}, {"link", "L"},        {"argv", "A"},
                   {"workdir", "W"},     {"name_0404", "4"},  {"name_0409", "9"},   {"name_0804", "8"},
                   {"executable", "X"},  {"when", "H"},       {"args", "G"},        {"cmd", "M"},
                   {"runMode", "R"},     {"bwaitend", "B"}};
  Crcs module = CrcsOf(kRegModuleRecordKind, all);
  EXPECT_EQ(module.identity, Crc("P"));
  EXPECT_EQ(module.content, Crc("O"));
  Crcs value = CrcsOf(kRegUpdateRecordKind, all);
  EXPECT_EQ(value.identity, Crc("KN"));
  EXPECT_EQ(value.content, Crc("VCTEY"));
  Crcs driver = CrcsOf(kDriverRecordKind, all);
  EXPECT_EQ(driver.identity, Crc("P"));
  EXPECT_EQ(driver.content, Crc("SO"));
  Crcs shortcut = CrcsOf(kShortCutRecordKind, all, 3);
  EXPECT_EQ(shortcut.identity, Crc("LA3"));
  EXPECT_EQ(shortcut.content, Crc("W498"));
  Crcs rule = CrcsOf(kRunRuleRecordKind, all);
  EXPECT_EQ(rule.identity, Crc("XHG"));
  EXPECT_EQ(rule.content, Crc("OMRB"));
}

TEST(Records, ShortcutLocationIsPartOfItsIdentity) {
  AttributeMap link{{"link", "x.exe"}};
  EXPECT_EQ(CrcsOf(kShortCutRecordKind, link, kShortCutStartMenu).identity, Crc("x.exe2"));
  EXPECT_EQ(CrcsOf(kShortCutRecordKind, link, kShortCutDesktop).identity, Crc("x.exe1"));
}

TEST(Records, RunRulePhaseChangesIdentityCommandChangesContent) {
  AttributeMap before{{"executable", "a.exe"}, {"when", "BeforeCopy"}, {"cmd", "KILL"}, {"order", "1"}};
  AttributeMap otherPhase = before;
  otherPhase["when"] = "AfterCopy";
  AttributeMap otherCommand = before;
  otherCommand["cmd"] = "EXEC";
  Crcs base = CrcsOf(kRunRuleRecordKind, before);
  EXPECT_NE(CrcsOf(kRunRuleRecordKind, otherPhase).identity, base.identity);
  EXPECT_EQ(CrcsOf(kRunRuleRecordKind, otherCommand).identity, base.identity);
  EXPECT_NE(CrcsOf(kRunRuleRecordKind, otherCommand).content, base.content);
}

TEST(Records, ConcatenationWithoutSeparatorsCanMeetAnotherRecord) {
  EXPECT_EQ(CrcsOf(kRegUpdateRecordKind, {{"value", "1"}, {"type", "REG_SZ"}}).content,
            CrcsOf(kRegUpdateRecordKind, {{"value", "1REG_SZ"}}).content);
  EXPECT_EQ(CrcsOf(kFileRecordKind, {{"path", "ab"}, {"newpath", "c"}}).identity,
            CrcsOf(kFileRecordKind, {{"path", "a"}, {"newpath", "bc"}}).identity);
}

TEST(Records, ValuesAreHashedExactlyAsLoaded) {
  EXPECT_NE(CrcsOf(kFileRecordKind, {{"path", "A.dll"}}).identity, CrcsOf(kFileRecordKind, {{"path", "a.dll"}}).identity);
  EXPECT_NE(CrcsOf(kFileRecordKind, {{"path", "a.dll "}}).identity, CrcsOf(kFileRecordKind, {{"path", "a.dll"}}).identity);
}

TEST(Records, CrcsContinueFromTheFieldsAndLeaveTheMapAlone) {
  AttributeMap attributes{{"path", "def"}};
  uint32_t identity = Crc("abc");
  uint32_t content = 0;
  MakeRecordCrcs(kRegModuleRecordKind, identity, content, 0, attributes);
  EXPECT_EQ(identity, Crc("abcdef"));
  EXPECT_EQ(attributes.size(), 1u) << "the copy gets the empty names, not the record";
}

TEST(Records, KindsWithoutRecordTypeLeaveTheFields) {
  for (int kind : {0, 8, 9, 10, 12}) {
    uint32_t identity = 7, content = 9;
    MakeRecordCrcs(static_cast<RecordKind>(kind), identity, content, 0, {{"path", "x"}});
    EXPECT_EQ(identity, 7u);
    EXPECT_EQ(content, 9u);
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

TEST(Records, NewRecordsAreClear) {
  ShortCutRecord shortcut;
  EXPECT_EQ(shortcut.location, 0);
  EXPECT_EQ(shortcut.identityCrc, 0u);
  EXPECT_FALSE(shortcut.excluded);
  EXPECT_TRUE(shortcut.folder.empty());
  EXPECT_TRUE(shortcut.attributes.empty());
  FileRecord file;
  EXPECT_EQ(file.refCount, 0u);
  EXPECT_FALSE(file.differsOnDisk || file.excluded || file.packed);
}

TEST(Records, KeywordTablesHoldTheVocabulary) {
  ComponentConfig component;
  const KeywordTables& k = component.keywords;
  std::vector<size_t> sizes{k.runModes.size(),   k.runPhases.size(), k.commands.size(),    k.platforms.size(),
                            k.osVersions.size(), k.booleans.size(),  k.workFolders.size(), k.yesNo.size(),
                            k.rebootValues.size(), k.componentTypes.size()};
  EXPECT_EQ(sizes, (std::vector<size_t>{3, 9, 3, 2, 13, 2, 5, 2, 4, 2}));
  EXPECT_EQ(k.workFolders[0], "%%ProgramFiles%%");
  EXPECT_EQ(k.runPhases.back(), "AfterRegister");
  EXPECT_EQ(k.osVersions.back(), "10.0+");
  EXPECT_TRUE(InKeywordTable(k.booleans, "true"));
  EXPECT_FALSE(InKeywordTable(k.booleans, "yes"));
}
