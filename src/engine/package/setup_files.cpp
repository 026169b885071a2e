#include "engine/package/setup_files.h"

#include <windows.h>

#include <map>

#include "common/log/vlog.h"
#include "common/sys/dir_tree.h"
#include "common/sys/text_convert.h"
#include "engine/package/entry_name.h"
#include "engine/parser/product_config.h"
#include "engine/parser/product_reader.h"
#include "engine/parser/text_compare.h"

namespace {

std::wstring Join(const std::wstring& folder, const std::wstring& name) {
  if (!folder.empty() && folder.back() != L'\\' && folder.back() != L'/') return folder + L"\\" + name;
  return folder + name;
}

std::wstring ReadProductConfigName(const std::wstring& folder) {
  wchar_t name[MAX_PATH] = {};
  GetPrivateProfileStringW(L"Product", L"Product", L"Product.config", name, MAX_PATH,
                           Join(folder, L"_setup.ini").c_str());
  return name;
}

// Whether a move that MoveSetupFile would make takes or replaces the file at relativePath.
bool MovesFile(const std::map<std::wstring, std::wstring>& moves, const std::wstring& relativePath) {
  for (const auto& move : moves) {
    std::wstring from, to;
    if (!ToSafeRelativePath(move.first, &from) || !ToSafeRelativePath(move.second, &to) || from == to) continue;
    if (EqualsNoCase(from, relativePath) || EqualsNoCase(to, relativePath)) return true;
  }
  return false;
}

// Moves folder\path to folder\newPath; both must stay inside the folder.
void MoveSetupFile(const std::wstring& folder, const std::wstring& path, const std::wstring& newPath) {
  std::wstring from, to;
  if (!ToSafeRelativePath(path, &from) || !ToSafeRelativePath(newPath, &to)) {
    VLOG_ERROR("ExtractAllSetupFiles, move %s to %s refused: outside the folder", WideToUtf8(path).c_str(),
               WideToUtf8(newPath).c_str());
    return;
  }
  if (from == to) return;
  const std::wstring source = Join(folder, from), target = Join(folder, to);
  const size_t slash = target.rfind(L'\\');
  if (slash != std::wstring::npos) CreateDirectoryTree(target.substr(0, slash));
  if (!MoveFileW(source.c_str(), target.c_str())) {
    VLOG_WARN("ExtractAllSetupFiles, MoveFile %s to %s failed, err %lu", WideToUtf8(source).c_str(),
              WideToUtf8(target).c_str(), GetLastError());
  }
}

}  // namespace

int PrepareSetupFiles(const std::wstring& folder, std::wstring* productConfigName, const PendingSetupFile* pending) {
  const std::wstring name = ReadProductConfigName(folder);
  if (name.empty()) {
    VLOG_ERROR("ExtractAllSetupFiles, _setup.ini names no product description, folder %s", WideToUtf8(folder).c_str());
    return -5;
  }
  *productConfigName = name;
  const std::wstring packageFolder = Join(folder, L"package");
  ProductConfig product;
  if (ParseProductConfig(nullptr, Join(packageFolder, name), product) == 0) {
    VLOG_ERROR("ExtractAllSetupFiles, ParseProductConfig %s failed", WideToUtf8(Join(packageFolder, name)).c_str());
    return -2;
  }
  if (product.setupInfoConfig.empty()) {
    VLOG_ERROR("ExtractAllSetupFiles, %s names no setup file list", WideToUtf8(name).c_str());
    return -3;
  }
  std::map<std::wstring, std::wstring> moves;
  if (ParseFileList(Join(packageFolder, product.setupInfoConfig), moves) == 0) {
    VLOG_ERROR("ExtractAllSetupFiles, ParseFileList %s failed", WideToUtf8(product.setupInfoConfig).c_str());
    return -4;
  }
  if (pending && MovesFile(moves, pending->relativePath)) {
    const int written = pending->wait();
    if (written != 0) {
      VLOG_ERROR("ExtractAllSetupFiles, %s was not extracted, code %d, nothing is moved",
                 WideToUtf8(pending->relativePath).c_str(), written);
      return written;
    }
  }
  for (const auto& move : moves) MoveSetupFile(folder, move.first, move.second);
  return 0;
}
