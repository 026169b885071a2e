// What the jobs need from the engine object that runs them: its report relay, its update
// engine, the program's own path and the preparation steps that the engine object owns.
#pragma once

#include <functional>
#include <string>

#include "engine/zqpm/job_record.h"

class CUpdateEngEx;
class IInstallUIPromptEx;
class ProductConfig;

struct JobServices {
  IInstallUIPromptEx* prompt = nullptr;  // receives the reports; null: none are made
  CUpdateEngEx* updateEng = nullptr;     // the process-wide update engine
  std::wstring selfPath;                 // the running program's full path

  // Loads the product's component configurations for the record's mode (reports step 6).
  std::function<int(OpePARAMEx& record, ProductConfig& product)> loadComponentConfigs;
  // Reads the installed description of an install folder (its "package\productlist.ini"
  // names) into product. 0, or non-zero when it cannot be read.
  std::function<int(ProductConfig& product, const std::wstring& installFolder)> readProductConfig;
  // Empties and creates the named work folder under the temporary folder; gives its path.
  std::function<std::wstring(const std::wstring& name)> createTempInstallDir;
};
