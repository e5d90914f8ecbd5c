#include "common/data_folder.h"

#include <windows.h>
#include <shlobj.h>

#include <mutex>
#include <optional>

#include "common/log.h"
#include "common/testing.h"

namespace common {

namespace {

std::mutex g_rootMutex;
std::optional<std::wstring> g_root;  // guarded by g_rootMutex

bool isSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

// Everything before the last path component, without trailing separators.
std::wstring parentOf(const std::wstring& path) {
  size_t end = path.size();
  while (end && isSeparator(path[end - 1])) --end;  // a trailing separator names no component
  while (end && !isSeparator(path[end - 1])) --end;
  while (end && isSeparator(path[end - 1])) --end;
  return path.substr(0, end);
}

std::wstring join(const std::wstring& base, const wchar_t* relative) {
  if (base.empty()) return relative;
  if (isSeparator(base.back())) return base + relative;
  return base + L"\\" + relative;
}

void ensureFolder(const std::wstring& folder) {
  if (folder.empty()) return;
  DWORD attributes = GetFileAttributesW(folder.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES) return;  // a folder, or a file in the way
  std::wstring parent = parentOf(folder);
  if (parent.size() < folder.size()) ensureFolder(parent);
  CreateDirectoryW(folder.c_str(), nullptr);
}

}  // namespace

void init(const std::wstring& logFilePath) {
  startLogWriter(logFilePath);
  configFilePath();
}

std::wstring dataRoot() {
  std::lock_guard<std::mutex> lock(g_rootMutex);
  if (!g_root) {
    wchar_t appData[MAX_PATH] = {};
    // A failed query leaves the buffer empty: the root becomes relative.
    SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, appData);
    g_root = join(appData, L"Tessarin2");
  }
  return *g_root;
}

std::wstring logFilePath() { return ensureParentFolder(join(dataRoot(), L"log/zqdownloader.log")); }

std::wstring configFilePath() {
  return ensureParentFolder(join(dataRoot(), L"config/zavrians.config"));
}

std::wstring ensureParentFolder(const std::wstring& filePath) {
  ensureFolder(parentOf(filePath));
  return filePath;
}

namespace testing {

void setDataRoot(const std::wstring& root) {
  std::lock_guard<std::mutex> lock(g_rootMutex);
  g_root = root;
}

}  // namespace testing

}  // namespace common
