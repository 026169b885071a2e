#include "test_support.h"

#include <windows.h>

#include <atomic>
#include <filesystem>
#include <stdexcept>

#include "common/sys/text_convert.h"
#include "common/sys/unique_handles.h"

namespace fs = std::filesystem;

namespace {

std::wstring NewFolderName() {
  static std::atomic<int> counter{0};
  return L"engine_tests_" + std::to_wstring(GetCurrentProcessId()) + L"_" + std::to_wstring(GetTickCount()) + L"_" +
         std::to_wstring(counter++);
}

}  // namespace

TempFolder::TempFolder() : testsupport::TempFolder(testsupport::TempRoot() + L"\\" + NewFolderName()) {}

std::wstring FixturePath(const std::wstring& relative) {
  return fs::path(L"Z:" + W(ENGINE_FIXTURE_DIR) + L"/" + relative).make_preferred().wstring();
}

void SetWriteTimeMs(const std::wstring& path, int64_t timeMs) {
  UniqueHandle file(CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  uint64_t value = static_cast<uint64_t>(timeMs) * 10000 + 116444736000000000ULL;
  FILETIME time{static_cast<DWORD>(value), static_cast<DWORD>(value >> 32)};
  if (!IsValid(file) || !SetFileTime(file.get(), nullptr, nullptr, &time)) {
    throw std::runtime_error("SetWriteTimeMs failed for " + U(path));
  }
}

void CopyTree(const std::wstring& from, const std::wstring& to) {
  fs::create_directories(to);
  fs::copy(from, to, fs::copy_options::recursive | fs::copy_options::overwrite_existing);
}

void LoadComponentText(const TempFolder& folder, const std::string& xml, LoadedComponents& out,
                       const std::wstring& fileName) {
  WriteFileBytes(folder / (L"package\\" + fileName), xml);
  out.Load(folder.path(), fileName + L",");
}

std::wstring W(const std::string& utf8) { return Utf8ToWide(utf8); }
std::string U(const std::wstring& wide) { return WideToUtf8(wide); }
