// Entities, character references and the reading of values and text through the installed
// tinyxml, whose text reading is ours.
#include <gtest/gtest.h>
#include <tinyxml.h>

#include <cstdio>
#include <string>

#include "sys_test_support.h"

namespace {

// The value of attribute "v" of the root, or the load error.
std::string ReadAttribute(const std::string& xml) {
  TiXmlDocument doc;
  doc.Parse(xml.c_str(), nullptr, TIXML_ENCODING_UTF8);
  if (doc.Error()) return std::string("error: ") + doc.ErrorDesc();
  const char* value = doc.RootElement() ? doc.RootElement()->Attribute("v") : nullptr;
  return value ? value : "<no attribute>";
}

std::string ReadRootText(const std::string& xml) {
  TiXmlDocument doc;
  doc.Parse(xml.c_str(), nullptr, TIXML_ENCODING_UTF8);
  if (doc.Error()) return std::string("error: ") + doc.ErrorDesc();
  const char* text = doc.RootElement() ? doc.RootElement()->GetText() : nullptr;
  return text ? text : "";
}

std::string Attr(const std::string& value) { return ReadAttribute("<r v=\"" + value + "\"/>"); }

TEST(XmlText, FiveEntities) {
  EXPECT_EQ(Attr("a&amp;b"), "a&b");
  EXPECT_EQ(Attr("&lt;&gt;&quot;&apos;"), "<>\"'");
  EXPECT_EQ(ReadAttribute("<r v='&apos;&quot;'/>"), "'\"");
  EXPECT_EQ(ReadRootText("<r>x &amp;&lt; y</r>"), "x &< y");
}

TEST(XmlText, DecimalAndHexadecimalReferencesBecomeUtf8) {
  EXPECT_EQ(Attr("&#x41;&#66;"), "AB");
  EXPECT_EQ(Attr("&#x20AC;"), "\xE2\x82\xAC");
  EXPECT_EQ(Attr("&#8364;"), "\xE2\x82\xAC");
  EXPECT_EQ(Attr("&#x6E38;&#x620F;"), "\xE6\xB8\xB8\xE6\x88\x8F");  // 游戏
  EXPECT_EQ(Attr("&#xE9;"), "\xC3\xA9");
  EXPECT_EQ(Attr("&#x1F600;"), "\xF0\x9F\x98\x80");
  EXPECT_EQ(Attr("&#XAB;"), "error: Error parsing Element. row = 0 col = 3");
  EXPECT_EQ(Attr("a&#x200000;b"), "ab");  // beyond four UTF-8 bytes: nothing appended
  EXPECT_EQ(Attr("&#x0000000041;"), "A");
  EXPECT_EQ(Attr("&#4294967361;"), "A");  // modulo 2^32
  EXPECT_EQ(ReadRootText("<r>&#x4e2d;&#25991;</r>"), "\xE4\xB8\xAD\xE6\x96\x87");
}

TEST(XmlText, UnknownAmpersandFormsStayLiterally) {
  EXPECT_EQ(Attr("&nbsp;x"), "&nbsp;x");
  EXPECT_EQ(Attr("a & b"), "a & b");
  EXPECT_EQ(Attr("x&"), "x&");
  EXPECT_EQ(Attr("&amp"), "&amp");
}

TEST(XmlText, UnicodeTextIsCopiedWhole) {
  const std::string chinese = "Tamsel\xE6\xB8\xB8\xE6\x88\x8FPelluvo";
  EXPECT_EQ(Attr(chinese), chinese);
  EXPECT_EQ(ReadRootText("<r>" + chinese + "</r>"), chinese);
}

TEST(XmlText, ElementTextWhiteSpaceCollapses) {
  EXPECT_EQ(ReadRootText("<r>  a \r\n\t  b  </r>"), "a b");
  EXPECT_EQ(Attr("  a   b  "), "  a   b  ");  // values keep theirs
}

// The load fails and its error text says where: " row = " and " col = ", counted from 0.
TEST(XmlText, MalformedReferencesFailTheLoad) {
  const std::string prefix = "<root>\n  <item v=\"";
  for (const std::string bad : {"&#6a;", "&#x4G;", "&#;", "&#x;", "&#x12x34;", "&#12", "&# 1;", "&#"}) {
    TiXmlDocument doc;
    doc.Parse((prefix + bad + "\"/>\n</root>").c_str(), nullptr, TIXML_ENCODING_UTF8);
    ASSERT_TRUE(doc.Error()) << bad;
    EXPECT_EQ(std::string(doc.ErrorDesc()), "Error parsing Element. row = 1 col = 8") << bad;
  }
}

TEST(XmlText, MalformedReferenceInElementTextFailsTheLoad) {
  TiXmlDocument doc;
  doc.Parse("<r>\n<a>ok &#1x; rest</a></r>", nullptr, TIXML_ENCODING_UTF8);
  ASSERT_TRUE(doc.Error());
  // Where the text run that holds it begins.
  EXPECT_EQ(std::string(doc.ErrorDesc()), "Error reading Element value. row = 1 col = 3");
}

// A reference may not reach into the next value for its ";".
TEST(XmlText, ReferenceEndsInsideItsValue) {
  TiXmlDocument doc;
  doc.Parse("<r v=\"&#65\" w=\"1;\"/>", nullptr, TIXML_ENCODING_UTF8);
  EXPECT_TRUE(doc.Error());
}

// A UTF-8 sequence cut short by the closing quote must not swallow the quote and read on.
TEST(XmlText, CutUtf8SequenceIsAnError) {
  EXPECT_EQ(Attr("a\xE6\xB8"), "error: Error parsing Element. row = 0 col = 3");
  TiXmlDocument doc;
  doc.Parse("<r v=\"x\xE6", nullptr, TIXML_ENCODING_UTF8);  // the document ends inside the value
  EXPECT_TRUE(doc.Error());
}

TEST(XmlText, LoadsFromAFileWithAChinesePath) {
  systest::TempFolder folder;
  const std::wstring path = folder / L"\u4ea7\u54c1 Product.config";
  systest::WriteFileBytes(path,
                          "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
                          "<Product type=\"offline\" name=\"&#x6E38;&#x620F;&amp;Co\">\r\n"
                          "  <installinfo Path=\"$windir\\x\"/>\r\n</Product>\r\n");
  FILE* file = _wfopen(path.c_str(), L"rb");
  ASSERT_NE(file, nullptr);
  TiXmlDocument doc;
  const bool loaded = doc.LoadFile(file);
  fclose(file);
  ASSERT_TRUE(loaded) << doc.ErrorDesc();
  EXPECT_STREQ(doc.RootElement()->Attribute("name"), "\xE6\xB8\xB8\xE6\x88\x8F&Co");
  EXPECT_STREQ(doc.RootElement()->FirstChildElement("installinfo")->Attribute("Path"), "$windir\\x");
}

TEST(XmlText, FailedFileLoadCarriesTheLocationText) {
  systest::TempFolder folder;
  const std::wstring path = folder / L"bad.config";
  systest::WriteFileBytes(path, "<Config>\r\n  <Files>\r\n    <File path=\"&#xZZ;\"/>\r\n  </Files>\r\n</Config>\r\n");
  FILE* file = _wfopen(path.c_str(), L"rb");
  ASSERT_NE(file, nullptr);
  TiXmlDocument doc;
  EXPECT_FALSE(doc.LoadFile(file));
  fclose(file);
  EXPECT_EQ(std::string(doc.ErrorDesc()), "Error parsing Element. row = 2 col = 10");
}

}  // namespace
