#include "readers.h"

#include <windows.h>

#include <algorithm>

namespace fuzz {

namespace {

bool EndsWith(const std::wstring& name, const std::wstring& suffix) {
  return name.size() >= suffix.size() && _wcsicmp(name.c_str() + name.size() - suffix.size(), suffix.c_str()) == 0;
}

std::string ReadWhole(const std::wstring& path, size_t maxBytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::string();
  std::string bytes;
  LARGE_INTEGER size = {};
  if (GetFileSizeEx(file, &size) && size.QuadPart > 0 && static_cast<uint64_t>(size.QuadPart) <= maxBytes) {
    bytes.resize(static_cast<size_t>(size.QuadPart));
    DWORD read = 0;
    if (!ReadFile(file, &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr) || read != bytes.size()) {
      bytes.clear();
    }
  }
  CloseHandle(file);
  return bytes;
}

void CollectNames(const std::wstring& folder, const std::vector<std::wstring>& suffixes,
                  std::vector<std::wstring>& paths) {
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    const std::wstring name = data.cFileName;
    if (name == L"." || name == L"..") continue;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      CollectNames(folder + L"\\" + name, suffixes, paths);
    } else if (std::any_of(suffixes.begin(), suffixes.end(),
                           [&](const std::wstring& suffix) { return EndsWith(name, suffix); })) {
      paths.push_back(folder + L"\\" + name);
    }
  } while (FindNextFileW(find, &data));
  FindClose(find);
}

}  // namespace

std::vector<std::string> SeedFiles(const std::wstring& folder, const std::vector<std::wstring>& suffixes,
                                   size_t maxBytes) {
  std::vector<std::wstring> paths;
  CollectNames(folder, suffixes, paths);
  std::sort(paths.begin(), paths.end());
  std::vector<std::string> seeds;
  for (const std::wstring& path : paths) {
    std::string bytes = ReadWhole(path, maxBytes);
    if (!bytes.empty()) seeds.push_back(std::move(bytes));
  }
  return seeds;
}

std::vector<Reader> MakeReaders(const SeedFolders& folders) {
  return {PackageReader(folders), ZipReaderOf(folders),     SkinZipReader(folders),     XmlTextReader(folders),
          MarkupReader(folders),  LogConfigReader(folders), SearchReplyReader(folders), ReasonReplyReader(folders)};
}

}  // namespace fuzz
