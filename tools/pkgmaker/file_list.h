// File lists of pkgmaker: UTF-8 text, one file per line, "path" or "path<TAB>newpath".
// The path is where the file lies under the source folder and its name in the package
// (see SetupPkg::AddPackage for paths that begin with a drive or "..").
#pragma once

#include <string>
#include <vector>

#include "engine/parser/component_records.h"

// Reads the list into file records with the attributes "path" and "newpath". Blank lines
// are skipped, a byte-order mark and line-end CRs are dropped. False when the file cannot be read.
bool ReadFileList(const std::wstring& path, std::vector<FileRecord>* records);

// The records of a list's text.
std::vector<FileRecord> ParseListText(const std::string& text);
