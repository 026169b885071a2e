#include <gtest/gtest.h>

#include <vector>

#include "resource_ids.h"
#include "test_support.h"
#include "ui/core/resources/markup.h"
#include "ui/core/paint/manager/paint_manager.h"
#include "ui/core/paint/render/render_engine.h"
#include "ui/core/resources/resource_table.h"
#include "ui/core/resources/skin_file.h"

using namespace SkinUI;
using skinui_test::FixturePath;
using skinui_test::ReadFixture;

namespace {

// Restores folder-based skin settings after each test.
class SkinSettings : public ::testing::Test {
 protected:
  void TearDown() override {
    CPaintManagerUI::SetResourceZip(L"", false);
    CPaintManagerUI::CloseResourceZip();
    CPaintManagerUI::SetResourcePath(L"");
  }
};

// Pixel (x, y) of a loaded top-down 32-bit image as BGRA bytes.
DWORD PixelOf(const ImageInfo* image, int x, int y) {
  BITMAP bm = {};
  GetObjectW(image->hBitmap, sizeof(bm), &bm);
  const DWORD* bits = static_cast<const DWORD*>(bm.bmBits);
  return bits[y * image->nX + x];
}

void ExpectDotImage(const ImageInfo* image) {
  ASSERT_NE(nullptr, image);
  EXPECT_EQ(2, image->nX);
  EXPECT_EQ(2, image->nY);
  EXPECT_EQ(0xFFFF0000u, PixelOf(image, 0, 0));  // red
  EXPECT_EQ(0xFF00FF00u, PixelOf(image, 1, 0));  // green
  EXPECT_EQ(0xFF0000FFu, PixelOf(image, 0, 1));  // blue
  EXPECT_EQ(0x80808080u, PixelOf(image, 1, 1));  // half-transparent white, premultiplied
  EXPECT_TRUE(image->bAlpha);
}

}  // namespace

TEST_F(SkinSettings, ResourcePathGetsOneTrailingSeparator) {
  CPaintManagerUI::SetResourcePath(L"C:\\skin");
  EXPECT_STREQ(L"C:\\skin\\", CPaintManagerUI::GetResourcePath());
  CPaintManagerUI::SetResourcePath(L"C:\\skin/");
  EXPECT_STREQ(L"C:\\skin/", CPaintManagerUI::GetResourcePath());
  CPaintManagerUI::SetResourcePath(L"C:\\skin\\");
  EXPECT_STREQ(L"C:\\skin\\", CPaintManagerUI::GetResourcePath());
  CPaintManagerUI::SetResourcePath(L"");
  EXPECT_STREQ(L"", CPaintManagerUI::GetResourcePath());
}

TEST_F(SkinSettings, ResourceTableFromFolderKeepsFirstIdAndNeedsPath) {
  CPaintManagerUI::SetResourcePath(FixturePath(L"skin").c_str());
  CResourceTableUI* table = CResourceTableUI::GetInstance();
  ASSERT_TRUE(table->LoadResource(L"res.xml"));
  EXPECT_STREQ(L"img/x.png", table->GetImagePath(L"bk"));
  EXPECT_EQ(nullptr, table->GetImagePath(L"noPath"));
  EXPECT_STREQ(L"layouts\\msg.xml", table->GetXmlPath(L"msg"));
  EXPECT_STREQ(L"img/dot.bmp", table->GetImagePath(L"dot"));
  EXPECT_EQ(nullptr, table->GetXmlPath(L"bk"));
  EXPECT_STREQ(L"unknown-id", table->GetText(L"unknown-id").GetData());
  EXPECT_TRUE(table->GetText(nullptr).IsEmpty());
  EXPECT_FALSE(table->LoadResource(L"missing-res.xml"));
  EXPECT_STREQ(L"img/x.png", table->GetImagePath(L"bk"));
}

TEST_F(SkinSettings, ResourceTableFromZipTextAndProgramResource) {
  CPaintManagerUI::SetResourcePath(FixturePath(L"").c_str());
  CPaintManagerUI::SetResourceZip(L"skin.zip", true);
  ASSERT_NE(nullptr, CPaintManagerUI::GetResourceZipHandle());
  CResourceTableUI* table = CResourceTableUI::GetInstance();
  ASSERT_TRUE(table->LoadResource(L"res.xml"));
  EXPECT_STREQ(L"layouts\\msg.xml", table->GetXmlPath(L"msg"));
  ASSERT_TRUE(table->LoadResource(L"<Res><Xml id=\"fromtext\" path=\"t.xml\"/></Res>"));
  EXPECT_STREQ(L"t.xml", table->GetXmlPath(L"fromtext"));
  CPaintManagerUI::SetInstance(GetModuleHandleW(nullptr));
  ASSERT_TRUE(table->LoadResource(MAKEINTRESOURCEW(IDR_RES), L"XML"));
  EXPECT_STREQ(L"img/dot.bmp", table->GetImagePath(L"dot"));
  EXPECT_FALSE(table->LoadResource(MAKEINTRESOURCEW(999), L"XML"));
}

namespace {
class Provider : public IQueryControlText {
 public:
  const wchar_t* QueryControlText(const wchar_t* id, const wchar_t*) override {
    ++calls;
    return wcscmp(id, L"t.ok") == 0 ? L"确定" : nullptr;
  }
  int calls = 0;
};
}  // namespace

TEST_F(SkinSettings, ResourceTextIsAskedOnceAndCached) {
  Provider provider;
  CResourceTableUI* table = CResourceTableUI::GetInstance();
  table->SetTextQueryInterface(&provider);
  EXPECT_STREQ(L"确定", table->GetText(L"t.ok").GetData());
  EXPECT_STREQ(L"确定", table->GetText(L"t.ok").GetData());
  EXPECT_STREQ(L"", table->GetText(L"t.none").GetData());
  EXPECT_EQ(2, provider.calls);
  table->SetTextQueryInterface(nullptr);
}

TEST_F(SkinSettings, SkinFileFromCachedZipFolderNameAndMemoryZip) {
  std::vector<BYTE> bytes;
  CPaintManagerUI::SetResourcePath(FixturePath(L"").c_str());
  CPaintManagerUI::SetResourceZip(L"skin.zip", true);
  EXPECT_EQ(SkinFileStatus::Ok, ReadSkinFile(L"Img\\Dot.bmp", 0, bytes));
  EXPECT_EQ(ReadFixture(L"skin/img/dot.bmp"), bytes);
  CPaintManagerUI::SetResourceZip(L"", false);
  CPaintManagerUI::SetResourcePath(FixturePath(L"skin").c_str());
  EXPECT_EQ(SkinFileStatus::Ok, ReadSkinFile(L"img\\dot.bmp", 0, bytes));
  EXPECT_EQ(SkinFileStatus::OpenFailed, ReadSkinFile(L"img\\none.bmp", 0, bytes));

  // A zip held in a program resource, opened from memory.
  std::vector<BYTE> zipBytes;
  CPaintManagerUI::SetInstance(GetModuleHandleW(nullptr));
  ASSERT_TRUE(ReadSkinResource(nullptr, MAKEINTRESOURCEW(IDR_SKINZIP), MAKEINTRESOURCEW(10), zipBytes));
  EXPECT_EQ(ReadFixture(L"skin.zip"), zipBytes);
  CPaintManagerUI::SetResourceZip(zipBytes.data(), static_cast<unsigned int>(zipBytes.size()));
  EXPECT_STREQ(L"membuffer", CPaintManagerUI::GetResourceZip());
  CMarkup xml;
  ASSERT_TRUE(xml.LoadFromFile(L"install.xml")) << xml.GetLastErrorMessage();
  EXPECT_STREQ(L"Window", xml.GetRoot().GetName());
}

TEST_F(SkinSettings, ImagesLoadFromZipFolderAndResource) {
  CPaintManagerUI::SetInstance(GetModuleHandleW(nullptr));
  CPaintManagerUI::SetResourcePath(FixturePath(L"").c_str());
  CPaintManagerUI::SetResourceZip(L"skin.zip", true);
  {
    CPaintManagerUI manager;
    ExpectDotImage(manager.AddImage(L"img\\dot.bmp"));
    EXPECT_EQ(manager.GetImage(L"img\\dot.bmp"), manager.GetImageEx(L"img\\dot.bmp"));
    EXPECT_EQ(nullptr, manager.AddImage(L"img\\missing.bmp"));
    EXPECT_EQ(nullptr, manager.AddImage(L""));
    manager.RemoveImage(L"img\\dot.bmp");
    EXPECT_EQ(nullptr, manager.GetImage(L"img\\dot.bmp"));
  }
  CPaintManagerUI::SetResourceZip(L"", false);
  CPaintManagerUI::SetResourcePath(FixturePath(L"skin").c_str());
  {
    CPaintManagerUI manager;
    ExpectDotImage(manager.GetImageEx(L"img\\dot.bmp"));
    ExpectDotImage(manager.AddImage(L"204", L"BMPFILE"));
    EXPECT_EQ(nullptr, manager.AddImage(L"x204", L"BMPFILE"));
    // A name that is no skin file is tried as a path of its own.
    ExpectDotImage(manager.AddImage(FixturePath(L"skin/img/dot.bmp").c_str()));
    // Pixels equal to the mask colour become transparent.
    const ImageInfo* masked = manager.AddImage(L"img\\dot.bmp", nullptr, 0xFFFF0000);
    ASSERT_NE(nullptr, masked);
    EXPECT_EQ(0u, PixelOf(masked, 0, 0));
    EXPECT_EQ(0xFF00FF00u, PixelOf(masked, 1, 0));
    const ImageInfo* hsl = manager.AddImage(L"hsl", nullptr, 0, true);
    EXPECT_EQ(nullptr, hsl);
    const ImageInfo* kept = manager.AddImage(L"img\\dot.bmp", nullptr, 0, true);
    ASSERT_NE(nullptr, kept);
    ASSERT_NE(nullptr, kept->pSrcBits);
    EXPECT_EQ(0xFFu, kept->pSrcBits[3]);
  }
}
