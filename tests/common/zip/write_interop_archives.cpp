// Writes archives with ZipWriter for check_written_archives.py (unzip -t and Python's zipfile
// on the host). Usage: write_interop_archives OUTDIR. Beside each ARCHIVE.zip: ARCHIVE.list
// (per entry: name, tab, the method the writer must choose) and the entries' bytes as
// ARCHIVE.d/INDEX.
#include <windows.h>

#include <algorithm>
#include <cstdio>

#include "common/zip/zip_writer.h"
#include "zip_test_util.h"

namespace {

struct Planned {
  std::string name;
  Bytes bytes;
  int method;
};

bool WriteSet(const std::wstring& folder, const std::string& archiveName, const std::vector<Planned>& entries) {
  std::vector<NamedBytes> named;
  for (const Planned& p : entries) named.push_back({p.name, p.bytes});
  const Bytes archive = WriteArchive(named);
  const std::wstring base = folder + L"\\" + WinePath(archiveName);
  if (archive.empty() || !WriteWholeFile(base + L".zip", archive)) {
    fprintf(stderr, "write_interop_archives, writing %s failed, code %d\n", archiveName.c_str(), ZipWriter::LastCode());
    return false;
  }
  std::string list;
  CreateDirectoryW((base + L".d").c_str(), nullptr);
  for (size_t i = 0; i < entries.size(); ++i) {
    std::string name = entries[i].name;
    std::replace(name.begin(), name.end(), '\\', '/');
    list += name + "\t" + std::to_string(entries[i].method) + "\n";
    if (!WriteWholeFile(base + L".d\\" + std::to_wstring(i), entries[i].bytes)) return false;
  }
  return WriteWholeFile(base + L".list", Bytes(list.begin(), list.end()));
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) return 2;
  const std::wstring folder = WinePath(Utf8FromWide(argv[1]));
  CreateDirectoryW(folder.c_str(), nullptr);
  const Bytes text = CompressibleBytes(120000, 21);
  const Bytes random = RandomBytes(300000, 22);
  bool ok =
      WriteSet(folder, "mixed",
               {{"readme.txt", text, 8},
                {"folder\\sub\\data.bin", random, 8},
                {"archive.gz", random, 0},
                {"BACKUP.ZIP", text, 0},
                {"noext", text, 8},
                {"empty.txt", {}, 8},
                {"empty.tgz", {}, 0},
                {"\xe6\xb8\xb8\xe6\x88\x8f/\xe9\x85\x8d\xe7\xbd\xae.ini", {'[', 'a', ']', '\n'}, 8},  // 游戏/配置.ini
                {"big.log", CompressibleBytes(5 << 20, 23), 8}});
  ok = WriteSet(folder, "single", {{"package\\Product.config", CompressibleBytes(7000, 24), 8}}) && ok;
  ok = WriteSet(folder, "one-empty-entry", {{"empty.dat", {}, 8}}) && ok;
  ok = WriteSet(folder, "no-entries", {}) && ok;
  return ok ? 0 : 1;
}
