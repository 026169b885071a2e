// COM servers, drivers, run rules and shortcuts depend on a file of the product: they
// are left alone when that file is not an active (non-excluded) file record.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "engine/parser/component_config.h"

// The first file record naming the path as its "path" or "newpath", or null.
FileRecord* FirstFileNamed(std::vector<FileRecord>& files, const std::string& path);

// Excludes each dependent record of the component for whose file (its "path",
// "executable" or "link") fileIsActive says no.
void MarkDependentRecords(ComponentConfig& component, const std::function<bool(const std::string& file)>& fileIsActive);
