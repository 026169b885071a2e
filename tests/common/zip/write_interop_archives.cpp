// Writes archives with ZipWriter for check_written_archives.py, which tests them with
// Info-ZIP's `unzip -t` and reads them back with Python's zipfile on the host.
// Usage: write_interop_archives OUTDIR. For each ARCHIVE.zip it also writes ARCHIVE.list
// (one line per entry: name, tab, method) and the entries' bytes as ARCHIVE.d/INDEX.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "common/zip/zip_codes.h"
#include "common/zip/zip_writer.h"
#include "zip_test_util.h"

namespace {

struct Planned {
  std::string name;
  Bytes bytes;
  int method;  // what the writer must choose
};

bool WriteSet(const std::wstring& folder, const std::string& archiveName, const std::vector<Planned>& entries) {
  std::vector<NamedBytes> named;
  for (const Planned& p : entries) named.push_back({p.name, p.bytes});
  const Bytes archive = WriteArchive(named);
  if (archive.empty()) {
    fprintf(stderr, "write_interop_archives, writing %s failed, code %d\n", archiveName.c_str(), ZipWriter::LastCode());
    return false;
  }
  const std::wstring base = folder + L"\\" + WinePath(archiveName);
  if (!WriteWholeFile(base + L".zip", archive)) return false;
  std::string list;
  CreateDirectoryW((base + L".d").c_str(), nullptr);
  for (size_t i = 0; i < entries.size(); ++i) {
    std::string name = entries[i].name;
    for (char& c : name) {
      if (c == '\\') c = '/';
    }
    list += name + "\t" + std::to_string(entries[i].method) + "\n";
    if (!WriteWholeFile(base + L".d\\" + std::to_wstring(i), entries[i].bytes)) return false;
  }
  return WriteWholeFile(base + L".list", Bytes(list.begin(), list.end()));
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) {
    fprintf(stderr, "usage: write_interop_archives OUTDIR\n");
    return 2;
  }
  std::wstring folder = argv[1];
  if (!folder.empty() && folder[0] == L'/') folder = WinePath(Utf8FromWide(folder));
  CreateDirectoryW(folder.c_str(), nullptr);

  const Bytes text = CompressibleBytes(120000, 21);
  const Bytes random = RandomBytes(300000, 22);
  const std::vector<Planned> mixed = {
      {"readme.txt", text, 8},
      {"folder\\sub\\data.bin", random, 8},
      {"archive.gz", random, 0},
      {"BACKUP.ZIP", text, 0},
      {"noext", text, 8},
      {"empty.txt", {}, 8},
      {"empty.tgz", {}, 0},
      {"\xe6\xb8\xb8\xe6\x88\x8f/\xe9\x85\x8d\xe7\xbd\xae.ini", {'[', 'a', ']', '\n'}, 8},  // 游戏/配置.ini
      {"big.log", CompressibleBytes(5 << 20, 23), 8},
  };
  bool ok = WriteSet(folder, "mixed", mixed);
  ok = WriteSet(folder, "single", {{"package\\Product.config", CompressibleBytes(7000, 24), 8}}) && ok;
  ok = WriteSet(folder, "one-empty-entry", {{"empty.dat", {}, 8}}) && ok;
  ok = WriteSet(folder, "no-entries", {}) && ok;
  return ok ? 0 : 1;
}
