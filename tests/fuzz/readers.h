// The readers of outside input that a round feeds: each reads one input as the program would
// meet it (a file, a reply, a layout), and may repair an input's own checks so that mutations
// reach past them.
#pragma once

#include <string>
#include <vector>

#include "mutator.h"

namespace fuzz {

struct Reader {
  std::string name;
  std::vector<std::string> seeds;
  void (*read)(const std::string& input) = nullptr;
  // Makes the input's digests fit its bytes again (null: the format has none).
  void (*repair)(std::string& input) = nullptr;
};

// Where the seeds come from: the test fixtures of the source tree and of the build.
struct SeedFolders {
  std::wstring source;  // the repository
  std::wstring build;   // the build folder
  std::wstring work;    // a private folder for the package reader's files
};

// Every reader with its seed corpus, in a fixed order.
std::vector<Reader> MakeReaders(const SeedFolders& folders);

// Each reader by itself.
Reader PackageReader(const SeedFolders& folders);      // "package": the install packages of a program file
Reader ZipReaderOf(const SeedFolders& folders);        // "zip": the common zip reader
Reader SkinZipReader(const SeedFolders& folders);      // "skinzip": the framework's zip reader
Reader XmlTextReader(const SeedFolders& folders);      // "xml": XML text with entities and macros
Reader MarkupReader(const SeedFolders& folders);       // "markup": layouts with includes and styles
Reader LogConfigReader(const SeedFolders& folders);    // "logconfig": the logger's configuration text
Reader SearchReplyReader(const SeedFolders& folders);  // "search": the package search's reply
Reader ReasonReplyReader(const SeedFolders& folders);  // "reasons": the uninstall reason list

// Files of folder (and its sub-folders) whose names end in one of suffixes, up to maxBytes
// each, in name order.
std::vector<std::string> SeedFiles(const std::wstring& folder, const std::vector<std::wstring>& suffixes,
                                   size_t maxBytes = 64 * 1024);

}  // namespace fuzz
