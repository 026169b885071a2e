#include "engine/job/command_line.h"

#include <cwchar>

const wchar_t kDefaultInstallDir[] = L"C:\\Program Files (x86)\\Orvenna\\PelluvoV2";

namespace {

wchar_t LowerAscii(wchar_t c) { return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c + 32) : c; }

// Whether text at `at` begins with prefix, ASCII case ignored.
bool BeginsWithNoCase(const std::wstring& text, size_t at, const wchar_t* prefix) {
  const size_t length = wcslen(prefix);
  if (at > text.size() || text.size() - at < length) return false;
  for (size_t i = 0; i < length; ++i) {
    if (LowerAscii(text[at + i]) != LowerAscii(prefix[i])) return false;
  }
  return true;
}

// For a word starting at wordStart whose first blank is at `blank`: when that blank lies
// inside "<drive>:\Program Files\" or "...Files (x86)\", the position just past that part.
size_t PastProgramFilesBlank(const std::wstring& text, size_t wordStart, size_t blank) {
  if (blank - wordStart <= 10) return std::wstring::npos;
  if (!BeginsWithNoCase(text, blank - 9, L":\\program")) return std::wstring::npos;
  for (const wchar_t* part : {L" files\\", L" files (x86)\\"}) {
    if (BeginsWithNoCase(text, blank, part)) return blank + wcslen(part);
  }
  return std::wstring::npos;
}

bool IsSwitchSeparator(wchar_t c) { return c == L'/' || c == L'-' || c == L'@'; }

// The install folder of a switch value: ":" and an absolute folder with a drive letter,
// optionally in double quotes; trailing backslashes are dropped. False for anything else.
bool FolderOfValue(const std::wstring& value, std::wstring* folder) {
  if (value.empty() || value[0] != L':') return false;
  std::wstring path = value.substr(1);
  if (path.size() >= 2 && path.front() == L'"' && path.back() == L'"') path = path.substr(1, path.size() - 2);
  while (path.size() > 3 && path.back() == L'\\') path.pop_back();
  const bool drive = path.size() >= 4 && LowerAscii(path[0]) >= L'a' && LowerAscii(path[0]) <= L'z' &&
                     path[1] == L':' && path[2] == L'\\';
  if (!drive) return false;
  for (size_t i = 2; i < path.size(); ++i) {
    const wchar_t c = path[i];
    if (c < 0x20 || wcschr(L"\"<>|*?:", c)) return false;
  }
  *folder = path;
  return true;
}

// A switch that may carry the install folder: -3 for a refused value (record untouched),
// else 0 with the mode and folder set (an empty value gives emptyFolder) and the restart flag
// cleared on "norestart".
int ApplyFolderSwitch(const CCmdLine& words, const wchar_t* name, int mode, const std::wstring& emptyFolder,
                      OpePARAMEx& record) {
  const std::wstring value = words.GetOptionValue(name);
  std::wstring folder = emptyFolder;
  if (!value.empty() && !FolderOfValue(value, &folder)) return kCommandLineBadValue;
  record.installDir = folder;
  record.mode = mode;
  if (words.HasOption(L"norestart")) record.restartAllowed = false;
  return kCommandLineOk;
}

void AddTokens(const wchar_t* line, CCmdLine& words) {
  std::wstring token;
  for (const wchar_t* p = line;; ++p) {
    if (*p == L'\0' || IsSwitchSeparator(*p)) {
      words.AddWords(token.c_str());
      token.clear();
      if (*p == L'\0') break;
    } else {
      token += *p;
    }
  }
}

int ApplySwitch(const CCmdLine& words, OpePARAMEx& record) {
  if (words.HasOption(L"install")) {
    return ApplyFolderSwitch(words, L"install", OpePARAMEx::CMD_INSTALL, kDefaultInstallDir, record);
  }
  if (words.HasOption(L"uninstall")) {
    record.mode = OpePARAMEx::CMD_UNINSTALL;
    return kCommandLineOk;
  }
  if (words.HasOption(L"update")) {
    if (words.HasOption(L"norestart")) record.restartAllowed = false;
    record.mode = OpePARAMEx::CMD_UPDATE;
    return kCommandLineOk;
  }
  if (words.HasOption(L"silent")) {
    return ApplyFolderSwitch(words, L"silent", OpePARAMEx::CMD_SILENT_INSTALL, kDefaultInstallDir, record);
  }
  if (words.HasOption(L"unsilent")) {
    record.mode = OpePARAMEx::CMD_SILENT_UNINSTALL;
    return kCommandLineOk;
  }
  if (words.HasOption(L"webinstall")) {
    return ApplyFolderSwitch(words, L"webinstall", OpePARAMEx::CMD_WEB_INSTALL, L"", record);
  }
  if (words.HasOption(L"websilent")) {
    return ApplyFolderSwitch(words, L"websilent", OpePARAMEx::CMD_WEB_SILENT_INSTALL, kDefaultInstallDir, record);
  }
  return kCommandLineNoSwitch;
}

}  // namespace

int CCmdLine::AddWords(const wchar_t* token) {
  if (!token || !*token) return static_cast<int>(words_.size());
  const std::wstring text = token;
  const size_t n = text.size();
  size_t i = 0;
  bool endedAtBlank = false;
  while (i < n) {
    while (i < n && text[i] == L' ') ++i;
    if (i == n) {
      if (endedAtBlank) words_.emplace_back();
      break;
    }
    if (text[i] == L'"') {
      const size_t close = text.find(L'"', i + 1);
      if (close != std::wstring::npos) {
        words_.push_back(text.substr(i + 1, close - i - 1));
        i = close + 1;
        endedAtBlank = false;
        continue;
      }
    }
    const size_t start = i;
    size_t blank = text.find(L' ', start);
    if (blank != std::wstring::npos) {
      const size_t past = PastProgramFilesBlank(text, start, blank);
      if (past != std::wstring::npos) blank = text.find(L' ', past);
    }
    if (blank == std::wstring::npos) {
      words_.push_back(text.substr(start));
      break;
    }
    words_.push_back(text.substr(start, blank - start));
    i = blank + 1;
    endedAtBlank = true;
  }
  return static_cast<int>(words_.size());
}

int CCmdLine::HasOption(const wchar_t* name) const {
  for (size_t i = 0; i < words_.size(); ++i) {
    if (BeginsWithNoCase(words_[i], 0, name)) return static_cast<int>(i) + 1;
  }
  return 0;
}

const wchar_t* CCmdLine::GetOptionValue(const wchar_t* name) const {
  const int found = HasOption(name);
  return found ? words_[found - 1].c_str() + wcslen(name) : nullptr;
}

void CCmdLine::Clear() { words_.clear(); }

int ParseCommandLine(const wchar_t* commandLine, OpePARAMEx& record) {
  record.installDir = kDefaultInstallDir;
  if (!commandLine || !*commandLine) {
    record.mode = OpePARAMEx::CMD_INSTALL;
    return kCommandLineOk;
  }
  CCmdLine words;
  AddTokens(commandLine, words);
  const int result = ApplySwitch(words, record);
  if (result != kCommandLineOk) return result;
  return record.installDir.empty() ? kCommandLineNoFolder : kCommandLineOk;
}
