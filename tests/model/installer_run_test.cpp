// The installer file stays what was verified until its process has started.
#include <gtest/gtest.h>

#include <windows.h>

#include "model/installer_run.h"
#include "utility/md5.h"

namespace {

std::wstring tempFile(const wchar_t* name, const char* content) {
  wchar_t dir[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, dir);
  std::wstring path = std::wstring(dir) + name;
  HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(f, content, static_cast<DWORD>(strlen(content)), &written, nullptr);
  CloseHandle(f);
  return path;
}

TEST(InstallerRun, VerifiedFileCannotBeChangedWhileHeld) {
  std::wstring path = tempFile(L"zq_verified_test.bin", "installer bytes");
  std::wstring other = tempFile(L"zq_verified_other.bin", "planted");
  std::string digest = utility::md5OfFile(path);
  ASSERT_EQ(digest.size(), 32u);
  std::string upper = digest;
  for (auto& c : upper) c = static_cast<char>(toupper(c));
  {
    utility::UniqueFile held = model::openVerified("test", path, upper);
    ASSERT_TRUE(held.valid());
    HANDLE writer = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_EQ(writer, INVALID_HANDLE_VALUE);
    if (writer != INVALID_HANDLE_VALUE) CloseHandle(writer);
    EXPECT_FALSE(DeleteFileW(path.c_str()));
    EXPECT_FALSE(MoveFileExW(other.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING));
    // Readers (the loader, a digest) are still welcome.
    EXPECT_EQ(utility::md5OfFile(path), digest);
  }
  EXPECT_FALSE(model::openVerified("test", path, utility::md5OfFile(other)).valid());
  EXPECT_FALSE(model::openVerified("test", path + L".missing", digest).valid());
  EXPECT_TRUE(DeleteFileW(path.c_str()));
  DeleteFileW(other.c_str());
}

TEST(InstallerRun, OnlyTheMatchingInstallerIsStarted) {
  wchar_t full[MAX_PATH] = {};
  GetFullPathNameW(L"..\\fixtures\\zvinst.exe", MAX_PATH, full, nullptr);
  std::wstring installer = full;
  std::string digest = utility::md5OfFile(installer);
  ASSERT_EQ(digest.size(), 32u);
  wchar_t dir[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, dir);
  std::wstring records = std::wstring(dir) + L"zq_run_records";
  CreateDirectoryW(records.c_str(), nullptr);
  std::wstring record = records + L"\\zvinst_args.txt";
  DeleteFileW(record.c_str());
  SetEnvironmentVariableW(L"ZQ_FIXTURE_DIR", records.c_str());
  // No -path=: the stand-in only records and exits 3.
  EXPECT_FALSE(model::runVerifiedInstaller(installer, L"-silence", "00000000000000000000000000000000", 10000,
                                           nullptr));
  EXPECT_EQ(GetFileAttributesW(record.c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_FALSE(model::runVerifiedInstaller(installer, L"-silence", digest, 10000, nullptr));
  EXPECT_NE(GetFileAttributesW(record.c_str()), INVALID_FILE_ATTRIBUTES);
  DeleteFileW(record.c_str());
  RemoveDirectoryW(records.c_str());
}

}  // namespace
