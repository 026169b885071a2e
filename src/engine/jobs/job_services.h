// What the jobs need from the engine object that runs them: its report relay, its update
// engine, the program's own path, and the preparation steps and update-service operations
// that the engine object owns.
#pragma once

#include <functional>
#include <string>

#include "engine/job/job_record.h"

class CUpdateEngEx;
class IInstallUIPromptEx;
class ProductConfig;
struct PackageInfo;

struct JobServices {
  IInstallUIPromptEx* prompt = nullptr;  // receives the reports; null: none are made
  CUpdateEngEx* updateEng = nullptr;     // the process-wide update engine
  std::wstring selfPath;                 // the running program's full path
  // The install folder whose product description and product list the preparation read and
  // that "InstallPath" names when it is set; empty when there is none. An uninstall and the
  // self-deletion remove nothing elsewhere.
  std::wstring verifiedInstallFolder;

  // Loads the product's component configurations for the record's mode (reports step 6).
  std::function<int(OpePARAMEx& record, ProductConfig& product)> loadComponentConfigs;
  // Reads the installed description of an install folder (its "package\productlist.ini"
  // names) into product. 0, or non-zero when it cannot be read.
  std::function<int(ProductConfig& product, const std::wstring& installFolder)> readProductConfig;
  // Empties and creates the named work folder under the temporary folder; gives its path.
  std::function<std::wstring(const std::wstring& name)> createTempInstallDir;
  // "InstallPath" under the key path into out, which stays as it was when it cannot be read.
  std::function<int(std::wstring& out, const std::wstring& keyPath)> getRegInstallPath;
  // The newest full setup package of the program's product (ZQPM::GetDownloadUrl's codes).
  std::function<int(PackageInfo& package)> getDownloadUrl;
  // The downloader's progress report: the engine hands it to the registered window.
  void (*downloadProgress)(unsigned int total, unsigned int received, double speed) = nullptr;
  // Posts the record's uninstall feedback (ZQPM::CommitInfo's codes).
  std::function<int(const OpePARAMEx& record)> commitInfo;
  // Deletes the key that the registry path text names, with its values and subkeys: 0, else 1.
  std::function<int(const std::wstring& keyPath)> deleteRegInfo;
};
