// The setup program's command line: switches introduced by "/", "-" or "@", matched by
// case-insensitive prefix, turned into the job record.
#pragma once

#include <string>
#include <vector>

#include "engine/job/job_record.h"

// The words of a command line, in order.
class CCmdLine {
 public:
  // Splits one token into words and appends them: blanks separate words; a word opening
  // with a double quote that is closed later is the text between the quotes; a blank inside
  // ":\Program Files\" or ":\Program Files (x86)\" written behind more than ten characters
  // stays in the word. Returns the word count (unchanged for a null or empty token).
  int AddWords(const wchar_t* token);
  // 1 + the index of the first word that begins with name (ASCII case ignored); 0 for none.
  int HasOption(const wchar_t* name) const;
  // The text after name in that word (possibly empty); null when no word begins with name.
  const wchar_t* GetOptionValue(const wchar_t* name) const;
  void Clear();

  const std::vector<std::wstring>& Words() const { return words_; }

 private:
  std::vector<std::wstring> words_;
};

// Results of ParseCommandLine.
enum CommandLineResult {
  kCommandLineOk = 0,
  kCommandLineNoSwitch = -2,
  kCommandLineBadValue = -3,
  kCommandLineNoFolder = -4,
};

extern const wchar_t kDefaultInstallDir[];  // "C:\Program Files (x86)\Orvenna\PelluvoV2"

// Fills record (in its default state) from the command line that wWinMain receives (without
// the program path). An empty line means install. The first switch found in the order
// install, uninstall, update, silent, unsilent, webinstall, websilent decides the mode.
// "install", "silent", "webinstall" and "websilent" take an install folder written directly
// behind the name after a colon ("/silent:D:\Games\Pelluvo"); quote the whole word when the
// folder holds blanks (/"silent:D:\My Games\Pelluvo"), except under a drive's program-files
// folder, whose blank needs no quotes. The folder must be absolute with a drive letter; any
// other value is refused (-3). "norestart" clears the restart flag (install, silent,
// webinstall, websilent, update).
int ParseCommandLine(const wchar_t* commandLine, OpePARAMEx& record);
