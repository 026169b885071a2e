// Comparing file records with the files on disk around the difference.
#include <map>

#include "common/sys/text_convert.h"
#include "engine/parser/file_on_disk.h"
#include "engine/parser/product_config.h"
#include "engine/parser/text_compare.h"

namespace {

struct ExpectedFile {
  int64_t size = 0;
  int64_t timeMs = 0;
  std::wstring relativePath;
};

// Reads "size", "time", "newpath" and, when that is empty, "path" (adding missing names).
ExpectedFile ReadExpectedFile(FileRecord& record) {
  ExpectedFile expected;
  expected.size = DecimalValue64(record.attributes["size"]);
  expected.timeMs = DecimalValue64(record.attributes["time"]);
  const std::string& newPath = record.attributes["newpath"];
  expected.relativePath = Utf8ToWide(newPath.empty() ? record.attributes["path"].c_str() : newPath.c_str());
  return expected;
}

bool StandsOnDisk(const std::wstring& path, const ExpectedFile& expected) {
  return PathExists(path) && FileMatches(path, expected.timeMs, expected.size);
}

}  // namespace

void ProductConfig::UpdateCopyFileRef() {
  for (ComponentConfig& component : components) {
    for (FileRecord& file : component.files) {
      if (EqualsNoCase(file.attributes["isInstall"], "false")) continue;
      if (EqualsNoCase(file.attributes["isUpgrade"], "false")) {
        file.differsOnDisk = true;
        continue;
      }
      ExpectedFile expected = ReadExpectedFile(file);
      if (!StandsOnDisk(ExpandPathVariables(expected.relativePath), expected)) file.differsOnDisk = true;
    }
  }
  CountFileReferences();
}

void ProductConfig::CountFileReferences() {
  std::map<uint32_t, uint32_t> counts;
  for (const ComponentConfig& component : components) {
    for (const FileRecord& file : component.files) ++counts[file.identityCrc];
  }
  for (ComponentConfig& component : components) {
    for (FileRecord& file : component.files) file.refCount = counts[file.identityCrc];
  }
}

void ProductConfig::UpdateNoDeleteFileRef(ComponentConfig& list, bool deleteList, const std::wstring& installRoot) {
  for (FileRecord& file : list.files) {
    if (file.excluded) continue;
    if (deleteList) {
      if (EqualsNoCase(file.attributes["noDelete"], "true")) file.excluded = true;
      continue;
    }
    ExpectedFile expected = ReadExpectedFile(file);
    // Without a known install folder nothing can already stand there.
    if (installRoot.empty()) continue;
    if (StandsOnDisk(installRoot + L"\\" + expected.relativePath, expected)) file.excluded = true;
  }
}
