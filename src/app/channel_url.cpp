#include "app/channel_url.h"

#include <windows.h>

#include <shlwapi.h>

#include <vector>

#include "app/app_log.h"
#include "common/sys/self_path.h"

namespace {

std::wstring ProgramNameWithoutExtension() {
  std::wstring path = SelfPath();
  if (path.empty()) return path;
  PathStripPathW(&path[0]);
  PathRemoveExtensionW(&path[0]);
  return path.c_str();
}

void CutBracketedEnd(std::wstring& name, wchar_t open, wchar_t close) {
  if (name.empty() || name.back() != close) return;
  const size_t at = name.rfind(open);
  if (at != std::wstring::npos) name.erase(at);
}

// The whole value, however long: the profile functions cut it at the buffer's size.
std::wstring ReadProfileValue(const std::wstring& file, const wchar_t* section, const wchar_t* key) {
  std::vector<wchar_t> value(260);
  for (;;) {
    const DWORD n =
        GetPrivateProfileStringW(section, key, L"", value.data(), static_cast<DWORD>(value.size()), file.c_str());
    if (n + 1 < value.size()) return std::wstring(value.data(), n);
    value.resize(value.size() * 2);
  }
}

}  // namespace

std::wstring ChannelFromProgramName(std::wstring name) {
  CutBracketedEnd(name, L'(', L')');
  CutBracketedEnd(name, L'\xFF08', L'\xFF09');
  if (name.find(L"__") == std::wstring::npos && name.find(L"&&") == std::wstring::npos) return std::wstring();
  return name;
}

std::wstring WithChannelQuery(std::wstring url, const std::wstring& channel) {
  // An earlier install's query (or several, as older versions appended one per run) ends the
  // address: "?id=" and a channel, which holds "__" or "&&" and, as part of a file name, no "?".
  for (size_t at = url.rfind(L"?id="); at != std::wstring::npos; at = url.rfind(L"?id=")) {
    const std::wstring value = url.substr(at + 4);
    if (value.find(L'?') != std::wstring::npos || ChannelFromProgramName(value) != value) break;
    url.erase(at);
  }
  return url + L"?id=" + channel;
}

void WriteChannelUrl(const std::wstring& installDir) {
  const std::wstring channel = ChannelFromProgramName(ProgramNameWithoutExtension());
  if (channel.empty()) return;
  const std::wstring file = installDir + L"\\config.ini";
  const std::wstring url = ReadProfileValue(file, L"app", L"main_url");
  if (url.empty()) return;
  const std::wstring updated = WithChannelQuery(url, channel);
  if (!WritePrivateProfileStringW(L"app", L"main_url", updated.c_str(), file.c_str())) {
    AppLog(4, "WriteChannelUrl, WritePrivateProfileString %S failed, err %lu", file.c_str(), GetLastError());
  }
}
