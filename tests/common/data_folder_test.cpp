#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <string>

#include "common/data_folder.h"
#include "common/log.h"
#include "common/testing.h"
#include "tests/common/test_files.h"
#include "utility/log.h"

namespace {

using zqtest::isFile;
using zqtest::isFolder;
using zqtest::TempDir;

// A data root inside a temporary folder, so the prefix's real one stays untouched.
class DataFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(common::testing::resetLogWriter(5000));
    common::testing::setDataRoot(root_);
  }
  void TearDown() override {
    utility::logSink = nullptr;
    EXPECT_TRUE(common::testing::resetLogWriter(5000));
  }

  TempDir dir_;
  std::wstring root_ = dir_ / L"Tessarin2";
};

}  // namespace

TEST(DataRoot, IsRoamingAppDataJoinedWithTessarin2) {
  wchar_t appData[MAX_PATH] = {};
  ASSERT_EQ(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, appData), S_OK);
  EXPECT_EQ(common::dataRoot(), std::wstring(appData) + L"\\Tessarin2");
  EXPECT_EQ(common::dataRoot(), common::dataRoot());
}

TEST_F(DataFolder, FirstStartCreatesLogAndConfigFoldersAndTheLog) {
  ASSERT_FALSE(isFolder(root_));
  const std::wstring logPath = common::logFilePath();
  EXPECT_EQ(logPath, root_ + L"\\log/zqdownloader.log");
  common::init(logPath);
  utility::logSink = common::writeLog;
  ZQ_LOG("wWinMain", L"first line");
  ASSERT_TRUE(common::stopLogWriter(5000));

  EXPECT_TRUE(isFolder(root_ + L"\\log"));
  EXPECT_TRUE(isFolder(root_ + L"\\config"));
  EXPECT_FALSE(isFile(root_ + L"\\config\\zavrians.config"));  // never created
  EXPECT_EQ(common::configFilePath(), root_ + L"\\config/zavrians.config");
  std::string text = zqtest::readAll(root_ + L"\\log\\zqdownloader.log");
  EXPECT_NE(text.find("\twWinMain\t("), std::string::npos);
  EXPECT_EQ(text.find("first line\r\n") + 12, text.size());
}

TEST_F(DataFolder, FileNamedConfigInTheWayIsToleratedSilently) {
  ASSERT_TRUE(CreateDirectoryW(root_.c_str(), nullptr));
  ASSERT_TRUE(zqtest::writeAll(root_ + L"\\config", "not a folder"));
  common::init(common::logFilePath());
  EXPECT_TRUE(isFile(root_ + L"\\config"));
  EXPECT_EQ(zqtest::readAll(root_ + L"\\config"), "not a folder");
  EXPECT_TRUE(isFolder(root_ + L"\\log"));  // start-up went on
}

TEST_F(DataFolder, FileNamedLogInTheWayMeansNoLog) {
  ASSERT_TRUE(CreateDirectoryW(root_.c_str(), nullptr));
  ASSERT_TRUE(zqtest::writeAll(root_ + L"\\log", "not a folder"));
  common::init(common::logFilePath());
  utility::logSink = common::writeLog;
  ZQ_LOG("wWinMain", L"goes nowhere");
  EXPECT_TRUE(common::stopLogWriter(5000));
  EXPECT_EQ(zqtest::readAll(root_ + L"\\log"), "not a folder");
  EXPECT_TRUE(isFolder(root_ + L"\\config"));
}

TEST(EnsureParentFolder, CreatesMissingFoldersAndReturnsThePath) {
  TempDir dir;
  struct Case {
    std::wstring file;
    std::wstring folder;  // must exist afterwards
  } cases[] = {
      {dir / L"a\\b/c\\file.txt", dir / L"a\\b\\c"},
      {dir / L"a/b2/file.txt", dir / L"a\\b2"},  // a exists already
      {dir / L"d\\\\e\\file", dir / L"d\\e"},   // a doubled separator
      {dir / L"top.txt", dir.path()},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(common::ensureParentFolder(c.file), c.file);
    EXPECT_TRUE(isFolder(c.folder)) << std::string(c.folder.begin(), c.folder.end());
    EXPECT_FALSE(isFile(c.file));
  }
  // No parent at all, and a file standing where a folder is needed.
  EXPECT_EQ(common::ensureParentFolder(L"plain.txt"), L"plain.txt");
  EXPECT_EQ(common::ensureParentFolder(L""), L"");
  ASSERT_TRUE(zqtest::writeAll(dir / L"blocker", "x"));
  const std::wstring blocked = dir / L"blocker\\sub\\file.txt";
  EXPECT_EQ(common::ensureParentFolder(blocked), blocked);
  EXPECT_TRUE(isFile(dir / L"blocker"));
}
