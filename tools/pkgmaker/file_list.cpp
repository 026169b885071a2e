#include "file_list.h"

#include <windows.h>

#include "common/sys/unique_handles.h"

std::vector<FileRecord> ParseListText(const std::string& text) {
  std::vector<FileRecord> records;
  size_t start = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    const size_t tab = line.find('\t');
    FileRecord record;
    record.attributes["path"] = line.substr(0, tab);
    if (tab != std::string::npos) record.attributes["newpath"] = line.substr(tab + 1);
    record.packed = true;
    records.push_back(record);
  }
  return records;
}

bool ReadFileList(const std::wstring& path, std::vector<FileRecord>* records) {
  UniqueHandle file(
      CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  LARGE_INTEGER size{};
  if (!IsValid(file) || !GetFileSizeEx(file.get(), &size) || size.QuadPart > (64 << 20)) return false;
  std::string text(static_cast<size_t>(size.QuadPart), '\0');
  DWORD got = 0;
  if (!text.empty() &&
      (!ReadFile(file.get(), &text[0], static_cast<DWORD>(text.size()), &got, nullptr) || got != text.size())) {
    return false;
  }
  *records = ParseListText(text);
  return true;
}
