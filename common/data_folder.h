// The per-user data folder and the files below it, and the common module's
// start-up. Folder creation never reports failure: a later file open fails
// instead, which every user of these paths tolerates.
#pragma once

#include <string>

namespace common {

// Start-up, once, on the UI thread, before utility::logSink is set: starts
// the log writer on logFilePath (none for an empty path), then creates the
// folder "config" under the data root. Creates no configuration file.
void init(const std::wstring& logFilePath);

// The user's roaming application-data folder joined with "Tessarin2",
// computed on the first call and kept for the process. A failed shell query
// gives the relative folder "Tessarin2". Any thread; returns a copy.
std::wstring dataRoot();

// dataRoot() + "\log/zqdownloader.log", with the folder "log" created.
std::wstring logFilePath();

// dataRoot() + "\config/zavrians.config", with the folder "config" created.
std::wstring configFilePath();

// Creates the folder holding filePath and every missing folder above it
// (either slash separates), then returns filePath unchanged. Existing folders
// are left alone; any failure (access, a file in the way, no parent) ends
// the attempt silently.
std::wstring ensureParentFolder(const std::wstring& filePath);

}  // namespace common
