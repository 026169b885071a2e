#include <gtest/gtest.h>

#include <string>
#include <vector>
#include <utility>

#include "test_support.h"
#include "ui/core/resources/markup.h"
#include "ui/core/paint/manager/paint_manager.h"

using namespace SkinUI;
using skinui_test::FixturePath;
using skinui_test::ReadFixture;

namespace {

std::vector<BYTE> Utf16(const std::wstring& text, bool bigEndian, bool bom) {
  std::vector<BYTE> out;
  if (bom) {
    out.push_back(bigEndian ? 0xFE : 0xFF);
    out.push_back(bigEndian ? 0xFF : 0xFE);
  }
  for (wchar_t c : text) {
    BYTE lo = static_cast<BYTE>(c & 0xFF), hi = static_cast<BYTE>(c >> 8);
    out.push_back(bigEndian ? hi : lo);
    out.push_back(bigEndian ? lo : hi);
  }
  return out;
}

// The element names of a tree, depth first, with their attribute pairs.
std::wstring Describe(CMarkupNode node) {
  std::wstring out;
  for (; node.IsValid(); node = node.GetSibling()) {
    out += L"<";
    out += node.GetName();
    for (int i = 0; i < node.GetAttributeCount(); ++i) {
      out += L" ";
      out += node.GetAttributeName(i);
      out += L"=";
      out += node.GetAttributeValue(i);
    }
    out += L">";
    if (node.HasChildren()) out += Describe(node.GetChild());
    out += L"</>";
  }
  return out;
}

const wchar_t kLayoutWide[] =
    L"<?xml version=\"1.0\"?>\n<!-- a comment -->\n<Window size=\"900,600\">\n"
    L"  <Label name=\"LabelTips\" text=\"安装 &amp; &lt;运行&gt; &quot;q&quot; &apos;a&apos;\"/>\n"
    L"  <VerticalLayout><Button name=\"BtnInstall\" /></VerticalLayout>\n</Window>\n";

}  // namespace

TEST(Markup, SelfClosingRootWithOneAttribute) {
  CMarkup xml;
  ASSERT_TRUE(xml.Load(L"<Window size=\"10,20\"/>"));
  CMarkupNode root = xml.GetRoot();
  ASSERT_TRUE(root.IsValid());
  EXPECT_STREQ(L"Window", root.GetName());
  EXPECT_EQ(1, root.GetAttributeCount());
  EXPECT_STREQ(L"size", root.GetAttributeName(0));
  EXPECT_STREQ(L"10,20", root.GetAttributeValue(0));
  EXPECT_FALSE(root.HasChildren());
  EXPECT_FALSE(root.GetChild().IsValid());
  EXPECT_FALSE(root.GetParent().IsValid());
}

TEST(Markup, TreeEntitiesAndUnknownEntities) {
  CMarkup xml;
  ASSERT_TRUE(xml.Load(kLayoutWide)) << xml.GetLastErrorMessage();
  EXPECT_EQ(
      L"<Window size=900,600><Label name=LabelTips text=安装 & <运行> \"q\" 'a'></><VerticalLayout>"
      L"<Button name=BtnInstall></></></>",
      Describe(xml.GetRoot()));
  CMarkup entities;
  ASSERT_TRUE(entities.Load(L"<a v=\"&amp;lt; &#65; & x\"/>"));
  EXPECT_STREQ(L"&lt; &#65; & x", entities.GetRoot().GetAttributeValue(0));
  CMarkupNode child = xml.GetRoot().GetChild();
  EXPECT_STREQ(L"Window", child.GetParent().GetName());
}

TEST(Markup, ErrorsCarryMessageAndPosition) {
  CMarkup xml;
  EXPECT_FALSE(xml.Load(L"<a>x</b>"));
  EXPECT_STREQ(L"Unmatched closing tag", xml.GetLastErrorMessage());
  EXPECT_STREQ(L"b>", xml.GetLastErrorLocation());
  EXPECT_FALSE(xml.GetRoot().IsValid());
  EXPECT_FALSE(xml.Load(L"<a x='1'/>"));
  EXPECT_STREQ(L"Expected attribute value", xml.GetLastErrorMessage());
  EXPECT_STREQ(L"'1'/>", xml.GetLastErrorLocation());
  const std::pair<const wchar_t*, const wchar_t*> cases[] = {
      {L"text<a/>", L"Expected start tag"},
      {L"<a x\"1\"/>", L"Error while parsing attributes"},
      {L"<a x=\"1/>", L"Error while parsing attribute string"},
      {L"<a x=\"1\"/ >", L"Expected start-tag closing"},
      {L"<abc", L"Error parsing element name"},
  };
  for (const auto& c : cases) {
    EXPECT_FALSE(xml.Load(c.first));
    EXPECT_STREQ(c.second, xml.GetLastErrorMessage());
  }
  std::wstring longTail = L"<a>x</b" + std::wstring(100, L'z') + L">";
  EXPECT_FALSE(xml.Load(longTail.c_str()));
  EXPECT_EQ(49u, wcslen(xml.GetLastErrorLocation()));
}

TEST(Markup, RootWithoutEndTagAtTheEndCountsAsClosed) {
  CMarkup xml;
  ASSERT_TRUE(xml.Load(L"<Window><Label/>"));
  EXPECT_STREQ(L"Label", xml.GetRoot().GetChild().GetName());
}

TEST(Markup, OnlyTheFirst64AttributesAreExposed) {
  std::wstring text = L"<Control";
  for (int i = 0; i < 70; ++i) text += L" a" + std::to_wstring(i) + L"=\"" + std::to_wstring(i) + L"\"";
  text += L"/>";
  CMarkup xml;
  ASSERT_TRUE(xml.Load(text.c_str()));
  CMarkupNode root = xml.GetRoot();
  EXPECT_EQ(64, root.GetAttributeCount());
  EXPECT_STREQ(L"63", root.GetAttributeValue(63));
  EXPECT_STREQ(L"", root.GetAttributeValue(64));
  EXPECT_STREQ(L"", root.GetAttributeName(-1));
  CMarkupNode invalid;
  EXPECT_EQ(nullptr, invalid.GetAttributeValue(0));
  EXPECT_EQ(nullptr, invalid.GetName());
}

TEST(Markup, AttributeCopyIsAlwaysTerminatedOrRefused) {
  CMarkup xml;
  ASSERT_TRUE(xml.Load(L"<a Name=\"abcdef\" e=\"\"/>"));
  CMarkupNode root = xml.GetRoot();
  wchar_t buffer[8];
  wmemset(buffer, L'#', 8);
  EXPECT_TRUE(root.GetAttributeValue(L"name", buffer, 8));
  EXPECT_STREQ(L"abcdef", buffer);
  wmemset(buffer, L'#', 8);
  EXPECT_FALSE(root.GetAttributeValue(L"name", buffer, 6));
  EXPECT_EQ(L'\0', buffer[0]);
  EXPECT_FALSE(root.GetAttributeValue(L"name", buffer, 7 - 1));
  EXPECT_TRUE(root.GetAttributeValue(L"NAME", buffer, 7));
  EXPECT_STREQ(L"abcdef", buffer);
  EXPECT_TRUE(root.GetAttributeValue(L"e", buffer, 1));
  EXPECT_STREQ(L"", buffer);
  EXPECT_FALSE(root.GetAttributeValue(L"missing", buffer, 8));
}

TEST(Markup, Utf8WithAndWithoutBomParseAlike) {
  std::vector<BYTE> plain = ReadFixture(L"skin/install.xml");
  ASSERT_FALSE(plain.empty());
  std::vector<BYTE> withBom = {0xEF, 0xBB, 0xBF};
  withBom.insert(withBom.end(), plain.begin(), plain.end());
  CMarkup a, b;
  ASSERT_TRUE(a.LoadFromMem(plain.data(), static_cast<DWORD>(plain.size()))) << a.GetLastErrorMessage();
  ASSERT_TRUE(b.LoadFromMem(withBom.data(), static_cast<DWORD>(withBom.size())));
  EXPECT_EQ(Describe(a.GetRoot()), Describe(b.GetRoot()));
  std::wstring tree = Describe(a.GetRoot());
  EXPECT_NE(std::wstring::npos, tree.find(L"text=安装 & 运行 <Tamsel>"));
  EXPECT_NE(std::wstring::npos, tree.find(L"tooltip=开始'安装'"));
}

TEST(Markup, Utf16LittleAndBigEndianParseAlike) {
  std::vector<BYTE> le = Utf16(kLayoutWide, false, true);
  const std::vector<BYTE> beOriginal = Utf16(kLayoutWide, true, true);
  std::vector<BYTE> be = beOriginal;
  CMarkup a, b, c;
  ASSERT_TRUE(a.LoadFromMem(le.data(), static_cast<DWORD>(le.size()), XMLFILE_ENCODING_UNICODE));
  ASSERT_TRUE(b.LoadFromMem(be.data(), static_cast<DWORD>(be.size()), XMLFILE_ENCODING_UNICODE));
  EXPECT_EQ(Describe(a.GetRoot()), Describe(b.GetRoot()));
  // The caller's bytes are left as they were.
  EXPECT_EQ(beOriginal, be);
  std::vector<BYTE> noBom = Utf16(kLayoutWide, false, false);
  ASSERT_TRUE(c.LoadFromMem(noBom.data(), static_cast<DWORD>(noBom.size()), XMLFILE_ENCODING_UNICODE));
  EXPECT_EQ(Describe(a.GetRoot()), Describe(c.GetRoot()));
}

TEST(Markup, BigEndianInputInReadOnlyMemory) {
  std::vector<BYTE> be = Utf16(L"<Window text=\"只读\"/>", true, true);
  void* page = VirtualAlloc(nullptr, 4096, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  ASSERT_NE(nullptr, page);
  memcpy(page, be.data(), be.size());
  DWORD old = 0;
  ASSERT_TRUE(VirtualProtect(page, 4096, PAGE_READONLY, &old));
  CMarkup xml;
  EXPECT_TRUE(xml.LoadFromMem(static_cast<const BYTE*>(page), static_cast<DWORD>(be.size()), XMLFILE_ENCODING_UNICODE));
  EXPECT_STREQ(L"只读", xml.GetRoot().GetAttributeValue(0));
  VirtualFree(page, 0, MEM_RELEASE);
}

TEST(Markup, LoadFromFileInFolderAndZip) {
  CPaintManagerUI::SetResourceZip(L"", false);
  CPaintManagerUI::SetResourcePath(FixturePath(L"skin").c_str());
  CMarkup xml;
  ASSERT_TRUE(xml.LoadFromFile(L"layouts\\msg.xml")) << xml.GetLastErrorMessage();
  EXPECT_STREQ(L"Window", xml.GetRoot().GetName());
  EXPECT_FALSE(xml.LoadFromFile(L"missing.xml"));
  EXPECT_STREQ(L"Error opening file", xml.GetLastErrorMessage());
  EXPECT_FALSE(xml.LoadFromFile(L"toolarge.xml"));
  EXPECT_STREQ(L"File too large", xml.GetLastErrorMessage());

  CPaintManagerUI::SetResourcePath(FixturePath(L"").c_str());
  CPaintManagerUI::SetResourceZip(L"skin.zip", false);
  ASSERT_TRUE(xml.LoadFromFile(L"LAYOUTS\\MSG.XML")) << xml.GetLastErrorMessage();
  EXPECT_STREQ(L"BtnYes", xml.GetRoot().GetChild().GetChild().GetAttributeValue(0));
  EXPECT_FALSE(xml.LoadFromFile(L"nothere.xml"));
  EXPECT_STREQ(L"Could not find ziped file", xml.GetLastErrorMessage());
  EXPECT_FALSE(xml.LoadFromFile(L"layouts/"));
  EXPECT_STREQ(L"File is empty", xml.GetLastErrorMessage());
  CPaintManagerUI::SetResourceZip(L"toolarge.zip", false);
  EXPECT_FALSE(xml.LoadFromFile(L"toolarge.xml"));
  EXPECT_STREQ(L"File too large", xml.GetLastErrorMessage());
  CPaintManagerUI::SetResourceZip(L"absent.zip", false);
  EXPECT_FALSE(xml.LoadFromFile(L"install.xml"));
  EXPECT_STREQ(L"Error opening zip file", xml.GetLastErrorMessage());
  CPaintManagerUI::SetResourceZip(L"corrupt_stored.zip", true);
  EXPECT_FALSE(xml.LoadFromFile(L"payload.txt"));
  EXPECT_STREQ(L"Could not unzip file", xml.GetLastErrorMessage());
  CPaintManagerUI::SetResourceZip(L"", false);
  CPaintManagerUI::CloseResourceZip();
}
