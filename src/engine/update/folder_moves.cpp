#include "engine/update/folder_moves.h"

#include <windows.h>

#include <set>
#include <unordered_map>

#include "common/sys/unique_handles.h"
#include "engine/update/update_eng_ex.h"

namespace {

// The file system's sense of one name: folders that differ only in case are one folder.
std::wstring FoldedCase(std::wstring text) {
  if (!text.empty()) CharUpperBuffW(&text[0], static_cast<DWORD>(text.size()));
  return text;
}

// Levels joined by "\" and nothing the file system would read otherwise.
bool IsPlainRelative(const std::wstring& path) {
  if (path.empty() || path.find_first_of(L"/:*?\"<>|") != std::wstring::npos) return false;
  size_t begin = 0;
  for (;;) {
    const size_t end = path.find(L'\\', begin);
    const std::wstring level = path.substr(begin, end == std::wstring::npos ? std::wstring::npos : end - begin);
    if (level.empty() || level == L"." || level == L"..") return false;
    if (end == std::wstring::npos) return true;
    begin = end + 1;
  }
}

// The folders above a relative path, outermost first ("a\b\c.txt": "a", "a\b").
std::vector<std::wstring> FoldersAbove(const std::wstring& path) {
  std::vector<std::wstring> folders;
  for (size_t end = path.find(L'\\'); end != std::wstring::npos; end = path.find(L'\\', end + 1)) {
    folders.push_back(path.substr(0, end));
  }
  return folders;
}

// Everything below folder by relative path, exactly as the file system spells it. A directory
// link counts as a file: it is never entered. False when a folder cannot be listed.
struct Tree {
  std::set<std::wstring> files;
  std::set<std::wstring> folders;

  bool List(const std::wstring& root, const std::wstring& relative) {
    const std::wstring folder = relative.empty() ? root : root + L"\\" + relative;
    WIN32_FIND_DATAW entry{};
    UniqueFindHandle search(FindFirstFileExW((folder + L"\\*").c_str(), FindExInfoBasic, &entry, FindExSearchNameMatch,
                                             nullptr, FIND_FIRST_EX_LARGE_FETCH));
    if (search.get() == INVALID_HANDLE_VALUE) return false;
    do {
      const std::wstring name = entry.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring path = relative.empty() ? name : relative + L"\\" + name;
      const bool isFolder = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                            !(entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT);
      if (!isFolder) {
        files.insert(path);
      } else if (!folders.insert(path).second || !List(root, path)) {
        return false;
      }
    } while (FindNextFileW(search.get(), &entry));
    return GetLastError() == ERROR_NO_MORE_FILES;
  }

  static size_t CountBelow(const std::set<std::wstring>& paths, const std::wstring& folder) {
    const std::wstring prefix = folder + L"\\";
    size_t count = 0;
    for (auto it = paths.lower_bound(prefix); it != paths.end() && it->compare(0, prefix.size(), prefix) == 0; ++it) {
      ++count;
    }
    return count;
  }
};

// What the active records say of one folder of the source folder (keyed by folded case).
struct FolderUse {
  std::wstring spelling;                       // as the first record below it spells it
  size_t records = 0;                          // active records below it that may move with it
  size_t firstPosition = 0, lastPosition = 0;  // among the active records
  size_t firstIndex = 0, lastIndex = 0;        // in the add list
  bool blocked = false;                        // a record below it must move alone, or spells it otherwise
};

// The relative name of the source folder's top level when it lies inside the product folder.
std::wstring WorkFolderName(const std::wstring& sourceFolder, const std::wstring& productFolder) {
  const std::wstring source = FoldedCase(sourceFolder);
  const std::wstring prefix = FoldedCase(productFolder) + L"\\";
  if (source.compare(0, prefix.size(), prefix) != 0) return L"";
  return source.substr(prefix.size(), source.find(L'\\', prefix.size()) - prefix.size());
}

}  // namespace

FolderMovePlan::FolderMovePlan(const std::vector<FileRecord>& files, const std::wstring& sourceFolder,
                               const std::wstring& productFolder) {
  const std::wstring workName = WorkFolderName(sourceFolder, productFolder);
  Tree tree;
  if (!tree.List(sourceFolder, L"")) return;
  std::unordered_map<std::wstring, FolderUse> uses;
  size_t position = 0;
  for (size_t index = 0; index < files.size(); ++index) {
    if (files[index].excluded) continue;
    const std::wstring source = GetAttributeW(files[index], "path");
    const std::wstring installed = GetInstalledPath(files[index]);
    // A path the file system would read in its own way, or one into the work folder itself:
    // every file moves alone.
    if (!IsPlainRelative(source) || !IsPlainRelative(installed)) return;
    if (!workName.empty() && FoldedCase(installed.substr(0, installed.find(L'\\'))) == workName) return;
    const bool movable = source == installed && tree.files.count(source) != 0;
    for (const std::wstring& folder : FoldersAbove(source)) {
      FolderUse& use = uses[FoldedCase(folder)];
      if (use.records == 0 && !use.blocked) use.spelling = folder;
      if (!movable || use.spelling != folder) {
        use.blocked = true;
        continue;
      }
      if (use.records++ == 0) {
        use.firstPosition = position;
        use.firstIndex = index;
      }
      use.lastPosition = position;
      use.lastIndex = index;
    }
    ++position;
  }
  // Outermost first: a folder whose parent moves goes with it.
  std::map<size_t, std::vector<const std::pair<const std::wstring, FolderUse>*>> byDepth;
  for (const auto& entry : uses) byDepth[FoldersAbove(entry.first).size()].push_back(&entry);
  std::set<std::wstring> moved;  // folded case
  for (const auto& depth : byDepth) {
    for (const auto* entry : depth.second) {
      const std::wstring& key = entry->first;
      const FolderUse& use = entry->second;
      bool inside = false;
      for (const std::wstring& above : FoldersAbove(key)) inside = inside || moved.count(above) != 0;
      if (inside || use.blocked || use.lastPosition - use.firstPosition + 1 != use.records) continue;
      if (Tree::CountBelow(tree.files, use.spelling) != use.records) continue;
      // The folders below it on disk are those its records imply, and no more.
      const std::wstring prefix = key + L"\\";
      size_t implied = 0;
      for (const auto& other : uses) implied += other.first.compare(0, prefix.size(), prefix) == 0 ? 1 : 0;
      if (Tree::CountBelow(tree.folders, use.spelling) != implied) continue;
      if (GetFileAttributesW((productFolder + L"\\" + use.spelling).c_str()) != INVALID_FILE_ATTRIBUTES) continue;
      moved.insert(key);
      runs_[use.firstIndex] = FolderRun{use.spelling, use.lastIndex};
    }
  }
}

const FolderRun* FolderMovePlan::RunAt(size_t index) const {
  const auto found = runs_.find(index);
  return found == runs_.end() ? nullptr : &found->second;
}
