#include "test_support.h"

#include <atomic>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "common/log/vlog.h"
#include "common/sys/dir_tree.h"
#include "common/sys/text_convert.h"
#include "common/zip/md5.h"
#include "common/zip/zip_handle.h"
#include "common/zip/zip_writer.h"
#include "engine/package/package_format.h"
#include "engine/package/setup_pkg.h"

using namespace pkgfmt;

TempDir::TempDir() {
  static std::atomic<unsigned> counter{0};
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  path_ = std::wstring(temp) + L"pkgtest-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
          std::to_wstring(GetTickCount()) + L"-" + std::to_wstring(counter++);
  CreateDirectoryTree(path_);
}

TempDir::~TempDir() { DeleteDirectoryTree(path_, {}); }

Bytes ReadBytes(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return Bytes();
  LARGE_INTEGER size{};
  GetFileSizeEx(file, &size);
  Bytes bytes(static_cast<size_t>(size.QuadPart));
  DWORD got = 0;
  if (!bytes.empty()) ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr);
  CloseHandle(file);
  return bytes;
}

void WriteBytes(const std::wstring& path, const Bytes& bytes) {
  const size_t slash = path.rfind(L'\\');
  if (slash != std::wstring::npos) CreateDirectoryTree(path.substr(0, slash));
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD done = 0;
  if (!bytes.empty()) WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr);
  CloseHandle(file);
}

void WriteText(const std::wstring& path, const std::string& text) { WriteBytes(path, TextBytes(text)); }

bool FileExists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

Bytes TextBytes(const std::string& text) { return Bytes(text.begin(), text.end()); }

Bytes RandomBytes(size_t size, uint32_t seed) {
  Bytes bytes(size);
  uint32_t x = seed | 1;
  for (uint8_t& b : bytes) {
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    b = static_cast<uint8_t>(x >> 24);
  }
  return bytes;
}

uint32_t Get32At(const Bytes& bytes, uint64_t offset) { return Get32(&bytes[static_cast<size_t>(offset)]); }
void Put32At(Bytes* bytes, uint64_t offset, uint32_t value) { Put32(&(*bytes)[static_cast<size_t>(offset)], value); }

std::vector<FileRecord> Records(const std::vector<std::pair<std::string, std::string>>& paths) {
  std::vector<FileRecord> records;
  for (const auto& p : paths) {
    FileRecord record;
    record.attributes["path"] = p.first;
    if (!p.second.empty()) record.attributes["newpath"] = p.second;
    records.push_back(record);
  }
  return records;
}

Bytes FakeImage(size_t size) {
  Bytes image = RandomBytes(size, 7);
  image[0] = 'M';
  image[1] = 'Z';
  std::memset(&image[0x30], 0, 8);
  return image;
}

std::wstring ProbeImagePath() { return Utf8ToWide(PKGPROBE_EXE); }

int MakeSetup(const std::wstring& out, const std::wstring& image, const std::wstring& source,
              const std::vector<std::vector<FileRecord>>& packages) {
  SetupPkg maker;
  maker.SetSourceFolder(source);
  int code = maker.CreateOutputFile(out);
  for (size_t i = 0; code == 0 && i < packages.size(); ++i) {
    code = i == 0 ? maker.BuildPackages(image, packages[i], 0) : maker.AddPackage(packages[i], true);
  }
  return code;
}

Bytes BuildRawPackage(const std::vector<RawItem>& items, const std::vector<std::wstring>& names) {
  Bytes itemArea, records, nameTable;
  uint32_t unpacked = 0;
  for (const RawItem& item : items) {
    PackageItemHeader header{kItemMagic, item.fileSize, static_cast<uint32_t>(item.zip.size()), 0};
    uint8_t bytes[kItemHeaderSize];
    EncodeItemHeader(header, bytes);
    itemArea.insert(itemArea.end(), bytes, bytes + sizeof(bytes));
    itemArea.insert(itemArea.end(), item.zip.begin(), item.zip.end());
    records.insert(records.end(), bytes, bytes + sizeof(bytes));
    unpacked += item.fileSize;
  }
  for (const std::wstring& name : names) {
    for (size_t i = 0; i <= name.size(); ++i) {
      const uint16_t unit = i < name.size() ? name[i] : 0;
      nameTable.push_back(static_cast<uint8_t>(unit) ^ 0xFF);
      nameTable.push_back(static_cast<uint8_t>(unit >> 8) ^ 0xFF);
    }
  }
  if (items.empty()) records.assign(kItemHeaderSize, 0);
  Bytes package(kHeadSize);
  package.insert(package.end(), itemArea.begin(), itemArea.end());
  const uint32_t indexOffset = static_cast<uint32_t>(package.size());
  uint8_t index[kIndexHeaderSize];
  EncodeIndexHeader(PackageIndexHeader{kIndexMagic, static_cast<uint32_t>(items.size()),
                                       static_cast<uint32_t>(kIndexHeaderSize + records.size()),
                                       static_cast<uint32_t>(nameTable.size())},
                    index);
  package.insert(package.end(), index, index + sizeof(index));
  package.insert(package.end(), records.begin(), records.end());
  package.insert(package.end(), nameTable.begin(), nameTable.end());
  const uint32_t tailOffset = static_cast<uint32_t>(package.size());
  PackageHead head{kHeadMagic,
                   kVersion,
                   tailOffset + static_cast<uint32_t>(kTailSize),
                   static_cast<uint32_t>(items.size()),
                   indexOffset,
                   tailOffset,
                   unpacked,
                   0,
                   0};
  EncodeHead(head, package.data());
  PackageTail tail;
  tail.magic = kTailMagic;
  tail.totalLength = head.totalLength;
  package.resize(package.size() + kTailSize);
  EncodeTail(tail, &package[tailOffset]);
  Bytes setup = package;  // reseal works on a whole file: the package alone at offset 0
  Reseal(&setup, 0);
  return setup;
}

Bytes ZipOf(const std::string& entryName, const Bytes& content) {
  UniqueZipHandle zip(ZipWriter::Create(static_cast<uint32_t>(content.size())));
  ZipWriter::Add(zip.get(), entryName, content.data(), static_cast<uint32_t>(content.size()));
  const uint8_t* bytes = nullptr;
  uint32_t length = 0;
  ZipWriter::GetMemory(zip.get(), &bytes, &length);
  return Bytes(bytes, bytes + length);
}

Bytes SetupOf(const Bytes& image, const std::vector<Bytes>& packages) {
  Bytes setup = image;
  Put32At(&setup, kLocatorOffset, packages.empty() ? 0 : static_cast<uint32_t>(image.size()));
  for (const Bytes& package : packages) setup.insert(setup.end(), package.begin(), package.end());
  return setup;
}

void Reseal(Bytes* setup, uint64_t headOffset) {
  Bytes& s = *setup;
  const PackageHead head = DecodeHead(&s[headOffset]);
  const uint64_t index = headOffset + head.indexOffset, tail = headOffset + head.tailOffset;
  const uint32_t namesSize = Get32At(s, index + 12);
  auto digest = [&](uint64_t from, uint64_t to, uint64_t into) {
    CMD5 md5;
    md5.Update(&s[from], static_cast<size_t>(to - from));
    std::memcpy(&s[into], md5.Final(), kDigestSize);
  };
  digest(headOffset, headOffset + kHeadSize, tail + 16);
  digest(index, tail - namesSize, tail + 32);
  digest(headOffset + kHeadSize, index, tail + 48);
}

int RunProgram(const std::wstring& program, const std::wstring& arguments, DWORD timeoutMs) {
  std::wstring commandLine = L"\"" + program + L"\" " + arguments;
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process)) {
    return -1;
  }
  CloseHandle(process.hThread);
  DWORD code = static_cast<DWORD>(-1);
  if (WaitForSingleObject(process.hProcess, timeoutMs) == WAIT_OBJECT_0)
    GetExitCodeProcess(process.hProcess, &code);
  else
    TerminateProcess(process.hProcess, 1);
  CloseHandle(process.hProcess);
  return static_cast<int>(code);
}

std::string ReportValue(const std::wstring& path, const std::string& key) {
  const Bytes bytes = ReadBytes(path);
  const std::string text(bytes.begin(), bytes.end());
  const std::string prefix = key + "=";
  size_t at = 0;
  while (at < text.size()) {
    size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    if (text.compare(at, prefix.size(), prefix) == 0) return text.substr(at + prefix.size(), end - at - prefix.size());
    at = end + 1;
  }
  return "";
}

std::vector<SourceFile> MixedFiles() {
  std::string text;
  for (int i = 0; i < 4000; ++i)
    text += "line " + std::to_string(i) + " of the readme, with some words to compress\r\n";
  return {
      {"readme.txt", TextBytes(text)},
      {"bin\\random.bin", RandomBytes(300000, 11)},
      {"data\\bundle.zip", RandomBytes(70000, 12)},
      {"data\\empty.dat", Bytes()},
      {"\xE6\xB8\xB8\xE6\x88\x8F\\\xE8\xAF\xB4\xE6\x98\x8E.txt",
       TextBytes("\xE6\xB8\xB8\xE6\x88\x8F\r\n")},  // 游戏\说明.txt
      {"Tamsel\xE6\xB8\xB8\xE6\x88\x8FPelluvo.exe", RandomBytes(5000, 13)},
      {"deep\\a\\b\\c.txt", TextBytes("deep")},
  };
}

Bytes Utf16Bytes(const std::wstring& text) {
  Bytes bytes = {0xFF, 0xFE};
  for (wchar_t c : text) {
    bytes.push_back(static_cast<uint8_t>(c));
    bytes.push_back(static_cast<uint8_t>(c >> 8));
  }
  return bytes;
}

std::vector<SourceFile> SetupPackageFiles() {
  return {
      {"_setup.ini", Utf16Bytes(L"[Product]\r\nProduct=Product.config")},
      {"package\\Product.config",
       TextBytes(
           "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<ProductRoot type=\"OffLine\" version=\"1\">\n"
           "  <ProductInfo><Components><Component name=\"setup\" config=\"setup.config\"/></Components></ProductInfo>\n"
           "  <SetupInfo name=\"setup\" config=\"setup.config\"/>\n</ProductRoot>\n")},
      {"package\\setup.config",
       TextBytes("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<ComponentRoot>\n  <Config><Files>\n"
                 "    <file path=\"PackageManager.exe\"/>\n    <file path=\"setup\\PackageManager.zip\"/>\n"
                 "  </Files></Config>\n</ComponentRoot>\n")},
      {"PackageManager.exe", RandomBytes(20000, 21)},
      {"setup\\PackageManager.zip", RandomBytes(9000, 22)},
  };
}

void WriteSources(const std::wstring& folder, const std::vector<SourceFile>& files) {
  for (const SourceFile& file : files) WriteBytes(folder + L"\\" + Utf8ToWide(file.path), file.content);
}

std::vector<FileRecord> RecordsOf(const std::vector<SourceFile>& files) {
  std::vector<std::pair<std::string, std::string>> paths;
  for (const SourceFile& file : files) paths.emplace_back(file.path, "");
  return Records(paths);
}

std::wstring MakeMixedSetup(const TempDir& folder, const std::wstring& image) {
  const std::wstring source = folder / L"source";
  WriteSources(source, MixedFiles());
  WriteSources(source, SetupPackageFiles());
  std::wstring imagePath = image;
  if (imagePath.empty()) {
    imagePath = folder / L"image.exe";
    WriteBytes(imagePath, FakeImage());
  }
  const std::wstring out = folder / L"setup.exe";
  if (MakeSetup(out, imagePath, source, {RecordsOf(MixedFiles()), RecordsOf(SetupPackageFiles())}) != 0) return L"";
  return out;
}

bool StartLogIn(const std::wstring& folder) {
  auto* logger = vemtal::vlog::IVlogManager::getInstance();
  logger->setLoggerPath(0, (WideToUtf8(folder) + "\\").c_str());
  logger->setLoggerDisplay(0, false);
  return logger->start();
}

std::string StopLogAndRead(const std::wstring& folder) {
  auto* logger = vemtal::vlog::IVlogManager::getInstance();
  const bool drained = logger->drain();
  logger->stop();
  std::string log = drained ? "" : "(the logger did not drain)\n";
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    const Bytes bytes = ReadBytes(entry.path());
    log.append(bytes.begin(), bytes.end());
  }
  return log;
}
