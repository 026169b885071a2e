// The two zip readers: the common one (install package items) and the framework's own (skins).
// Each archive is listed, searched and unzipped whole, into a buffer of bounded size.
#include <vector>

#include "common/zip/zip_codes.h"
#include "common/zip/zip_reader.h"
#include "readers.h"
#include "ui/core/resources/zip_archive.h"

namespace fuzz {

namespace {

// The output a driver takes of one input: a small bomb is read to its end, a big one cut off.
constexpr size_t kOutputCap = 32u << 20;
constexpr uint32_t kChunk = 64 * 1024;
constexpr int kMaxEntries = 4096;

void ReadCommonZip(const std::string& input) {
  ZipHandle* handle = ZipReader::Open(input.data(), static_cast<uint32_t>(input.size()));
  if (handle == nullptr) return;
  ZipItemInfo info;
  ZipReader::GetItem(handle, -1, &info);
  const int count = info.index;
  std::vector<char> buffer(kChunk);
  size_t produced = 0;
  for (int i = 0; i < count && i < kMaxEntries; ++i) {
    if (ZipReader::GetItem(handle, i, &info) != kZipOk) continue;
    int code = kZipMoreData;
    while (code == kZipMoreData && produced < kOutputCap) {
      code = ZipReader::UnzipItem(handle, i, buffer.data(), kChunk);
      produced += kChunk;
    }
  }
  ZipReader::Close(handle);
}

void ReadSkinZip(const std::string& input) {
  // The encrypted fixture opens with its password; odd-sized inputs try it.
  const char* password = input.size() % 2 ? "secret" : nullptr;
  SkinUI::HZIPARCHIVE handle =
      SkinUI::ZipArchiveOpenMemory(input.data(), static_cast<unsigned int>(input.size()), password);
  if (handle == nullptr) return;
  SkinUI::ZipItemEntry entry = {};
  SkinUI::ZipArchiveGetItem(handle, -1, &entry);
  const int count = entry.index;
  std::vector<char> buffer(kChunk);
  size_t produced = 0;
  for (int i = 0; i < count && i < kMaxEntries; ++i) {
    if (SkinUI::ZipArchiveGetItem(handle, i, &entry) != SkinUI::ZR_OK) continue;
    DWORD code = SkinUI::ZR_MORE;
    while (code == SkinUI::ZR_MORE && produced < kOutputCap) {
      code = SkinUI::ZipArchiveUnzipItem(handle, i, buffer.data(), kChunk);
      produced += kChunk;
    }
  }
  int index = -1;
  SkinUI::ZipArchiveFindItem(handle, L"INSTALL.XML", true, &index, &entry);
  SkinUI::ZipArchiveClose(handle);
}

}  // namespace

Reader ZipReaderOf(const SeedFolders& folders) {
  return {"zip", SeedFiles(folders.build + L"\\tests\\common\\zip\\fixtures", {L".zip", L".bin"}), &ReadCommonZip};
}

Reader SkinZipReader(const SeedFolders& folders) {
  return {"skinzip", SeedFiles(folders.build + L"\\tests\\ui\\fixtures", {L".zip"}), &ReadSkinZip};
}

}  // namespace fuzz
