// "&!" macros in attribute values and element text, read through the installed tinyxml.
#include <gtest/gtest.h>
#include <tinyxml.h>
#include <windows.h>

#include <string>

#include "common/sys/text_convert.h"
#include "common/sys/xml_text.h"
#include "sys_test_support.h"

namespace {

struct Loaded {
  bool ok = false;
  std::string error;
  TiXmlDocument doc;
};

void Load(const std::string& xml, Loaded* out) {
  out->doc.Parse(xml.c_str(), nullptr, TIXML_ENCODING_UTF8);
  out->ok = !out->doc.Error();
  if (!out->ok) out->error = out->doc.ErrorDesc();
}

std::string Attr(const std::string& value) {
  Loaded loaded;
  Load("<r v=\"" + value + "\"/>", &loaded);
  if (!loaded.ok) return "error: " + loaded.error;
  const char* v = loaded.doc.RootElement()->Attribute("v");
  return v ? v : "<none>";
}

std::string Utf8(const std::wstring& wide) { return WideToUtf8(wide); }

// An environment variable of this process for the length of one test.
class ScopedEnv {
 public:
  ScopedEnv(const std::wstring& name, const wchar_t* value) : name_(name) {
    SetEnvironmentVariableW(name_.c_str(), value);
  }
  ~ScopedEnv() { SetEnvironmentVariableW(name_.c_str(), nullptr); }

 private:
  std::wstring name_;
};

class XmlMacroTest : public ::testing::Test {
 protected:
  void SetUp() override {
    name_ = systest::UniqueName();
    subkey_ = L"Software\\TamselSysTest\\" + name_;
    env_ = L"TAMSEL_" + name_;
  }
  void TearDown() override { systest::DeleteRegTree(HKEY_LOCAL_MACHINE, subkey_, KEY_WOW64_32KEY); }

  void WriteMachineValue(const std::wstring& name, DWORD type, const std::wstring& text) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, subkey_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(key, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
  }

  std::wstring name_;
  std::wstring subkey_;
  std::wstring env_;
};

TEST_F(XmlMacroTest, EnvironmentVariableWithTextAround) {
  ScopedEnv env(env_, L"D:\\\u6e38\u620f");
  EXPECT_EQ(Attr("[&!env:" + Utf8(env_) + ";]\\bin"), "[D:\\\xE6\xB8\xB8\xE6\x88\x8F]\\bin");
}

TEST_F(XmlMacroTest, WindowsFolderFromWindir) {
  wchar_t windows[MAX_PATH + 1] = {};
  ASSERT_GT(GetWindowsDirectoryW(windows, MAX_PATH), 0u);
  const std::string got = Attr("&!env:WINDIR;\\system32");
  EXPECT_EQ(CompareStringOrdinal(Utf8ToWide(got).c_str(), -1, (std::wstring(windows) + L"\\system32").c_str(),
                                 -1, TRUE),
            CSTR_EQUAL)
      << got;
}

TEST_F(XmlMacroTest, UnsetVariableGivesNothing) {
  EXPECT_EQ(Attr("a&!env:" + Utf8(env_) + "_UNSET;b"), "ab");
}

TEST_F(XmlMacroTest, LongVariableIsReadWhole) {
  const std::wstring longValue(5000, L'\u6e38');
  ScopedEnv env(env_, longValue.c_str());
  EXPECT_EQ(Attr("&!env:" + Utf8(env_) + ";"), Utf8(longValue));
  EXPECT_EQ(GetEnvironmentText(Utf8(env_)), Utf8(longValue));
}

TEST_F(XmlMacroTest, MachineRegistryText) {
  WriteMachineValue(L"Path", REG_SZ, L"C:\\Orvenna\\\u6e38\u620f");
  WriteMachineValue(L"Expand", REG_EXPAND_SZ, L"%WINDIR%\\x");
  WriteMachineValue(L"Number", REG_DWORD, L"xx");
  const std::string key = Utf8(subkey_);
  EXPECT_EQ(Attr("&!reg:" + key + ",Path;\\bin"), "C:\\Orvenna\\\xE6\xB8\xB8\xE6\x88\x8F\\bin");
  EXPECT_EQ(Attr("&!reg:" + key + ",Expand;"), "%WINDIR%\\x");  // taken unexpanded
  EXPECT_EQ(Attr("[&!reg:" + key + ",Number;]"), "[]");  // not text: nothing
  EXPECT_EQ(Attr("[&!reg:" + key + ",Missing;]"), "[]");
}

TEST_F(XmlMacroTest, MissingKeyGivesNothingAndReadingGoesOn) {
  EXPECT_EQ(Attr("a&!reg:Software\\TamselNoSuchKey\\x,Path;b"), "ab");
}

TEST_F(XmlMacroTest, ShellMacroAlwaysGivesNothing) {
  EXPECT_EQ(Attr("a&!sh:desktop;b"), "ab");
  EXPECT_EQ(Attr("a&!sh:desktop"), "adesktop");
}

TEST_F(XmlMacroTest, UnknownPrefixLosesOnlyTheOpeningCharacters) {
  EXPECT_EQ(Attr("&!foo:bar;x"), "foo:bar;x");
  EXPECT_EQ(Attr("&!ENV:WINDIR;"), "ENV:WINDIR;");  // prefixes are case-sensitive
  EXPECT_EQ(Attr("&!"), "");
}

TEST_F(XmlMacroTest, MissingSeparatorsLeaveTheRestAsText) {
  EXPECT_EQ(Attr("&!reg:Software\\X"), "Software\\X");
  EXPECT_EQ(Attr("&!reg:Software\\X,Name"), "Name");
  EXPECT_EQ(Attr("&!env:WINDIR"), "WINDIR");
}

// The separators are looked for in the value being read, never further on in the document.
TEST_F(XmlMacroTest, SeparatorsAreNotSearchedBeyondTheValue) {
  ScopedEnv env(env_, L"VALUE");
  Loaded loaded;
  Load("<r a=\"&!reg:Software\\X\" b=\"1,2;\" c=\"&!env:" + Utf8(env_) + "\" d=\"x;\" e=\"&!sh:q\">z;</r>",
       &loaded);
  ASSERT_TRUE(loaded.ok) << loaded.error;
  const TiXmlElement* root = loaded.doc.RootElement();
  EXPECT_STREQ(root->Attribute("a"), "Software\\X");
  EXPECT_STREQ(root->Attribute("b"), "1,2;");
  EXPECT_STREQ(root->Attribute("c"), Utf8(env_).c_str());
  EXPECT_STREQ(root->Attribute("d"), "x;");
  EXPECT_STREQ(root->Attribute("e"), "q");
  EXPECT_STREQ(root->GetText(), "z;");
}

TEST_F(XmlMacroTest, CommaInTheValueButTheSemicolonOnlyLater) {
  Loaded loaded;
  Load("<r a=\"&!reg:Software\\X,Name\" b=\";\"/>", &loaded);
  ASSERT_TRUE(loaded.ok) << loaded.error;
  EXPECT_STREQ(loaded.doc.RootElement()->Attribute("a"), "Name");
  EXPECT_STREQ(loaded.doc.RootElement()->Attribute("b"), ";");
}

TEST_F(XmlMacroTest, MacrosInElementTextStopAtTheNextTag) {
  ScopedEnv env(env_, L"inner");
  Loaded loaded;
  Load("<r><a>[&!env:" + Utf8(env_) + ";]</a><b>&!env:" + Utf8(env_) + "</b><c>;</c></r>", &loaded);
  ASSERT_TRUE(loaded.ok) << loaded.error;
  const TiXmlElement* root = loaded.doc.RootElement();
  EXPECT_STREQ(root->FirstChildElement("a")->GetText(), "[inner]");
  EXPECT_STREQ(root->FirstChildElement("b")->GetText(), Utf8(env_).c_str());
  EXPECT_STREQ(root->FirstChildElement("c")->GetText(), ";");
}

// What a macro puts in is text: markup characters in it are not parsed again.
TEST_F(XmlMacroTest, ExpansionIsNotParsedAgain) {
  ScopedEnv env(env_, L"<x a=\"1\"/>&amp;");
  EXPECT_EQ(Attr("&!env:" + Utf8(env_) + ";"), "<x a=\"1\"/>&amp;");
}

TEST(XmlMacroDirect, ExpandMacroTextReadsOnlyUpToTheEnd) {
  const std::string text = "env:WINDIR;tail";
  std::string out;
  // The run ends before the semicolon: nothing is expanded, reading goes on after "env:".
  const char* next = ExpandMacroText(text.c_str(), text.c_str() + 10, &out);
  EXPECT_EQ(next, text.c_str() + 4);
  EXPECT_EQ(out, "");
}

TEST(XmlMacroDirect, ReadCharReferenceReadsOnlyUpToTheEnd) {
  const std::string text = "&#65;";
  std::string out;
  EXPECT_EQ(ReadCharReference(text.c_str(), text.c_str() + 4, &out), nullptr);
  EXPECT_EQ(ReadCharReference(text.c_str(), text.c_str() + 5, &out), text.c_str() + 5);
  EXPECT_EQ(out, "A");
}

}  // namespace
