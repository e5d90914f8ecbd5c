#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>

#include "model/install_path.h"

namespace {

// Drive letter that this prefix does not have.
std::wstring missingDrive() {
  DWORD mask = GetLogicalDrives();
  for (int i = 25; i >= 3; --i) {
    if (!(mask & (1u << i))) return std::wstring(1, static_cast<wchar_t>(L'A' + i));
  }
  return L"Q";
}

TEST(InstallPath, NormalizePath) {
  EXPECT_EQ(model::normalizePath(L"D:/A//B\\\\\\c/"), L"d:\\a\\b\\c");
  EXPECT_EQ(model::normalizePath(L"\\\\server\\share\\"), L"server\\share");
  EXPECT_EQ(model::normalizePath(L"\\\\\\"), L"");
  EXPECT_EQ(model::normalizePath(L"C:\\"), L"c:");
}

TEST(InstallPath, ValidityTable) {
  const std::wstring none = missingDrive();
  struct Case {
    std::wstring path;
    bool valid;
  } cases[] = {
      {L"C:\\a\\b", true},
      {L"c:/a/b/", true},
      {L"  C:\\a\\b  ", true},
      {L"C:\\Program Files\\x y", true},
      {L"C:\\", false},
      {L"C:", false},
      {L"C:\\a\\ \\b", false},
      {L"C:\\a\\\\\\b", true},  // doubled separators collapse first
      {L"C:\\a:b", false},
      {L"C:\\a*b", false},
      {L"C:\\a?b", false},
      {L"C:\\a<b", false},
      {L"C:\\a>b", false},
      {L"C:\\a|b", false},
      {L"C:\\a\"b", false},
      {L"Tessarin\\zqplayer2\\", false},
      {none + L":\\a\\b", false},
      {L"", false},
  };
  for (const Case& c : cases) EXPECT_EQ(model::isValidInstallPath(c.path), c.valid) << c.path;
}

TEST(InstallPath, FolderRuleTable) {
  const std::wstring none = missingDrive();
  struct Case {
    std::wstring text;
    std::wstring result;
  } cases[] = {
      {L"C:\\", L"C:\\Tessarin\\zqplayer2\\"},
      {L"C:\\Games", L"C:\\Games\\zqplayer2\\"},
      {L"C:\\Games\\ZQPlayer2\\", L"C:\\Games\\ZQPlayer2\\"},
      {L"C:/Games//x ", L"C:\\Games\\x\\zqplayer2\\"},
      {L"C:\\my zqplayer2 copy", L"C:\\my zqplayer2 copy\\"},
      // Invalid texts stay as typed, but "zqplayer2\" gets its separator.
      {none + L":\\Games", none + L":\\Games\\zqplayer2\\"},
      {L"C:\\a*b", L"C:\\a*b\\zqplayer2\\"},
      {L"C:\\a*b\\", L"C:\\a*b\\zqplayer2\\"},
      {L"garbage", L"garbage\\zqplayer2\\"},
      {L"", L"zqplayer2\\"},
  };
  for (const Case& c : cases) {
    std::wstring out;
    ASSERT_TRUE(model::applyFolderRule(c.text, L"C:\\current\\zqplayer2\\", out)) << c.text;
    EXPECT_EQ(out, c.result) << c.text;
  }
  std::wstring out = L"unchanged";
  EXPECT_FALSE(model::applyFolderRule(L"C:\\same\\", L"C:\\same\\", out));
  EXPECT_EQ(out, L"unchanged");
}

TEST(InstallPath, CheckRuleOrderAndSpaceLimit) {
  using model::InstallCheck;
  EXPECT_EQ(model::checkInstallRule(false, false, 0), InstallCheck::LicenceNotAccepted);
  EXPECT_EQ(model::checkInstallRule(true, false, 5000), InstallCheck::InvalidPath);
  EXPECT_EQ(model::checkInstallRule(true, true, 1023.99), InstallCheck::NotEnoughSpace);
  EXPECT_EQ(model::checkInstallRule(true, true, 1024.0), InstallCheck::Ok);
  EXPECT_STREQ(model::installCheckMessage(InstallCheck::LicenceNotAccepted), L"必须接受协议才能安装！");
  EXPECT_STREQ(model::installCheckMessage(InstallCheck::InvalidPath), L"文件路径无效！请重新输入。");
  EXPECT_STREQ(model::installCheckMessage(InstallCheck::NotEnoughSpace), L"磁盘空间不足！请更换路径或清理空间。");
  EXPECT_STREQ(model::installCheckMessage(InstallCheck::Ok), L"");
}

TEST(InstallPath, MaxFreeDriveRule) {
  EXPECT_EQ(model::pickMaxFreeDrive({{L"C:\\", 10}, {L"D:\\", 20}, {L"E:\\", 20}}), L"D:\\");
  EXPECT_EQ(model::pickMaxFreeDrive({{L"C:\\", 5}, {L"D:\\", 5}}), L"C:\\");
  EXPECT_EQ(model::pickMaxFreeDrive({{L"C:\\", 0}}), L"");
  EXPECT_EQ(model::pickMaxFreeDrive({}), L"");
}

TEST(InstallPath, DrivesOfThePrefix) {
  std::vector<std::wstring> drives = model::listFixedDrives();
  ASSERT_FALSE(drives.empty());
  EXPECT_EQ(drives.front(), L"C:\\");
  std::wstring best = model::getMaxFreeSpaceDrive();
  EXPECT_NE(std::find(drives.begin(), drives.end(), best), drives.end());
  EXPECT_GT(model::getVolumeFreeMB(best), 0);
  EXPECT_GT(model::getFreeSpaceMB(L"C:\\whatever\\below"), 0);
  EXPECT_EQ(model::getFreeSpaceMB(missingDrive() + L":\\x"), 0);
}

}  // namespace
