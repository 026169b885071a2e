// Starting the client: the freshly installed one after an install (quick start of the
// install window) and an already installed one (quick start of the web-install window).
#pragma once

#include "engine/jobs/job_services.h"

class CUpdateEngEx;

// Runs the add list's "OnRestartApp" rules when the record allows a restart. 0.
int RestartApp(const OpePARAMEx& record, CUpdateEngEx& engine);

// Reads the installed product (its key: the installed description's RegKey, else
// "HKLM\Software\TamselPLVV2"; its folder: "InstallPath" under that key, which becomes the
// record's install folder; the record's folder stays when the value cannot be read) afresh and
// runs its "OnRestartApp" rules, which start the client and neither wait for it nor stop it.
// 0; -1 no install folder; -2 the installed description cannot be read.
int StartByOther(OpePARAMEx& record, const JobServices& services);
