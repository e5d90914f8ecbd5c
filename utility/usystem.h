// System version, window raising, links. Report no failures. Any thread
// unless stated.
#pragma once

#include <windows.h>

#include <string>

namespace utility::usystem {

// Major version of the running system from GetVersionExW (extended record,
// else basic record); 0 when both calls fail.
unsigned osMajorVersion();

// osMajorVersion() > 5.
bool isVistaOrLater();

// Restores a minimised window, or lifts it above all others once without
// leaving it topmost. Call on the window's own thread. Logs each step.
void showWndOnTop(HWND window);

// Opens `url` with the shell ("open"); if that fails, starts Internet
// Explorer by its full path (Program Files\Internet Explorer\iexplore.exe,
// never a copy found on the search path) with the url as its parameter.
void openUrl(const std::wstring& url);

// The system folder, e.g. C:\windows\system32, without trailing backslash;
// empty when the system cannot tell.
std::wstring systemFolder();

}  // namespace utility::usystem
