// Starting the full installer (elevated with this process) and the stop
// commands, with waits that end early when the model shuts down.
#pragma once

#include <windows.h>

#include <string>

#include "utility/handle.h"

namespace model {

// Digest text of what `file` (an open handle, positioned anywhere) holds,
// read in pieces through the handle; "" when a read fails or it is empty.
std::string digestOfOpenFile(HANDLE file);

// Starts `"file" params` hidden (utility::process::create) and waits up to
// timeoutMs, or until `abortEvent` (may be null) is signalled. True exactly
// when the process ended in time with exit code 0. A process still running
// is left running. Logs as utility::process::execute does, under
// "ZQDownloaderModel::runProcess".
bool runProcess(const std::wstring& file, const std::wstring& params, unsigned timeoutMs,
                HANDLE abortEvent);

// Opens `file` for reading with read sharing only (while the handle lives no
// one can write, delete or replace it) and compares its content with
// `digest` ignoring letter case. The open handle when it matches; an
// invalid one (logged under `function`) when it cannot be opened or differs.
utility::UniqueFile openVerified(const char* function, const std::wstring& file, const std::string& digest);

// As runProcess, but when `digest` is non-empty the file is first opened
// with read sharing only (no writer, no deletion, no rename), its content
// compared with `digest` ignoring letter case, and held open until the
// process has been created. A file that cannot be opened or does not match
// is not run: false. Logs under "ZQDownloaderModel::runInstaller".
bool runVerifiedInstaller(const std::wstring& file, const std::wstring& params,
                          const std::string& digest, unsigned timeoutMs, HANDLE abortEvent);

}  // namespace model
