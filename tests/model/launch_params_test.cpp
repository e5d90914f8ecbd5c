#include <gtest/gtest.h>

#include "model/launch_params.h"

namespace {

struct Case {
  const wchar_t* path;
  const wchar_t* openID;
  const wchar_t* package;
};

TEST(LaunchParams, FileNameTable) {
  const Case cases[] = {
      {L"C:\\dl\\setup.exe", L"100", L""},
      {L"C:\\dl\\a_b_c_d.exe", L"100", L""},
      {L"C:\\dl\\a_b.exe", L"100", L""},
      {L"C:\\dl\\x_com.example.game_123456.exe", L"123456", L"com.example.game"},
      {L"C:\\dl\\x_zv_123456.exe", L"123456", L""},
      {L"C:\\dl\\x_zv_1234.exe", L"1234", L""},
      {L"C:\\dl\\x__.exe", L"100", L""},
      {L"C:\\dl\\a _ pkg _ 12345.exe", L"12345", L"pkg"},
      {L"C:/dl/x_pkg_777.exe", L"777", L"pkg"},            // forward slashes only
      {L"x_pkg_777.exe", L"100", L""},                      // no separator: empty name
      {L"C:\\dl\\x_pkg_777", L"777", L"pkg"},              // no extension
      {L"C:\\d.l\\x_p.k_9.9.exe", L"9.9", L"p.k"},         // cut at the last dot
      // Browser copy suffix " (N)" is removed before the split.
      {L"C:\\dl\\x_zv_123456 (1).exe", L"123456", L""},
      {L"C:\\dl\\x_com.example.game_123456 (12).exe", L"123456", L"com.example.game"},
      // Pieces with characters that could change an elevated command line.
      {L"C:\\dl\\x_com.a game_123456.exe", L"123456", L""},
      {L"C:\\dl\\x_pkg_12 -path=C.exe", L"100", L"pkg"},
      {L"C:\\dl\\x_p&calc_123.exe", L"123", L""},
      {L"C:\\dl\\x_pkg_1|2.exe", L"100", L"pkg"},
      {L"C:\\dl\\x_my-pkg_ab-12.exe", L"ab-12", L"my-pkg"},
  };
  for (const Case& c : cases) {
    model::LaunchParams p = model::parseLaunchParams(c.path);
    EXPECT_EQ(p.openID, c.openID) << c.path;
    EXPECT_EQ(p.package, c.package) << c.path;
  }
}

TEST(LaunchParams, CopySuffixOnlyWhenWellFormed) {
  EXPECT_EQ(model::stripCopySuffix(L"a_b_c (1)"), L"a_b_c");
  EXPECT_EQ(model::stripCopySuffix(L"a_b_c (123)"), L"a_b_c");
  EXPECT_EQ(model::stripCopySuffix(L"a_b_c(1)"), L"a_b_c(1)");
  EXPECT_EQ(model::stripCopySuffix(L"a_b_c ()"), L"a_b_c ()");
  EXPECT_EQ(model::stripCopySuffix(L"a_b_c (x)"), L"a_b_c (x)");
  EXPECT_EQ(model::stripCopySuffix(L" (1)"), L"");
  EXPECT_EQ(model::stripCopySuffix(L"(1)"), L"(1)");
}

TEST(LaunchParams, BareFileName) {
  EXPECT_EQ(model::bareFileName(L"C:\\a\\b.c\\name.x.exe"), L"name.x");
  EXPECT_EQ(model::bareFileName(L"C:\\a/b\\name"), L"name");
  EXPECT_EQ(model::bareFileName(L"name.exe"), L"");
}

}  // namespace
