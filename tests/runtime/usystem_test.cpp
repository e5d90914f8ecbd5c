#include <gtest/gtest.h>

#include <windows.h>

#include <cwctype>

#include "tests/runtime/test_support.h"
#include "utility/usystem.h"

namespace {

std::wstring lower(std::wstring s) {
  for (auto& c : s) c = static_cast<wchar_t>(std::towlower(c));
  return s;
}

HWND makeWindow(const wchar_t* title) {
  HWND w = CreateWindowExW(0, L"STATIC", title, WS_OVERLAPPEDWINDOW, 50, 50, 200, 120, nullptr, nullptr, nullptr,
                           nullptr);
  ShowWindow(w, SW_SHOW);
  rt::pumpFor(100);
  return w;
}

}  // namespace

TEST(USystem, VersionAndSystemFolder) {
  EXPECT_GE(utility::usystem::osMajorVersion(), 5u);
  EXPECT_EQ(utility::usystem::isVistaOrLater(), utility::usystem::osMajorVersion() > 5);
  const std::wstring folder = utility::usystem::systemFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_NE(folder.back(), L'\\');
  EXPECT_EQ(lower(folder.substr(folder.size() - 9)), L"\\system32");
  EXPECT_NE(GetFileAttributesW((folder + L"\\taskkill.exe").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(USystem, ShowWndOnTopRestoresOrLiftsWithoutLeavingTopmost) {
  rt::LogCapture log;
  HWND w = makeWindow(L"zq rt on top");
  ShowWindow(w, SW_MINIMIZE);
  rt::pumpFor(100);
  ASSERT_TRUE(IsIconic(w));
  utility::usystem::showWndOnTop(w);
  rt::pumpFor(100);
  EXPECT_FALSE(IsIconic(w));
  EXPECT_EQ(log.messages(), (std::vector<std::wstring>{L"showWndOnTop begin", L"11111", L"22222", L"showWndOnTop end"}));

  rt::LogCapture second;
  utility::usystem::showWndOnTop(w);
  EXPECT_EQ(second.messages(),
            (std::vector<std::wstring>{L"showWndOnTop begin", L"33333", L"55555", L"showWndOnTop end"}));
  EXPECT_EQ(GetWindowLongPtrW(w, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
  EXPECT_TRUE(IsWindowVisible(w));
  for (const auto& line : second.lines()) EXPECT_EQ(line.function, "utility::usystem::showWndOnTop");

  SetWindowPos(w, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  rt::LogCapture third;
  utility::usystem::showWndOnTop(w);
  EXPECT_EQ(third.messages(),
            (std::vector<std::wstring>{L"showWndOnTop begin", L"33333", L"444444", L"showWndOnTop end"}));
  DestroyWindow(w);
}
