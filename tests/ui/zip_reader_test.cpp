#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "test_support.h"
#include "ui/core/resources/zip_archive.h"

using namespace SkinUI;
using skinui_test::FixturePath;
using skinui_test::ReadFixture;

namespace {

struct ZipGuard {
  HZIPARCHIVE zip;
  explicit ZipGuard(HZIPARCHIVE z) : zip(z) {}
  // The fixture archive of that name.
  explicit ZipGuard(const wchar_t* fixture, const char* password = nullptr)
      : zip(ZipArchiveOpen(FixturePath(fixture).c_str(), password)) {}
  ~ZipGuard() {
    if (zip != nullptr) ZipArchiveClose(zip);
  }
};

// Unzips an item whole; the result code of the last call is returned in `result`.
std::vector<BYTE> Unzip(HZIPARCHIVE zip, const wchar_t* name, DWORD* result) {
  int index = -1;
  ZipItemEntry entry;
  *result = ZipArchiveFindItem(zip, name, true, &index, &entry);
  if (*result != ZR_OK) return {};
  std::vector<BYTE> out(static_cast<size_t>(entry.unc_size));
  *result = ZipArchiveUnzipItem(zip, index, out.data(), static_cast<unsigned int>(out.size()));
  return out;
}

std::string Text(const std::vector<BYTE>& bytes) { return std::string(bytes.begin(), bytes.end()); }

std::string HostFile(const std::wstring& name) { return Text(ReadFixture(name)); }

}  // namespace

TEST(ZipReader, DeflatedArchiveWithFoldersMatchesTheSourceFiles) {
  ZipGuard zip(L"skin.zip");
  ASSERT_NE(nullptr, zip.zip);
  ZipItemEntry all;
  ASSERT_EQ(ZR_OK, ZipArchiveGetItem(zip.zip, -1, &all));
  EXPECT_EQ(6, all.index);
  for (const wchar_t* name : {L"install.xml", L"res.xml", L"layouts/msg.xml", L"img/dot.bmp"}) {
    DWORD r = 0;
    std::vector<BYTE> data = Unzip(zip.zip, name, &r);
    EXPECT_EQ(ZR_OK, r) << name;
    EXPECT_EQ(HostFile(std::wstring(L"skin/") + name), Text(data));
  }
  int index = -1;
  ZipItemEntry folder;
  ASSERT_EQ(ZR_OK, ZipArchiveFindItem(zip.zip, L"layouts/", false, &index, &folder));
  EXPECT_NE(0u, folder.attr & FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_EQ(0, folder.unc_size);
}

TEST(ZipReader, StoredArchiveReadsTheSame) {
  ZipGuard zip(L"stored.zip");
  ASSERT_NE(nullptr, zip.zip);
  DWORD r = 0;
  std::vector<BYTE> data = Unzip(zip.zip, L"install.xml", &r);
  EXPECT_EQ(ZR_OK, r);
  EXPECT_EQ(HostFile(L"skin/install.xml"), Text(data));
  int index = -1;
  ZipItemEntry entry;
  ASSERT_EQ(ZR_OK, ZipArchiveFindItem(zip.zip, L"install.xml", false, &index, &entry));
  EXPECT_EQ(entry.comp_size, entry.unc_size);
}

TEST(ZipReader, BigDeflatedItemInPiecesAndWhole) {
  ZipGuard zip(L"big.zip");
  ASSERT_NE(nullptr, zip.zip);
  int index = -1;
  ZipItemEntry entry;
  ASSERT_EQ(ZR_OK, ZipArchiveFindItem(zip.zip, L"big.txt", false, &index, &entry));
  std::string expected = HostFile(L"big.txt");
  ASSERT_EQ(expected.size(), static_cast<size_t>(entry.unc_size));
  std::string got;
  BYTE piece[7000];
  DWORD r;
  int calls = 0;
  do {
    r = ZipArchiveUnzipItem(zip.zip, index, piece, sizeof(piece));
    ASSERT_TRUE(r == ZR_OK || r == ZR_MORE) << std::hex << r;
    size_t produced = std::min(sizeof(piece), expected.size() - got.size());
    got.append(reinterpret_cast<char*>(piece), produced);
    ++calls;
  } while (r == ZR_MORE && calls < 1000);
  EXPECT_EQ(ZR_OK, r);
  EXPECT_EQ(expected, got);
  DWORD whole = 0;
  EXPECT_EQ(expected, Text(Unzip(zip.zip, L"big.txt", &whole)));
  EXPECT_EQ(ZR_OK, whole);
}

TEST(ZipReader, HundredByteItemIntoFortyByteBuffer) {
  ZipGuard zip(L"big.zip");
  ASSERT_NE(nullptr, zip.zip);
  int index = -1;
  ZipItemEntry entry;
  ASSERT_EQ(ZR_OK, ZipArchiveFindItem(zip.zip, L"hundred.txt", false, &index, &entry));
  ASSERT_EQ(100, entry.unc_size);
  BYTE buffer[40];
  std::string got;
  EXPECT_EQ(ZR_MORE, ZipArchiveUnzipItem(zip.zip, index, buffer, 40));
  got.append(reinterpret_cast<char*>(buffer), 40);
  EXPECT_EQ(ZR_MORE, ZipArchiveUnzipItem(zip.zip, index, buffer, 40));
  got.append(reinterpret_cast<char*>(buffer), 40);
  EXPECT_EQ(ZR_OK, ZipArchiveUnzipItem(zip.zip, index, buffer, 40));
  got.append(reinterpret_cast<char*>(buffer), 20);
  EXPECT_EQ(HostFile(L"hundred.txt"), got);
}

TEST(ZipReader, FindIgnoresCaseOnlyWhenAsked) {
  ZipGuard zip(L"skin.zip");
  ASSERT_NE(nullptr, zip.zip);
  int index = -1;
  ZipItemEntry entry;
  EXPECT_EQ(ZR_OK, ZipArchiveFindItem(zip.zip, L"IMG/DOT.BMP", true, &index, &entry));
  EXPECT_STREQ(L"img/dot.bmp", entry.name);
  EXPECT_EQ(ZR_NOTFOUND, ZipArchiveFindItem(zip.zip, L"IMG/DOT.BMP", false, &index, &entry));
  EXPECT_EQ(-1, index);
  EXPECT_EQ(-1, entry.index);
  std::wstring tooLong(300, L'a');
  EXPECT_EQ(ZR_NOTFOUND, ZipArchiveFindItem(zip.zip, tooLong.c_str(), true, &index, nullptr));
}

TEST(ZipReader, CorruptedStoredOrDeflatedByteIsAFailure) {
  ZipGuard stored(L"corrupt_stored.zip"), deflated(L"corrupt_deflated.zip");
  ASSERT_NE(nullptr, stored.zip);
  ASSERT_NE(nullptr, deflated.zip);
  DWORD r = 0;
  Unzip(stored.zip, L"payload.txt", &r);
  EXPECT_EQ(ZR_FLATE, r);
  Unzip(deflated.zip, L"big.txt", &r);
  EXPECT_TRUE(r != ZR_OK && r != ZR_MORE) << std::hex << r;
}

TEST(ZipReader, EveryFlippedDataByteOfAnItemIsCaught) {
  std::vector<BYTE> good = ReadFixture(L"stored.zip");
  ASSERT_FALSE(good.empty());
  // Find install.xml's local header and its data.
  const char name[] = "install.xml";
  size_t at = 0;
  for (; at + 30 + sizeof(name) < good.size(); ++at) {
    if (good[at] == 'P' && good[at + 1] == 'K' && good[at + 2] == 3 && good[at + 3] == 4 &&
        memcmp(&good[at + 30], name, sizeof(name) - 1) == 0) {
      break;
    }
  }
  size_t dataStart = at + 30 + (good[at + 26] | (good[at + 27] << 8)) + (good[at + 28] | (good[at + 29] << 8));
  size_t dataSize = HostFile(L"skin/install.xml").size();
  for (size_t offset = 0; offset < dataSize; offset += 37) {
    std::vector<BYTE> bad = good;
    bad[dataStart + offset] ^= 0x01;
    ZipGuard zip(ZipArchiveOpenMemory(bad.data(), static_cast<unsigned int>(bad.size()), nullptr));
    ASSERT_NE(nullptr, zip.zip);
    DWORD r = 0;
    Unzip(zip.zip, L"install.xml", &r);
    EXPECT_EQ(ZR_FLATE, r) << "offset " << offset;
  }
}

TEST(ZipReader, TruncatedItemIsAFailure) {
  std::vector<BYTE> bytes = ReadFixture(L"big.zip");
  ASSERT_FALSE(bytes.empty());
  // Shrink big.txt's compressed size in the central directory: the stream then ends early.
  for (size_t at = 0; at + 46 < bytes.size(); ++at) {
    if (bytes[at] == 'P' && bytes[at + 1] == 'K' && bytes[at + 2] == 1 && bytes[at + 3] == 2 &&
        memcmp(&bytes[at + 46], "big.txt", 7) == 0) {
      uint32_t comp = bytes[at + 20] | (bytes[at + 21] << 8) | (bytes[at + 22] << 16) | (bytes[at + 23] << 24);
      comp /= 2;
      for (int i = 0; i < 4; ++i) bytes[at + 20 + i] = static_cast<BYTE>(comp >> (8 * i));
      break;
    }
  }
  ZipGuard zip(ZipArchiveOpenMemory(bytes.data(), static_cast<unsigned int>(bytes.size()), nullptr));
  ASSERT_NE(nullptr, zip.zip);
  DWORD r = 0;
  Unzip(zip.zip, L"big.txt", &r);
  EXPECT_EQ(ZR_FLATE, r);
  // The archive itself cut short inside the item's data.
  std::vector<BYTE> cut(bytes.begin(), bytes.begin() + 1000);
  EXPECT_EQ(nullptr, ZipArchiveOpenMemory(cut.data(), static_cast<unsigned int>(cut.size()), nullptr));
}

TEST(ZipReader, ArchiveAppendedToOtherBytesOpens) {
  ZipGuard zip(L"appended.bin");
  ASSERT_NE(nullptr, zip.zip);
  DWORD r = 0;
  EXPECT_EQ(HostFile(L"skin/res.xml"), Text(Unzip(zip.zip, L"res.xml", &r)));
  EXPECT_EQ(ZR_OK, r);
}

TEST(ZipReader, EncryptedItemNeedsItsPassword) {
  ZipGuard right(L"encrypted.zip", "secret");
  ASSERT_NE(nullptr, right.zip);
  DWORD r = 0;
  EXPECT_EQ(HostFile(L"skin/install.xml"), Text(Unzip(right.zip, L"install.xml", &r)));
  EXPECT_EQ(ZR_OK, r);
  ZipGuard none(L"encrypted.zip");
  ASSERT_NE(nullptr, none.zip);
  Unzip(none.zip, L"install.xml", &r);
  EXPECT_EQ(ZR_PASSWORD, r) << "no password";
  // The encryption header checks one byte, which a wrong password matches once in 256: then
  // the data itself is refused. Of three wrong passwords the check refuses one at least.
  int refusedByCheck = 0;
  for (const char* password : {"wrong", "Secret", "secret2"}) {
    ZipGuard zip(L"encrypted.zip", password);
    ASSERT_NE(nullptr, zip.zip);
    Unzip(zip.zip, L"install.xml", &r);
    EXPECT_NE(ZR_OK, r) << password;
    refusedByCheck += r == ZR_PASSWORD;
  }
  EXPECT_GT(refusedByCheck, 0);
}

TEST(ZipReader, NamesNeverReachAboveTheRoot) {
  std::vector<BYTE> bytes = ReadFixture(L"skin.zip");
  ASSERT_FALSE(bytes.empty());
  // "layouts/msg.xml" becomes "../../s/msg.xml"-like names by rewriting its bytes in place.
  auto rename = [&](const char* from, const char* to) {
    size_t n = strlen(from);
    for (size_t at = 0; at + n <= bytes.size(); ++at) {
      if (memcmp(&bytes[at], from, n) == 0) memcpy(&bytes[at], to, n);
    }
  };
  rename("layouts/msg.xml", "../../evil.txt.");
  rename("img/dot.bmp", "a/../b.txt_");
  ZipGuard zip(ZipArchiveOpenMemory(bytes.data(), static_cast<unsigned int>(bytes.size()), nullptr));
  ASSERT_NE(nullptr, zip.zip);
  int index = -1;
  ZipItemEntry entry;
  ASSERT_EQ(ZR_OK, ZipArchiveFindItem(zip.zip, L"../../evil.txt.", false, &index, &entry));
  EXPECT_STREQ(L"evil.txt.", entry.name);
  ASSERT_EQ(ZR_OK, ZipArchiveFindItem(zip.zip, L"a/../b.txt_", false, &index, &entry));
  EXPECT_STREQ(L"b.txt_", entry.name);
}

TEST(ZipReader, ExtendedTimestampGivesModificationTime) {
  ZipGuard zip(L"skin_with_times.zip");
  ASSERT_NE(nullptr, zip.zip);
  int index = -1;
  ZipItemEntry entry;
  ASSERT_EQ(ZR_OK, ZipArchiveFindItem(zip.zip, L"install.xml", false, &index, &entry));
  WIN32_FILE_ATTRIBUTE_DATA host;
  ASSERT_TRUE(GetFileAttributesExW(FixturePath(L"skin/install.xml").c_str(), GetFileExInfoStandard, &host));
  ULARGE_INTEGER a, b;
  a.LowPart = entry.mtime.dwLowDateTime;
  a.HighPart = entry.mtime.dwHighDateTime;
  b.LowPart = host.ftLastWriteTime.dwLowDateTime;
  b.HighPart = host.ftLastWriteTime.dwHighDateTime;
  // Unix time has whole seconds.
  EXPECT_LT((a.QuadPart > b.QuadPart ? a.QuadPart - b.QuadPart : b.QuadPart - a.QuadPart), 10000000ULL);
}

TEST(ZipReader, BadArgumentsAndMissingFiles) {
  EXPECT_EQ(nullptr, ZipArchiveOpen(FixturePath(L"no-such.zip").c_str(), nullptr));
  EXPECT_EQ(nullptr, ZipArchiveOpen(FixturePath(L"big.txt").c_str(), nullptr));
  EXPECT_EQ(ZR_ARGS, ZipArchiveClose(nullptr));
  ZipItemEntry entry;
  EXPECT_EQ(ZR_ARGS, ZipArchiveGetItem(nullptr, 0, &entry));
  ZipGuard zip(L"skin.zip");
  EXPECT_EQ(ZR_ARGS, ZipArchiveGetItem(zip.zip, -2, &entry));
  EXPECT_EQ(ZR_ARGS, ZipArchiveGetItem(zip.zip, 6, &entry));
  BYTE b[4];
  EXPECT_EQ(ZR_ARGS, ZipArchiveUnzipItem(zip.zip, 99, b, 4));
}
