// The install packages of a program file (head, index, name table, items, tail) read as the
// engine reads its own file: the walk and checks, then both extractions. Half the inputs get
// their digests made to fit again, so that changed items and indexes reach the extraction.
#include <windows.h>

#include <cstring>

#include "common/sys/dir_tree.h"
#include "common/zip/md5.h"
#include "engine/package/package_format.h"
#include "engine/package/setup_pkg.h"
#include "readers.h"

namespace fuzz {

namespace {

struct PackageFiles {
  std::wstring work;
  std::wstring input;
  std::wstring setup;
  std::wstring program;
};
PackageFiles g_files;

uint32_t Word(const std::string& s, uint64_t at) {
  uint32_t value = 0;
  std::memcpy(&value, s.data() + at, 4);
  return value;
}

void Digest(std::string& s, uint64_t from, uint64_t to, uint64_t into) {
  CMD5 md5;
  md5.Update(s.data() + from, static_cast<size_t>(to - from));
  std::memcpy(&s[static_cast<size_t>(into)], md5.Final(), pkgfmt::kDigestSize);
}

void RepairDigests(std::string& s) {
  if (s.size() < pkgfmt::kLocatorOffset + 4) return;
  uint64_t head = Word(s, pkgfmt::kLocatorOffset);
  for (int n = 0; n < 8 && head != 0 && head + pkgfmt::kHeadSize <= s.size(); ++n) {
    const uint64_t index = head + Word(s, head + 16);
    const uint64_t tail = head + Word(s, head + 20);
    if (index < head + pkgfmt::kHeadSize || index >= tail || tail + pkgfmt::kTailSize > s.size()) return;
    const uint32_t names = index + pkgfmt::kIndexHeaderSize <= tail ? Word(s, index + 12) : 0;
    Digest(s, head, head + pkgfmt::kHeadSize, tail + 16);
    if (names <= tail - index) Digest(s, index, tail - names, tail + 32);
    Digest(s, head + pkgfmt::kHeadSize, index, tail + 48);
    head = tail + pkgfmt::kTailSize;
  }
}

bool WriteWhole(const std::wstring& path, const std::string& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool done =
      WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) && written == bytes.size();
  CloseHandle(file);
  return done;
}

void ReadPackages(const std::string& input) {
  if (!WriteWhole(g_files.input, input)) return;
  {
    SetupPkg packages;
    if (packages.Open(g_files.input) != 0 || packages.Packages().empty()) return;
    std::wstring productConfig;
    packages.ExtractAllSetupFiles(g_files.setup, productConfig);
    packages.ExtractAllProgramFiles(g_files.program);
  }
  // The extraction makes the folder it unzips into the current one.
  SetCurrentDirectoryW(g_files.work.c_str());
  DeleteDirectoryTree(g_files.setup, {});
  DeleteDirectoryTree(g_files.program, {});
}

std::vector<FileRecord> Records(std::initializer_list<const char*> paths) {
  std::vector<FileRecord> records;
  for (const char* path : paths) {
    FileRecord record;
    record.attributes["path"] = path;
    records.push_back(record);
  }
  return records;
}

// Setup programs made by the package maker from the sample product's small files, with a
// stand-in image: one with both packages, one with the program package only.
std::vector<std::string> MakeSeeds(const SeedFolders& folders) {
  const std::wstring stage = g_files.work + L"\\stage";
  const std::wstring product = folders.source + L"\\sample\\product";
  CreateDirectoryTree(stage + L"\\data");
  CreateDirectoryTree(stage + L"\\package");
  for (const wchar_t* file : {L"config.ini", L"data\\readme.txt", L"data\\guide_zh.txt"}) {
    CopyFileW((product + L"\\files\\" + file).c_str(), (stage + L"\\" + file).c_str(), FALSE);
  }
  for (const wchar_t* file : {L"Product.config", L"PLV.config", L"setup.config"}) {
    CopyFileW((product + L"\\" + file).c_str(), (stage + L"\\package\\" + file).c_str(), FALSE);
  }
  WriteWhole(stage + L"\\_setup.ini", "[Product]\r\nProduct=Product.config\r\n");
  std::string image(512, '\0');
  image[0] = 'M';
  image[1] = 'Z';
  WriteWhole(g_files.work + L"\\image.exe", image);
  std::vector<std::string> seeds;
  for (int packages = 1; packages <= 2; ++packages) {
    const std::wstring out = g_files.work + L"\\seed" + std::to_wstring(packages) + L".exe";
    {
      SetupPkg maker;
      maker.SetSourceFolder(stage);
      if (maker.CreateOutputFile(out) != 0 ||
          maker.BuildPackages(g_files.work + L"\\image.exe",
                              Records({"config.ini", "data\\readme.txt", "data\\guide_zh.txt"}), 0) != 0 ||
          (packages == 2 && maker.AddPackage(Records({"_setup.ini", "package\\Product.config", "package\\PLV.config",
                                                      "package\\setup.config"}),
                                             true) != 0)) {
        continue;
      }
    }
    for (std::string& seed : SeedFiles(g_files.work, {L"seed" + std::to_wstring(packages) + L".exe"})) {
      seeds.push_back(std::move(seed));
    }
  }
  return seeds;
}

}  // namespace

Reader PackageReader(const SeedFolders& folders) {
  g_files = {folders.work, folders.work + L"\\input.exe", folders.work + L"\\setup", folders.work + L"\\program"};
  CreateDirectoryTree(folders.work);
  return {"package", MakeSeeds(folders), &ReadPackages, &RepairDigests};
}

}  // namespace fuzz
