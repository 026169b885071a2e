// The setup files once the setup package is extracted: which product description
// "_setup.ini" names, and the setup file list's moves inside the folder.
#pragma once

#include <functional>
#include <string>

// A file of the folder still being written when the setup files are prepared.
struct PendingSetupFile {
  std::wstring relativePath;  // "\" between folders
  std::function<int()> wait;  // 0 once it is written whole, else the code of its failure
};

// Reads "_setup.ini" (section "Product", key "Product", default "Product.config") into
// productConfigName, reads that description from folder\package and the setup file list it
// names, and moves each listed file to its new path inside the folder. 0; -5 for an empty
// name, -2 when the description cannot be read, -3 when it names no setup file list, -4
// when the list cannot be read. A move that cannot be made is logged and passed over. When a
// move names the pending file (may be null), it is waited for before any move; its failure
// code is then the result and nothing is moved.
int PrepareSetupFiles(const std::wstring& folder, std::wstring* productConfigName,
                      const PendingSetupFile* pending = nullptr);
