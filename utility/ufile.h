// File and folder operations. Failures are logged under the function's
// qualified name and reported through the result only. Any thread.
#pragma once

#include <string>

namespace utility::ufile {

// Creates `folder` with all missing parents. An existing folder is left
// alone (no call that can fail, nothing logged). True when the folder exists
// afterwards.
bool makeDir(const std::wstring& folder);

// MoveFileExW(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED):
// replaces an existing target, copies across volumes. True on success.
bool moveFile(const std::wstring& from, const std::wstring& to);

// True when a file or folder of that path exists (PathFileExistsW).
bool fileExists(const std::wstring& path);

}  // namespace utility::ufile
