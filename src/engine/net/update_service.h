// Where the maker's update web service lives and the URLs of its three requests:
//   GET  /soft/update/search?channel=..&product=..&ver=..&type=..  (newest package)
//   GET  /soft/uninstall/getTypeList                               (uninstall reasons)
//   POST /soft/uninstall/confirmForm                               (uninstall feedback, JSON)
// All are plain HTTP with JSON replies in UTF-8.
#pragma once

#include <string>

extern const char kUpdateSearchPath[];
extern const char kUninstallTypeListPath[];
extern const char kUninstallConfirmPath[];

// host[:port] of the service: the environment variable TAMSEL_UPDATE_HOST when it holds
// a valid host, else the default the program was built with.
std::string UpdateServiceHost();

// "http://" + the service's host + path.
std::string UpdateServiceUrl(const std::string& path);

// The package-search URL. The channel and product (UTF-8) are percent-encoded, so any
// text (blanks, "&", Chinese) arrives at the service as it was given.
std::string UpdateSearchUrl(const std::string& channel, const std::string& product, int ver, int type);
