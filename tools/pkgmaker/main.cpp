// pkgmaker: builds a setup program from a bare setup image and file lists.
//   pkgmaker --out <setup.exe> --image <bare setup.exe> [--source <folder>] [--flags <n>]
//            --package <list> [--package <list> ...]
// The first list becomes package #0, the next #1, and so on. Exit code 0 on success,
// 1 for a bad command line, 2 when the setup program could not be made.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "common/sys/text_convert.h"
#include "engine/package/setup_pkg.h"
#include "file_list.h"

namespace {

struct Options {
  std::wstring out, image, source;
  std::vector<std::wstring> lists;
  uint32_t flags = 0;
};

int Usage(const char* why) {
  std::fprintf(stderr, "pkgmaker: %s\n", why);
  std::fprintf(stderr,
               "usage: pkgmaker --out <setup.exe> --image <bare setup.exe> [--source <folder>] [--flags <n>] "
               "--package <list> [--package <list> ...]\n");
  return 1;
}

bool ParseOptions(int argc, wchar_t** argv, Options* options) {
  for (int i = 1; i < argc; ++i) {
    const std::wstring name = argv[i];
    if (i + 1 >= argc) return false;
    const std::wstring value = argv[++i];
    if (name == L"--out")
      options->out = value;
    else if (name == L"--image")
      options->image = value;
    else if (name == L"--source")
      options->source = value;
    else if (name == L"--package")
      options->lists.push_back(value);
    else if (name == L"--flags")
      options->flags = static_cast<uint32_t>(std::wcstoul(value.c_str(), nullptr, 0));
    else
      return false;
  }
  return !options->out.empty() && !options->image.empty() && !options->lists.empty();
}

// Writes the whole setup program; 0 or 2.
int MakeSetup(const Options& options) {
  SetupPkg maker;
  maker.SetSourceFolder(options.source);
  if (maker.CreateOutputFile(options.out) != 0) {
    std::fprintf(stderr, "pkgmaker: cannot create %s\n", WideToUtf8(options.out).c_str());
    return 2;
  }
  for (size_t i = 0; i < options.lists.size(); ++i) {
    std::vector<FileRecord> records;
    if (!ReadFileList(options.lists[i], &records)) {
      std::fprintf(stderr, "pkgmaker: cannot read the list %s\n", WideToUtf8(options.lists[i]).c_str());
      return 2;
    }
    const int code =
        i == 0 ? maker.BuildPackages(options.image, records, options.flags) : maker.AddPackage(records, true);
    if (code != 0) {
      std::fprintf(stderr, "pkgmaker: package #%u of %s failed\n", static_cast<unsigned>(i),
                   WideToUtf8(options.out).c_str());
      return 2;
    }
  }
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  Options options;
  if (!ParseOptions(argc, argv, &options)) return Usage("bad command line");
  const int code = MakeSetup(options);
  if (code != 0) {
    // A half-written setup program must not pass for a made one.
    DeleteFileW(options.out.c_str());
    return code;
  }
  std::printf("pkgmaker: %s written with %u packages\n", WideToUtf8(options.out).c_str(),
              static_cast<unsigned>(options.lists.size()));
  return 0;
}
