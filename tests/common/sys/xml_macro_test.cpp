// "&!" macros in attribute values and element text, read through the installed tinyxml.
#include <gtest/gtest.h>
#include <tinyxml.h>
#include <windows.h>

#include <string>

#include "common/sys/text_convert.h"
#include "common/sys/xml_text.h"
#include "sys_test_support.h"

namespace {

// Parses `xml`; the root element, or null with a failure.
const TiXmlElement* Root(TiXmlDocument& doc, const std::string& xml) {
  doc.Parse(xml.c_str(), nullptr, TIXML_ENCODING_UTF8);
  EXPECT_FALSE(doc.Error()) << doc.ErrorDesc();
  return doc.Error() ? nullptr : doc.RootElement();
}

std::string Attr(const std::string& value) {
  TiXmlDocument doc;
  const TiXmlElement* root = Root(doc, "<r v=\"" + value + "\"/>");
  const char* v = root ? root->Attribute("v") : nullptr;
  return v ? v : "<none>";
}

// A variable `env_` of this process and a machine key `subkey_` of the running test.
class XmlMacroTest : public ::testing::Test {
 protected:
  void SetUp() override {
    subkey_ = L"Software\\TamselSysTest\\" + systest::UniqueName();
    env_ = Utf8(L"TAMSEL_" + systest::UniqueName());
  }
  void TearDown() override {
    SetEnvironmentVariableW(Utf8ToWide(env_).c_str(), nullptr);
    systest::DeleteRegTree(HKEY_LOCAL_MACHINE, subkey_, KEY_WOW64_32KEY);
  }
  void SetEnv(const std::wstring& value) { SetEnvironmentVariableW(Utf8ToWide(env_).c_str(), value.c_str()); }
  void WriteMachineValue(const std::wstring& name, DWORD type, const std::wstring& text) {
    HKEY key = nullptr;
    ASSERT_EQ(
        RegCreateKeyExW(HKEY_LOCAL_MACHINE, subkey_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
        ERROR_SUCCESS);
    RegSetValueExW(key, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
  }
  static std::string Utf8(const std::wstring& wide) { return WideToUtf8(wide); }
  std::wstring subkey_;
  std::string env_;
};

TEST_F(XmlMacroTest, EnvironmentVariables) {
  SetEnv(L"D:\\\u6e38\u620f");
  EXPECT_EQ(Attr("[&!env:" + env_ + ";]\\bin"), "[D:\\\xE6\xB8\xB8\xE6\x88\x8F]\\bin");
  EXPECT_EQ(Attr("a&!env:" + env_ + "_UNSET;b"), "ab");
  wchar_t windows[MAX_PATH + 1] = {};
  ASSERT_GT(GetWindowsDirectoryW(windows, MAX_PATH), 0u);
  const std::string system32 = Attr("&!env:WINDIR;\\system32");
  EXPECT_EQ(
      CompareStringOrdinal(Utf8ToWide(system32).c_str(), -1, (std::wstring(windows) + L"\\system32").c_str(), -1, TRUE),
      CSTR_EQUAL)
      << system32;
  const std::wstring longValue(5000, L'\u6e38');
  SetEnv(longValue);
  EXPECT_EQ(Attr("&!env:" + env_ + ";"), Utf8(longValue)) << "a long value is read whole";
  EXPECT_EQ(GetEnvironmentText(env_), Utf8(longValue));
  SetEnv(L"<x a=\"1\"/>&amp;");
  EXPECT_EQ(Attr("&!env:" + env_ + ";"), "<x a=\"1\"/>&amp;") << "an expansion is not parsed again";
}

TEST_F(XmlMacroTest, MachineRegistryText) {
  WriteMachineValue(L"Path", REG_SZ, L"C:\\Orvenna\\\u6e38\u620f");
  WriteMachineValue(L"Expand", REG_EXPAND_SZ, L"%WINDIR%\\x");
  WriteMachineValue(L"Number", REG_DWORD, L"xx");
  const std::string key = Utf8(subkey_);
  EXPECT_EQ(Attr("&!reg:" + key + ",Path;\\bin"), "C:\\Orvenna\\\xE6\xB8\xB8\xE6\x88\x8F\\bin");
  EXPECT_EQ(Attr("&!reg:" + key + ",Expand;"), "%WINDIR%\\x") << "taken unexpanded";
  EXPECT_EQ(Attr("[&!reg:" + key + ",Number;]"), "[]") << "not text: nothing";
  EXPECT_EQ(Attr("[&!reg:" + key + ",Missing;]"), "[]");
  EXPECT_EQ(Attr("a&!reg:Software\\TamselNoSuchKey\\x,Path;b"), "ab");
}

TEST(XmlMacro, OtherAndIncompleteMacros) {
  const std::pair<const char*, const char*> cases[] = {
      {"a&!sh:desktop;b", "ab"},
      {"a&!sh:desktop", "adesktop"},
      {"&!foo:bar;x", "foo:bar;x"},
      {"&!ENV:WINDIR;", "ENV:WINDIR;"},  // prefixes are case-sensitive
      {"&!", ""},
      {"&!reg:Software\\X", "Software\\X"},
      {"&!reg:Software\\X,Name", "Name"},
      {"&!env:WINDIR", "WINDIR"},
  };
  for (const auto& c : cases) EXPECT_EQ(Attr(c.first), c.second) << c.first;
}

// The separators are looked for in the value or text run being read, never further on.
TEST_F(XmlMacroTest, SeparatorsAreNotSearchedBeyondTheValue) {
  SetEnv(L"VALUE");
  TiXmlDocument doc;
  const TiXmlElement* root = Root(doc, "<r a=\"&!reg:Software\\X\" b=\"1,2;\" c=\"&!env:" + env_ +
                                           "\" d=\"x;\" e=\"&!sh:q\" f=\"&!reg:Software\\X,Name\" g=\";\">z;</r>");
  ASSERT_TRUE(root);
  const std::pair<const char*, std::string> values[] = {{"a", "Software\\X"}, {"b", "1,2;"}, {"c", env_}, {"d", "x;"},
                                                        {"e", "q"},           {"f", "Name"}, {"g", ";"}};
  for (const auto& v : values) EXPECT_STREQ(root->Attribute(v.first), v.second.c_str()) << v.first;
  EXPECT_STREQ(root->GetText(), "z;");
  SetEnv(L"inner");
  TiXmlDocument text;
  root = Root(text, "<r><a>[&!env:" + env_ + ";]</a><b>&!env:" + env_ + "</b><c>;</c></r>");
  ASSERT_TRUE(root);
  EXPECT_STREQ(root->FirstChildElement("a")->GetText(), "[inner]");
  EXPECT_STREQ(root->FirstChildElement("b")->GetText(), env_.c_str());
  EXPECT_STREQ(root->FirstChildElement("c")->GetText(), ";");
}

TEST(XmlMacroDirect, ReadOnlyUpToTheEnd) {
  const std::string macro = "env:WINDIR;tail";
  std::string out;
  // The run ends before the semicolon: nothing is expanded, reading goes on after "env:".
  EXPECT_EQ(ExpandMacroText(macro.c_str(), macro.c_str() + 10, &out), macro.c_str() + 4);
  EXPECT_EQ(out, "");
  const std::string reference = "&#65;";
  EXPECT_EQ(ReadCharReference(reference.c_str(), reference.c_str() + 4, &out), nullptr);
  EXPECT_EQ(ReadCharReference(reference.c_str(), reference.c_str() + 5, &out), reference.c_str() + 5);
  EXPECT_EQ(out, "A");
}

}  // namespace
