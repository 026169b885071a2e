// The job record: what one run of the setup program is asked to do, filled from the command
// line, completed by the engine's preparation and copied into the window that serves the job.
#pragma once

#include <string>

struct OpePARAMEx {
  enum Mode {
    CMD_INSTALL = 0,
    CMD_UNINSTALL = 1,
    CMD_UPDATE = 2,
    CMD_SILENT_INSTALL = 3,
    CMD_SILENT_UNINSTALL = 4,
    CMD_WEB_INSTALL = 5,
    CMD_WEB_SILENT_INSTALL = 6,
    CMD_NONE = 100,
  };

  int mode = CMD_NONE;
  std::wstring installDir;      // the product folder
  std::wstring installSubDir;   // appended by the install window to a folder the user picks
  std::wstring tempDir;         // the extracted setup package ("~ZQSetup" under %TEMP%)
  std::wstring regKeyPath;      // registry path text of the key holding "InstallPath"
  std::wstring resourceDir;     // the skin folder (ends in "\Setup")
  std::wstring feedback;        // uninstall feedback, a JSON object; empty for none
  bool useWorkerThread = true;  // cleared by the silent install and uninstall
  bool runKeyFlag = false;      // write registry values under the Run key too
  bool desktopShortcut = true;
  bool restartAllowed = true;  // cleared by "norestart"
};
