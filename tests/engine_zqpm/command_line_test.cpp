// The command line: switch choice, folder values, quoting, the program-files blank and the
// word list itself.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/job/command_line.h"

namespace {

struct Parsed {
  int result;
  OpePARAMEx record;
};

Parsed Parse(const wchar_t* line) {
  Parsed parsed;
  parsed.result = ParseCommandLine(line, parsed.record);
  return parsed;
}

std::vector<std::wstring> WordsOf(const wchar_t* token) {
  CCmdLine words;
  words.AddWords(token);
  return words.Words();
}

using Words = std::vector<std::wstring>;

}  // namespace

TEST(CommandLine, ChoosesTheModeByTheFirstSwitchInFixedOrder) {
  struct Case {
    const wchar_t* line;
    int result;
    int mode;
  } cases[] = {
      {L"", 0, OpePARAMEx::CMD_INSTALL},
      {nullptr, 0, OpePARAMEx::CMD_INSTALL},
      {L"/install", 0, OpePARAMEx::CMD_INSTALL},
      {L"install", 0, OpePARAMEx::CMD_INSTALL},  // no separator in front: the whole line is the word
      {L"silent", 0, OpePARAMEx::CMD_SILENT_INSTALL},
      {L"/uninstall /install", 0, OpePARAMEx::CMD_INSTALL},  // the fixed order decides, not the line
      {L"/UNINSTALL", 0, OpePARAMEx::CMD_UNINSTALL},
      {L"-UnInstall", 0, OpePARAMEx::CMD_UNINSTALL},
      {L"@uninstall", 0, OpePARAMEx::CMD_UNINSTALL},
      {L"/update", 0, OpePARAMEx::CMD_UPDATE},
      {L"-silent", 0, OpePARAMEx::CMD_SILENT_INSTALL},
      {L"/unsilent", 0, OpePARAMEx::CMD_SILENT_UNINSTALL},
      {L"/websilent", 0, OpePARAMEx::CMD_WEB_SILENT_INSTALL},
      {L"/webinstall:D:\\Web", 0, OpePARAMEx::CMD_WEB_INSTALL},
      {L"/webinstall", -4, OpePARAMEx::CMD_WEB_INSTALL},  // no folder at all
      {L"/help /x", -2, OpePARAMEx::CMD_NONE},
      {L"    ", -2, OpePARAMEx::CMD_NONE},
      {L"/-@ /", -2, OpePARAMEx::CMD_NONE},
      {L"/  uninstall", 0, OpePARAMEx::CMD_UNINSTALL},  // blanks before a word are skipped
  };
  for (const Case& c : cases) {
    const Parsed parsed = Parse(c.line);
    const std::string shown = c.line ? std::string(c.line, c.line + wcslen(c.line)) : "(null)";
    EXPECT_EQ(parsed.result, c.result) << shown;
    EXPECT_EQ(parsed.record.mode, c.mode) << shown;
  }
}

TEST(CommandLine, FolderValuesAndTheRestartFlag) {
  struct Case {
    const wchar_t* line;
    int result;
    int mode;
    const wchar_t* folder;
    bool restart;
  } cases[] = {
      {L"", 0, 0, kDefaultInstallDir, true},
      {L"/silent /norestart", 0, 3, kDefaultInstallDir, false},
      {L"/unsilent /norestart", 0, 4, kDefaultInstallDir, true},  // not looked at for uninstall
      {L"/update -NORESTARTNOW", 0, 2, kDefaultInstallDir, false},
      {L"/websilent", 0, 6, kDefaultInstallDir, true},
      {L"/webinstall:D:\\Web /norestart", 0, 5, L"D:\\Web", false},
      {L"/silent:D:\\Games\\Pelluvo", 0, 3, L"D:\\Games\\Pelluvo", true},
      {L"/install:d:\\Games\\\\", 0, 0, L"d:\\Games", true},  // trailing backslashes dropped
      {L"/silent:\"D:\\Games\"", 0, 3, L"D:\\Games", true},
      // Quoting the whole word keeps a blank in the folder.
      {L"/\"silent:D:\\My Games\\游戏\" /norestart", 0, 3, L"D:\\My Games\\游戏", false},
      // A program-files folder written behind the switch keeps its blank without quotes...
      {L"/silent:C:\\Program Files (x86)\\Orvenna\\X /norestart", 0, 3, L"C:\\Program Files (x86)\\Orvenna\\X", false},
      {L"-install:E:\\PROGRAM FILES\\Game", 0, 0, L"E:\\PROGRAM FILES\\Game", true},
      // ...but the word still ends at the next blank after it.
      {L"/silent:C:\\Program Files\\My Game", 0, 3, L"C:\\Program Files\\My", true},
      // Written as a word of its own the folder is cut and the switch has no value.
      {L"/silent C:\\Program Files\\Game", 0, 3, kDefaultInstallDir, true},
      // A hyphen or a slash cuts the folder into tokens.
      {L"/silent:D:\\my-games", 0, 3, L"D:\\my", true},
      {L"/silent:D:\\a/b", 0, 3, L"D:\\a", true},
      // Refused values leave mode and folder as they were.
      {L"/silent:\"D:\\My Games\"", -3, 100, kDefaultInstallDir, true},  // cut at the blank: quote unclosed
      {L"/install:", -3, 100, kDefaultInstallDir, true},
      {L"/installer", -3, 100, kDefaultInstallDir, true},
      {L"/silent:Games\\Pelluvo", -3, 100, kDefaultInstallDir, true},
      {L"/silent:C:\\", -3, 100, kDefaultInstallDir, true},
      {L"/silent:C:\\a:b", -3, 100, kDefaultInstallDir, true},
      {L"/silent:C:\\a<b", -3, 100, kDefaultInstallDir, true},
      {L"/webinstall:", -3, 100, kDefaultInstallDir, true},
  };
  for (const Case& c : cases) {
    const Parsed parsed = Parse(c.line);
    const std::wstring line = c.line;
    EXPECT_EQ(parsed.result, c.result) << testing::PrintToString(line);
    EXPECT_EQ(parsed.record.mode, c.mode) << testing::PrintToString(line);
    EXPECT_EQ(parsed.record.installDir, std::wstring(c.folder)) << testing::PrintToString(line);
    EXPECT_EQ(parsed.record.restartAllowed, c.restart) << testing::PrintToString(line);
  }
}

TEST(CommandLine, WordSplitting) {
  // Blanks separate words; only U+0020 is a blank.
  EXPECT_EQ(WordsOf(L"  a b\tc  "), (Words{L"a", L"b\tc", L""}));
  // A run of blanks at the end after a word that ended at a blank gives one empty word.
  EXPECT_EQ(WordsOf(L"a "), (Words{L"a"}));
  EXPECT_EQ(WordsOf(L"a   "), (Words{L"a", L""}));
  EXPECT_EQ(WordsOf(L"   "), (Words{}));
  // Quotes: the text between two quotes is one word; a lone quote is an ordinary character.
  EXPECT_EQ(WordsOf(L"\"a b\"c d"), (Words{L"a b", L"c", L"d"}));
  EXPECT_EQ(WordsOf(L"\"\""), (Words{L""}));
  EXPECT_EQ(WordsOf(L"\"a b"), (Words{L"\"a", L"b"}));
  EXPECT_EQ(WordsOf(L"x\"a b\""), (Words{L"x\"a", L"b\""}));
  // The program-files blank needs more than ten characters before it and ":\program" just
  // before it; either form of the folder, any case.
  EXPECT_EQ(WordsOf(L"C:\\Program Files\\X Y"), (Words{L"C:\\Program", L"Files\\X", L"Y"}));
  EXPECT_EQ(WordsOf(L"XC:\\Program Files\\X Y"), (Words{L"XC:\\Program Files\\X", L"Y"}));
  EXPECT_EQ(WordsOf(L"in:C:\\program files (X86)\\"), (Words{L"in:C:\\program files (X86)\\"}));
  EXPECT_EQ(WordsOf(L"in:C:\\Program Files (x86) Y"), (Words{L"in:C:\\Program", L"Files", L"(x86)", L"Y"}));
  EXPECT_EQ(WordsOf(L"in:C:\\Programs Files\\Y"), (Words{L"in:C:\\Programs", L"Files\\Y"}));

  CCmdLine words;
  EXPECT_EQ(words.AddWords(nullptr), 0);
  EXPECT_EQ(words.AddWords(L""), 0);
  // The list grows past its first blocks and keeps every word in order.
  std::wstring many;
  for (int i = 0; i < 40; ++i) many += L"w" + std::to_wstring(i) + L" ";
  EXPECT_EQ(words.AddWords(many.c_str()), 40);
  EXPECT_EQ(words.AddWords(L"Install:D:\\x"), 41);
  EXPECT_EQ(words.Words()[39], L"w39");
  EXPECT_EQ(words.HasOption(L"w1"), 2);  // "w1" is the second word; "w10" comes later
  EXPECT_EQ(words.HasOption(L"INSTALL"), 41);
  EXPECT_EQ(std::wstring(words.GetOptionValue(L"install")), L":D:\\x");
  EXPECT_EQ(std::wstring(words.GetOptionValue(L"w39")), L"");
  EXPECT_EQ(words.HasOption(L"uninstall"), 0);
  EXPECT_EQ(words.GetOptionValue(L"uninstall"), nullptr);
  words.Clear();
  EXPECT_EQ(words.HasOption(L"w1"), 0);
  EXPECT_EQ(words.AddWords(L"a"), 1);
}
