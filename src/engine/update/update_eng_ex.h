// The update engine: the installed and the new product, their difference (the delete list
// and the add list) and the actions that carry it out: product files, run rules, COM servers,
// registry values and shortcuts. One object per process (GetInstance); a job fills the
// products, runs CheckProductDifference(deleteList, addList, mode) once, then the actions.
#pragma once

#include <string>
#include <unordered_set>
#include <vector>

#include "engine/parser/check_diff.h"
#include "engine/parser/component_config.h"
#include "engine/parser/file_on_disk.h"
#include "engine/update/program.h"

class CUpdateEngEx : public CCheckDiff, public CProgram {
 public:
  CUpdateEngEx() = default;
  ~CUpdateEngEx() override = default;
  CUpdateEngEx(const CUpdateEngEx&) = delete;
  CUpdateEngEx& operator=(const CUpdateEngEx&) = delete;

  // The process-wide engine, built on first use and kept until process exit.
  static CUpdateEngEx& GetInstance();

  // --- Product files ---
  // Deletes the delete list's files, then puts the add list's files in place. The result of
  // AddProductFile: 0, -1 a target folder cannot be created, -2 a file cannot be put in place.
  virtual int ApplyFileChanges();
  // Deletes (or defers until the next restart) the delete list's files under the installed
  // product's folder, except excluded records and installed paths that begin with one of
  // exclusions (case-sensitive). 0.
  int DeleteProductFile(std::vector<std::wstring> exclusions);
  // Moves the add list's files from the new product's source folder into its product folder
  // and gives them the record's "time"; a folder that moves whole with the same outcome
  // (FolderMovePlan) takes one move. Reports step 9 per file, then (0, +50). 0 when every
  // file is in place or waits for the next restart, -1 when a target folder cannot be
  // created, -2 when a file cannot be put in place (the files after it are not handled).
  int AddProductFile();
  // The times AddProductFile gives the add list's files, by their "path" in the package:
  // files extracted with them already carry them when they are put in place.
  RecordFileTimesByPath AddListFileTimes() const;
  // Moves source to target. 0 in place; 1 target in use: the new file waits under the name
  // given in waiting and replaces target at the next restart; -1 source missing, -2 source
  // unreadable (target untouched in both) or the file cannot be put in place. waiting is
  // cleared first.
  int UpdateFile(const std::wstring& source, const std::wstring& target, std::wstring& waiting);
  // Moves source to the first free name of target + ".new", ".new1", ".new2", ... and
  // schedules it to replace target at the next restart. 0 and waiting set; -1 (logged) when
  // the move or the scheduling fails, source then stays where it was and waiting is empty.
  int ReplaceOnReboot(const std::wstring& source, const std::wstring& target, std::wstring& waiting);

  // --- Run rules ("when" = phase, "cmd" EXEC / DLLCALL / KILL) ---
  // The add list's rules of the phase, in ascending "order", programs under the new
  // product's folder; a waiting EXEC rule waits up to 15 s. The second argument is unused.
  void DoRunruleInAddList(const std::string& phase, int unused = 0);
  // The delete list's rules of the phase, in descending "order", programs under the
  // installed product's folder; a waiting rule waits up to 10 s, then its program is stopped.
  // In the phase "OnRestartApp" no rule of either list waits for or stops its program.
  void DoRunruleInDeleteList(const std::string& phase);
  // Calls the export of a DLL: a 64-bit DLL through the host program
  // (host "  /c "dll" export", waited for), a 32-bit one in this process. False (logged) when
  // the DLL cannot be loaded, the export is missing or the host program cannot be started.
  static bool DllCall(const std::wstring& hostProgram, const std::wstring& dll, const std::wstring& exportName);

  // --- COM servers ("RegModules") ---
  // Registers the add list's servers under the new product's folder; reports step 11.
  void InstallDlls();
  // Unregisters the delete list's servers under the installed product's folder.
  void UninstallDlls();

  // --- Registry values ("RegUpdate") ---
  // Writes the add list's values; reports step 13. Values under the Run key only with
  // runKeyFlag. 0.
  int InstallRegs(bool runKeyFlag);
  // Writes (REG_SZ, REG_DWORD, REG_DWORD_LITTLE_ENDIAN) or deletes ("DELETE") one value under
  // registry path text; the key is created when missing. True when done; false (logged) for a
  // path without root or subkey part, a type this engine does not write, or a failed write.
  static bool UpdateRegistry(const std::wstring& path, const std::wstring& name, const std::wstring& type,
                             const std::wstring& value);
  // Removes the values that the delete list's records name; other values of their keys stay. 0.
  int UninstallRegs();

  // --- Shortcuts ---
  // Creates the add list's shortcuts (desktop ones only with desktopFlag); reports step 12,
  // then (0, +5).
  void InstallShortcuts(bool desktopFlag);
  // Deletes the delete list's shortcuts and removes their start-menu folders.
  void UninstallShortcuts();
  // Saves a shell link at path to target with arguments, working folder = target's folder.
  // 0 saved; -1 no IPersistFile; -2 no shell link object; -3 the save failed (logged).
  static int CreateShortCut(const std::wstring& path, const std::wstring& target, const std::wstring& args);

  ComponentConfig deleteList;
  ComponentConfig addList;

 private:
  int PlaceFile(const FileRecord& record, int& done, int total, std::unordered_set<std::wstring>& folders);
  void ReportPlaced(const FileRecord& record, int& done, int total);
  bool MoveFolder(const std::wstring& relative);
  void SetTimesOf(const FileRecord& record, const std::wstring& path);
  void RunAddListRule(const RunRuleRecord& rule, const std::string& phase);
  void RunDeleteListRule(const RunRuleRecord& rule, const std::string& phase);
};

// A file record's attribute as wide text; empty when missing.
std::wstring GetAttributeW(const FileRecord& record, const char* name);
// The file's path under the product folder: "newpath" when not empty, else "path".
std::wstring GetInstalledPath(const FileRecord& record);

// Registers (RegComponent) or unregisters (UnregComponent) one COM server: a program by
// "/regserver" / "/unregserver", a 64-bit DLL on x64 through the registrar program
// (registrar " /r" or " /u" and the quoted module path), any other DLL in process.
// 0 done (or handed to a program, whose outcome is not examined), -2 no registration export,
// another negative value the export's HRESULT, positive the Win32 error of the DLL load.
int RegComponent(const std::wstring& module, const std::wstring& registrar);
int UnregComponent(const std::wstring& module, const std::wstring& registrar);

// The shell folders of the shortcuts; empty when the shell cannot give them.
std::wstring GetDesktopDir();
std::wstring GetProgramsDir();
std::wstring GetQuickLaunchPinDir();  // ...\Microsoft\Internet Explorer\Quick Launch\User Pinned\TaskBar
