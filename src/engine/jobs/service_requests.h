// The update service's uninstall requests: the list of uninstall reasons for the uninstall
// window and the user's uninstall feedback.
#pragma once

#include "engine/zqpm/job_record.h"

class IInstallUIPromptEx;

// Posts the record's feedback (a JSON object, sent as UTF-8) to "/soft/uninstall/confirmForm".
// 0 no feedback or accepted ("code" 0); -1 the POST failed twice; -2 the reply is JSON null;
// -3 "code" is not 0; -4 the reply is not JSON or has no numeric "code".
int CommitInfo(const OpePARAMEx& record);

// Fetches "/soft/uninstall/getTypeList" and hands the whole reply to
// IInstallUIPromptEx::NotifyUpdateWnd. 0, or -2 when the reply is empty (the window then
// keeps its built-in reasons).
int GetUninstallTypeList(IInstallUIPromptEx* prompt);
