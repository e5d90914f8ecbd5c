#include "utility/ufile.h"

#include <windows.h>
#include <shlobj.h>
#include <shlwapi.h>

#include "utility/log.h"

namespace utility::ufile {

bool makeDir(const std::wstring& folder) {
  if (PathFileExistsW(folder.c_str())) return true;
  const int result = SHCreateDirectory(nullptr, folder.c_str());
  if (result != ERROR_SUCCESS && result != ERROR_ALREADY_EXISTS) {
    ZQ_LOG("utility::ufile::makeDir", L"make dir failed! error = %d.", result);
    return false;
  }
  return true;
}

bool moveFile(const std::wstring& from, const std::wstring& to) {
  const DWORD flags = MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED;
  if (MoveFileExW(from.c_str(), to.c_str(), flags)) return true;
  const DWORD error = GetLastError();
  ZQ_LOG("utility::ufile::moveFile", L"move file from [ %s ] to [ %s ] flag = %d failed! error = %d.",
         from.c_str(), to.c_str(), static_cast<int>(flags), static_cast<int>(error));
  SetLastError(error);
  return false;
}

bool fileExists(const std::wstring& path) { return PathFileExistsW(path.c_str()) != FALSE; }

}  // namespace utility::ufile
