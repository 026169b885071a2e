// The uninstall job (modes 1 and 4): posts the feedback, stops the client, unregisters COM
// servers, removes registry values and shortcuts, clears the notification area, deletes the
// product's files and folder (the running program stays) and removes the uninstall record
// and the product's registry keys.
#pragma once

#include <string>

#include "engine/jobs/job_services.h"

// The record's install folder is not services.verifiedInstallFolder: nothing was removed.
constexpr int kUninstallNotInstallFolder = -1;

// Runs the job on services.updateEng (its installed product read by the preparation). A
// record whose install folder is not the verified one is refused before any step: the job
// reports "卸载失败" through OnMessage and returns kUninstallNotInstallFolder. Otherwise no
// step stops the job; it ends with OnFinish("", 0) and returns 0.
int RunUninstallJob(OpePARAMEx& record, const JobServices& services);

// True once an uninstall job of this process has run to its end.
bool UninstallJobCompleted();
