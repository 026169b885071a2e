// The search for the newest full setup package on the update service. The query comes
// from the program's own file name: "<product>#<channel>#<type digit>...".
#pragma once

#include <string>

struct UpdateInfo {
  std::string product;  // UTF-8
  std::string channel;  // UTF-8
  int ver = 1;
  int type = 2;
};

struct PackageInfo {
  std::string url;
  std::string fileName;  // UTF-8, a plain file name
  std::string md5;       // hexadecimal
  int size = 0;
};

// The query of the program path's file name. 0; -1 the path holds neither "\" nor "/"; -2 no
// first "#" token; -3 no second one.
int ParseProgramFileName(const std::wstring& programPath, UpdateInfo& info);

// A name that stays inside the folder it is put in: not empty, no "\", "/", ":", "..",
// control or other characters that Windows refuses in a file name.
bool IsPlainFileName(const std::wstring& name);

// Asks the service for the newest package of info's product (ZQPM::GetDownloadUrl after the
// file name is parsed). 0 found; -2 empty reply; -3 the reply is JSON null; -4 "code" not 0 or a
// reply that does not hold the fields; -6 no complete entry for the version, or one whose
// file name is not a plain file name.
int SearchPackage(const UpdateInfo& info, PackageInfo& package);

// The service's reply to the search made at url (named in the log lines): 0 with the package
// found; -3, -4 and -6 as above.
int ParseSearchReply(const std::string& reply, const std::string& url, PackageInfo& package);
