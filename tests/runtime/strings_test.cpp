#include <gtest/gtest.h>

#include "utility/strings.h"

using Pieces = std::vector<std::wstring>;

TEST(Split, CutsTrimsAndKeepsEmptyPieces) {
  struct Case {
    std::wstring text, delim;
    Pieces expected;
  };
  const Case cases[] = {
      {L"", L"_", {}},
      {L"a_b", L"", {}},
      {L"abc", L"_", {L"abc"}},
      {L"a_b_c", L"_", {L"a", L"b", L"c"}},
      {L" a _  b _c ", L"_", {L"a", L"b", L"c"}},
      {L"\ta_b\t", L"_", {L"\ta", L"b\t"}},  // tabs stay
      {L"a_", L"_", {L"a", L""}},
      {L"_a", L"_", {L"", L"a"}},
      {L"a__b", L"_", {L"a", L"", L"b"}},
      {L"   ", L"_", {L""}},
      {L"a::b::", L"::", {L"a", L"b", L""}},
      {L"a:::b", L"::", {L"a", L":b"}},  // searching resumes after each match
  };
  for (const auto& c : cases) EXPECT_EQ(utility::split(c.text, c.delim), c.expected) << "text [" << c.text.size() << "]";
}

TEST(Trim, RemovesOnlySpacesAtBothEnds) {
  const std::pair<std::wstring, std::wstring> wide[] = {
      {L"", L""}, {L"   ", L""}, {L" a b ", L"a b"}, {L"\ta\t", L"\ta\t"}, {L"x", L"x"}, {L"  x", L"x"}};
  for (auto [in, out] : wide) {
    utility::trim(in);
    EXPECT_EQ(in, out);
  }
  std::string narrow = "  a\tb  ";
  utility::trim(narrow);
  EXPECT_EQ(narrow, "a\tb");
  std::string blank = "  ";
  utility::trim(blank);
  EXPECT_EQ(blank, "");
}

TEST(EndsWith, ComparesTheTailExactly) {
  EXPECT_TRUE(utility::endsWith(std::wstring(L"abc.exe"), std::wstring(L".exe")));
  EXPECT_TRUE(utility::endsWith(std::wstring(L"abc"), std::wstring(L"")));
  EXPECT_FALSE(utility::endsWith(std::wstring(L"abc.EXE"), std::wstring(L".exe")));
  EXPECT_FALSE(utility::endsWith(std::wstring(L"xe"), std::wstring(L".exe")));
  EXPECT_TRUE(utility::endsWith(std::string("a\r\n\r\n"), std::string("\r\n\r\n")));
  EXPECT_FALSE(utility::endsWith(std::string("\n"), std::string("\r\n")));
}

TEST(PathsEquivalent, IgnoresSeparatorsAndAllowsALongerSecondPath) {
  struct Case {
    std::wstring first, second;
    bool expected;
  };
  const Case cases[] = {
      {L"C:\\Program Files\\zq", L"C:\\Program Files\\zq", true},
      {L"C:\\Program Files\\zq", L"C:/Program Files/zq", true},
      {L"C:\\Program Files\\zq", L"C:\\\\Program Files\\\\zq\\", true},
      {L"C:\\Program Files\\zq\\", L"C:/Program Files//zq", true},
      {L"C:\\Program Files\\zq", L"C:\\Program Files", false},  // longer first
      {L"C:\\Program Files", L"C:\\Program Files\\zq", true},   // shorter first
      {L"C:\\a", L"C:\\ab", true},                              // name extended
      {L"C:\\zq", L"c:\\zq", false},                            // case counts
      {L"C:\\zq", L"D:\\zq", false},
      {L"", L"anything", true},
      {L"a", L"", false},
      {L"\\\\", L"", true},
  };
  for (const auto& c : cases)
    EXPECT_EQ(pathsEquivalent(c.first, c.second), c.expected) << "case " << (&c - cases);
}
