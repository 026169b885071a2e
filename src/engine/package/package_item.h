// One package item made from one file: a one-entry zip archive and its item header.
#pragma once

#include <cstdint>
#include <string>

#include "common/zip/zip_handle.h"
#include "engine/package/package_format.h"

struct PackageItem {
  pkgfmt::PackageItemHeader header;
  UniqueZipHandle archive;       // owns the zip bytes
  const uint8_t* zip = nullptr;  // zipSize bytes inside the archive's memory
  uint32_t zipSize = 0;
};

// Reads the file at source (an empty file is allowed) and zips it as one entry named
// entryName (UTF-8, "\" becomes "/"). 0, or -1 when the file cannot be read whole, is 4 GB
// or larger, or the zip writer fails (its last code tells which).
int MakePackageItem(const std::wstring& source, const std::string& entryName, PackageItem* item);
