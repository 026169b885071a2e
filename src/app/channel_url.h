// The setup program's file name carries the channel it was handed out through
// ("TamselPelluvo#orvenna__sample#1.exe"); the install appends it to the client's start
// address so the service can count installs by channel.
#pragma once

#include <string>

// The channel part of a program file name without folder and extension: a trailing
// bracketed part ("(2)", "（2）") is cut; empty unless the name holds "__" or "&&".
std::wstring ChannelFromProgramName(std::wstring name);

// url with "?id=" + channel at its end, in place of the "?id=" queries that end it already:
// one suffix however often an install runs.
std::wstring WithChannelQuery(std::wstring url, const std::wstring& channel);

// Puts "?id=" + the running program's channel at the end of "main_url" in section "app" of
// installDir\config.ini (WithChannelQuery); nothing when there is no channel or no such value.
// The file's other values stay as they are.
void WriteChannelUrl(const std::wstring& installDir);
