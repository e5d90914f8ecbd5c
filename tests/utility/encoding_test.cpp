#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "utility/encoding.h"

TEST(Encoding, MultiByteToWideLengthRules) {
  struct Case {
    const char* bytes;
    int length;
    std::wstring expected;
  } cases[] = {
      {"abc\0def", -1, L"abc"},      // -1 stops at the first zero, terminator dropped
      {"abc\0def", 7, std::wstring(L"abc\0def", 7)},  // an explicit length keeps zeros
      {"abc", 2, L"ab"},
      {"", -1, L""},
      {"abc", 0, L""},
      {"abc", -2, L""},
      {nullptr, 3, L""},
      {nullptr, -1, L""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(utility::multiByteToWide(c.bytes, c.length, CP_UTF8), c.expected)
        << (c.bytes ? c.bytes : "(null)") << " / " << c.length;
}

TEST(Encoding, WideToAnsiLengthRules) {
  EXPECT_EQ(utility::wideToAnsi(L"abc", -1), "abc");
  EXPECT_EQ(utility::wideToAnsi(L"abc", 2), "ab");
  EXPECT_EQ(utility::wideToAnsi(L"", -1), "");
  EXPECT_EQ(utility::wideToAnsi(L"abc", 0), "");
  EXPECT_EQ(utility::wideToAnsi(L"abc", -5), "");
  EXPECT_EQ(utility::wideToAnsi(nullptr, 3), "");
  EXPECT_EQ(utility::wideToAnsi(std::wstring()), "");
  EXPECT_EQ(utility::wideToAnsi(std::wstring(L"GET /a?b=1 HTTP/1.1")), "GET /a?b=1 HTTP/1.1");
}

TEST(Encoding, Utf8RoundTripOfChineseAndEmptyText) {
  const std::string utf8 = "\xe5\xae\x89\xe8\xa3\x85 ok \xf0\x9f\x98\x80";  // 安装 ok, then U+1F600
  const std::wstring wide = L"\x5b89\x88c5 ok \xd83d\xde00";
  EXPECT_EQ(utility::utf8ToWide(utf8), wide);
  EXPECT_EQ(utility::wideToUtf8(wide), utf8);
  EXPECT_EQ(utility::utf8ToWide(""), L"");
  EXPECT_EQ(utility::wideToUtf8(L""), "");
  // Zero bytes inside a byte string are text like any other.
  EXPECT_EQ(utility::utf8ToWide(std::string("a\0b", 3)), std::wstring(L"a\0b", 3));
}

TEST(Encoding, AnsiRoundTripOfAscii) {
  EXPECT_EQ(utility::ansiToWide("http://127.0.0.1:8080/x%20y"), L"http://127.0.0.1:8080/x%20y");
  EXPECT_EQ(utility::ansiToWide(""), L"");
  // A character the code page lacks becomes its default character, not nothing.
  std::string converted = utility::wideToAnsi(std::wstring(L"a\x4e2d" L"b"));
  ASSERT_GE(converted.size(), 3u);
  EXPECT_EQ(converted.front(), 'a');
  EXPECT_EQ(converted.back(), 'b');
}
