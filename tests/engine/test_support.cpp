#include "test_support.h"

#include <windows.h>
#include <shlobj.h>

#include <atomic>
#include <cstdio>
#include <memory>
#include <stdexcept>

#include "common/sys/text_convert.h"
#include "common/sys/unique_handles.h"

namespace {

std::wstring UniqueTempPath() {
  static std::atomic<int> counter{0};
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  return std::wstring(temp) + L"engine_tests_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
         std::to_wstring(GetTickCount()) + L"_" + std::to_wstring(counter++);
}

void CreateFolders(const std::wstring& folder) {
  int result = SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr);
  if (result != ERROR_SUCCESS && result != ERROR_ALREADY_EXISTS && result != ERROR_FILE_EXISTS) {
    throw std::runtime_error("CreateFolders failed: " + U(folder));
  }
}

std::wstring ParentOf(const std::wstring& path) {
  size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

}  // namespace

TempFolder::TempFolder() : path_(UniqueTempPath()) { CreateFolders(path_); }

TempFolder::~TempFolder() { DeleteTree(path_); }

std::wstring FixturePath(const std::wstring& relative) {
  std::wstring path = L"Z:" + W(ENGINE_FIXTURE_DIR) + L"/" + relative;
  for (wchar_t& c : path) {
    if (c == L'/') c = L'\\';
  }
  return path;
}

void WriteFileBytes(const std::wstring& path, const std::string& bytes) {
  std::wstring parent = ParentOf(path);
  if (!parent.empty()) CreateFolders(parent);
  UniqueHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!IsValid(file)) throw std::runtime_error("WriteFileBytes, cannot create " + U(path));
  DWORD written = 0;
  if (!bytes.empty() && !WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr)) {
    throw std::runtime_error("WriteFileBytes, cannot write " + U(path));
  }
}

std::string ReadFileBytes(const std::wstring& path) {
  UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  if (!IsValid(file)) return "";
  std::string bytes;
  char buffer[4096];
  DWORD read = 0;
  while (ReadFile(file.get(), buffer, sizeof(buffer), &read, nullptr) && read > 0) bytes.append(buffer, read);
  return bytes;
}

void SetWriteTimeMs(const std::wstring& path, int64_t timeMs) {
  UniqueHandle file(CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!IsValid(file)) throw std::runtime_error("SetWriteTimeMs, cannot open " + U(path));
  uint64_t value = static_cast<uint64_t>(timeMs) * 10000 + 116444736000000000ULL;
  FILETIME time{static_cast<DWORD>(value), static_cast<DWORD>(value >> 32)};
  if (!SetFileTime(file.get(), nullptr, nullptr, &time)) throw std::runtime_error("SetFileTime failed");
}

void CopyTree(const std::wstring& from, const std::wstring& to) {
  CreateFolders(to);
  WIN32_FIND_DATAW data;
  UniqueFindHandle find(FindFirstFileW((from + L"\\*").c_str(), &data));
  if (find.get() == INVALID_HANDLE_VALUE) return;
  do {
    std::wstring name = data.cFileName;
    if (name == L"." || name == L"..") continue;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      CopyTree(from + L"\\" + name, to + L"\\" + name);
    } else if (!CopyFileW((from + L"\\" + name).c_str(), (to + L"\\" + name).c_str(), FALSE)) {
      throw std::runtime_error("CopyTree, cannot copy " + U(name));
    }
  } while (FindNextFileW(find.get(), &data));
}

void DeleteTree(const std::wstring& path) {
  WIN32_FIND_DATAW data;
  {
    UniqueFindHandle find(FindFirstFileW((path + L"\\*").c_str(), &data));
    if (find.get() != INVALID_HANDLE_VALUE) {
      do {
        std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") continue;
        std::wstring child = path + L"\\" + name;
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
          DeleteTree(child);
        } else {
          SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
          DeleteFileW(child.c_str());
        }
      } while (FindNextFileW(find.get(), &data));
    }
  }
  RemoveDirectoryW(path.c_str());
}

void LoadComponentText(const TempFolder& folder, const std::string& xml, LoadedComponents& out,
                       const std::wstring& fileName) {
  WriteFileBytes(folder / (L"package\\" + fileName), xml);
  out.product.configFolder = folder.path() + L"\\";
  out.product.errorSink = &out.prompt;
  out.result = out.product.ParseComponentConfigs(fileName + L",");
}

std::wstring W(const std::string& utf8) { return Utf8ToWide(utf8); }
std::string U(const std::wstring& wide) { return WideToUtf8(wide); }
