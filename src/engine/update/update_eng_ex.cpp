#include "engine/update/update_eng_ex.h"

#include "common/sys/text_convert.h"

CUpdateEngEx& CUpdateEngEx::GetInstance() {
  static CUpdateEngEx engine;
  return engine;
}

std::wstring GetAttributeW(const FileRecord& record, const char* name) {
  return Utf8ToWide(FindAttribute(record.attributes, name));
}

std::wstring GetInstalledPath(const FileRecord& record) {
  const std::wstring newPath = GetAttributeW(record, "newpath");
  return newPath.empty() ? GetAttributeW(record, "path") : newPath;
}
