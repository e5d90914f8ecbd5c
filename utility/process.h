// Starting processes. Every function logs its inputs and failures under its
// own qualified name, throws nothing and shows nothing. Any thread.
#pragma once

#include <windows.h>

#include <string>

namespace utility::process {

// ShellExecuteW with the verb "runas" (Vista or later, else "open"), no
// working folder, hidden window. True when the shell reports success (> 32).
bool shell(const std::wstring& file, const std::wstring& params);

// As shell, but shown with `showCmd` (an SW_* value, e.g. SW_SHOWNORMAL).
// Logs the same lines under "utility::process::shellWithShowState".
bool shellWithShowState(const std::wstring& file, const std::wstring& params, int showCmd);

// CreateProcessW of `"file"` or `"file" params` (no trailing space when params
// is empty), new console, window hidden, handles not inherited.
// Returns the process handle, owned by the caller (wrap it in a
// utility::UniqueHandle), or null with the last error kept.
HANDLE create(const std::wstring& file, const std::wstring& params);

// create, then waits up to timeoutMs (INFINITE allowed). True exactly when
// the process ended in time with exit code 0. On time-out the process is
// left running (false). `show` is ignored: the window is always hidden.
// Blocks the caller; meant for worker threads.
bool execute(const std::wstring& file, const std::wstring& params, bool show, unsigned timeoutMs);

}  // namespace utility::process
