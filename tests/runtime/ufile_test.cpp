#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>

#include "tests/runtime/test_support.h"
#include "utility/ufile.h"

namespace {

void writeFile(const std::wstring& path, const char* text) {
  HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD n = 0;
  WriteFile(f, text, static_cast<DWORD>(strlen(text)), &n, nullptr);
  CloseHandle(f);
}

std::string readBytes(const std::wstring& path) {
  HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return "<missing>";
  char buffer[256];
  DWORD n = 0;
  ReadFile(f, buffer, sizeof(buffer), &n, nullptr);
  CloseHandle(f);
  return std::string(buffer, n);
}

}  // namespace

TEST(MakeDir, CreatesParentsAndLeavesExistingFoldersQuiet) {
  rt::LogCapture log;
  const std::wstring root = rt::freshTempFolder(L"mkdir");
  const std::wstring deep = root + L"\\a\\b\\c";
  EXPECT_TRUE(utility::ufile::makeDir(deep));
  EXPECT_TRUE(utility::ufile::fileExists(deep));
  EXPECT_TRUE(utility::ufile::makeDir(deep));
  EXPECT_TRUE(utility::ufile::makeDir(root));
  EXPECT_TRUE(log.lines().empty());
}

TEST(MakeDir, LogsTheShellResultOnFailure) {
  rt::LogCapture log;
  const std::wstring root = rt::freshTempFolder(L"mkdirfail");
  const std::wstring file = root + L"\\plain";
  writeFile(file, "x");
  EXPECT_FALSE(utility::ufile::makeDir(file + L"\\sub"));  // a parent that is a file
  const auto lines = log.lines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].function, "utility::ufile::makeDir");
  EXPECT_EQ(lines[0].message.rfind(L"make dir failed! error = ", 0), 0u) << lines[0].message;
}

TEST(MoveFile, ReplacesTheTargetAndLogsFailures) {
  rt::LogCapture log;
  const std::wstring root = rt::freshTempFolder(L"move");
  writeFile(root + L"\\from.tmp", "new");
  writeFile(root + L"\\to.exe", "old");
  EXPECT_TRUE(utility::ufile::moveFile(root + L"\\from.tmp", root + L"\\to.exe"));
  EXPECT_EQ(readBytes(root + L"\\to.exe"), "new");
  EXPECT_FALSE(utility::ufile::fileExists(root + L"\\from.tmp"));
  EXPECT_TRUE(log.lines().empty());

  const std::wstring missing = root + L"\\missing.tmp";
  EXPECT_FALSE(utility::ufile::moveFile(missing, root + L"\\to.exe"));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  const auto lines = log.lines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].function, "utility::ufile::moveFile");
  EXPECT_EQ(lines[0].message, L"move file from [ " + missing + L" ] to [ " + root + L"\\to.exe ] flag = 3 failed! error = 2.");
  EXPECT_EQ(readBytes(root + L"\\to.exe"), "new");
}
