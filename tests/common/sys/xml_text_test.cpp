// Entities, character references and the reading of values and text through the installed
// tinyxml, whose text reading is ours.
#include <gtest/gtest.h>
#include <tinyxml.h>

#include <cstdio>
#include <string>

#include "sys_test_support.h"

namespace {

// The value of attribute "v" of the root (or its text), or the load error.
std::string Read(const std::string& xml, bool text = false) {
  TiXmlDocument doc;
  doc.Parse(xml.c_str(), nullptr, TIXML_ENCODING_UTF8);
  if (doc.Error()) return std::string("error: ") + doc.ErrorDesc();
  const char* value = text ? doc.RootElement()->GetText() : doc.RootElement()->Attribute("v");
  return value ? value : "";
}

std::string Attr(const std::string& value) { return Read("<r v=\"" + value + "\"/>"); }
std::string Text(const std::string& text) { return Read("<r>" + text + "</r>", true); }

TEST(XmlText, EntitiesAndReferences) {
  const std::string chinese = "Tamsel\xE6\xB8\xB8\xE6\x88\x8FPelluvo";
  const std::pair<std::string, std::string> values[] = {
      {"a&amp;b", "a&b"},
      {"&lt;&gt;&quot;&apos;", "<>\"'"},
      {"&#x41;&#66;", "AB"},
      {"&#x20AC;&#8364;", "\xE2\x82\xAC\xE2\x82\xAC"},
      {"&#x6E38;&#x620F;", "\xE6\xB8\xB8\xE6\x88\x8F"},  // 游戏
      {"&#xE9;", "\xC3\xA9"},
      {"&#x1F600;", "\xF0\x9F\x98\x80"},
      {"&#XAB;", "error: Error parsing Element. row = 0 col = 3"},
      {"a&#x200000;b", "ab"},  // beyond four UTF-8 bytes: nothing appended
      {"&#x0000000041;", "A"},
      {"&#4294967361;", "A"},  // modulo 2^32
      {"&nbsp;x", "&nbsp;x"},  // unknown forms stay literally
      {"a & b", "a & b"},
      {"x&", "x&"},
      {"&amp", "&amp"},
      {chinese, chinese},
      {"  a   b  ", "  a   b  "},                                      // values keep their white space
      {"a\xE6\xB8", "error: Error parsing Element. row = 0 col = 3"},  // a cut UTF-8 sequence
  };
  for (const auto& v : values) EXPECT_EQ(Attr(v.first), v.second) << v.first;
  EXPECT_EQ(Read("<r v='&apos;&quot;'/>"), "'\"");
  EXPECT_EQ(Text("x &amp;&lt; y"), "x &< y");
  EXPECT_EQ(Text("&#x4e2d;&#25991;"), "\xE4\xB8\xAD\xE6\x96\x87");
  EXPECT_EQ(Text(chinese), chinese);
  EXPECT_EQ(Text("  a \r\n\t  b  "), "a b");
}

// The load fails and its error text says where: " row = " and " col = ", counted from 0.
TEST(XmlText, MalformedTextFailsTheLoad) {
  for (const std::string bad : {"&#6a;", "&#x4G;", "&#;", "&#x;", "&#x12x34;", "&#12", "&# 1;", "&#"}) {
    EXPECT_EQ(Read("<root>\n  <item v=\"" + bad + "\"/>\n</root>"), "error: Error parsing Element. row = 1 col = 8")
        << bad;
  }
  // In element text: where the text run that holds it begins.
  EXPECT_EQ(Read("<r>\n<a>ok &#1x; rest</a></r>"), "error: Error reading Element value. row = 1 col = 3");
  // A reference may not reach into the next value for its ";"; a cut sequence may not swallow
  // the end of the document.
  EXPECT_EQ(Read("<r v=\"&#65\" w=\"1;\"/>").rfind("error: ", 0), 0u);
  EXPECT_EQ(Read("<r v=\"x\xE6").rfind("error: ", 0), 0u);
}

TEST(XmlText, LoadsFromFilesWithTheLocationOfAnError) {
  systest::TempFolder folder;
  auto load = [&](const std::wstring& name, const std::string& xml, TiXmlDocument* doc) {
    systest::WriteFileBytes(folder / name, xml);
    FILE* file = _wfopen((folder / name).c_str(), L"rb");
    const bool loaded = file && doc->LoadFile(file);
    if (file) fclose(file);
    return loaded;
  };
  TiXmlDocument doc;
  ASSERT_TRUE(load(L"\u4ea7\u54c1 Product.config",
                   "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
                   "<Product type=\"offline\" name=\"&#x6E38;&#x620F;&amp;Co\">\r\n"
                   "  <installinfo Path=\"$windir\\x\"/>\r\n</Product>\r\n",
                   &doc))
      << doc.ErrorDesc();
  EXPECT_STREQ(doc.RootElement()->Attribute("name"), "\xE6\xB8\xB8\xE6\x88\x8F&Co");
  EXPECT_STREQ(doc.RootElement()->FirstChildElement("installinfo")->Attribute("Path"), "$windir\\x");
  TiXmlDocument bad;
  EXPECT_FALSE(
      load(L"bad.config", "<Config>\r\n  <Files>\r\n    <File path=\"&#xZZ;\"/>\r\n  </Files>\r\n</Config>", &bad));
  EXPECT_EQ(std::string(bad.ErrorDesc()), "Error parsing Element. row = 2 col = 10");
}

}  // namespace
