// Readers of the product description and of the setup file list.
#pragma once

#include <map>
#include <string>

#include "engine/parser/product_config.h"

class IInstallUIPromptEx;

// Reads "Product.config" at path into out, which is not cleared first: texts are written
// over, component references appended, the product id merged with OR. 1 on success, 0
// when the document cannot be loaded or has no root element. Errors go to the log and
// to sink when one is given.
int ParseProductConfig(IInstallUIPromptEx* sink, const std::wstring& path, ProductConfig& out);

// Reads the setup file list: package path to installed path ("newpath", or the path
// itself). 1 on success, 0 as above.
int ParseFileList(const std::wstring& path, std::map<std::wstring, std::wstring>& out);

void LogProductConfigError(IInstallUIPromptEx* sink, const char* format, ...) __attribute__((format(printf, 2, 3)));
