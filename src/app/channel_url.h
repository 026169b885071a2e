// The setup program's file name carries the channel it was handed out through
// ("TamselPelluvo#orvenna__sample#1.exe"); the install appends it to the client's start
// address so the service can count installs by channel.
#pragma once

#include <string>

// The channel part of a program file name without folder and extension: a trailing
// bracketed part ("(2)", "（2）") is cut; empty unless the name holds "__" or "&&".
std::wstring ChannelFromProgramName(std::wstring name);

// Appends "?id=" + the running program's channel to "main_url" in section "app" of
// installDir\config.ini; nothing when there is no channel or no such value.
void WriteChannelUrl(const std::wstring& installDir);
