// The update service's list of uninstall reasons for the uninstall window.
#pragma once

class IInstallUIPromptEx;

// Fetches "/soft/uninstall/getTypeList" and hands the whole reply to
// IInstallUIPromptEx::NotifyUpdateWnd. 0, or -2 when the reply is empty (the window then
// keeps its built-in reasons).
int GetUninstallTypeList(IInstallUIPromptEx* prompt);
