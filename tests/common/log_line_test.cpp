#include <gtest/gtest.h>

#include <windows.h>

#include <regex>
#include <string>

#include "common/log_stream.h"
#include "tests/common/log_fixture.h"
#include "utility/encoding.h"

namespace {

using zqtest::LogFixture;

// month-day TAB h:m:s.ms TAB thread TAB function TAB (line):message
const std::regex kLine(
    R"(^(\d\d)-(\d\d)\t(\d\d):(\d\d):(\d\d)\.(\d\d\d)\t(\d{4,})\t([^\t]*)\t\((-?\d+)\):([\s\S]*)$)");

bool isValidUtf8(const std::string& s) {
  return utility::wideToUtf8(utility::utf8ToWide(s)) == s;
}

}  // namespace

TEST(LogHeader, FieldsAndThreadIdPadding) {
  SYSTEMTIME t{};
  t.wYear = 2026;
  t.wMonth = 3;
  t.wDay = 7;
  t.wHour = 4;
  t.wMinute = 5;
  t.wSecond = 6;
  t.wMilliseconds = 7;
  struct Case {
    DWORD thread;
    const char* function;
    int line;
    const char* expected;
  } cases[] = {
      {12, "utility::process::execute", 42, "03-07\t04:05:06.007\t0012\tutility::process::execute\t(42):"},
      {123456, "wWinMain", 7, "03-07\t04:05:06.007\t123456\twWinMain\t(7):"},
      {0, nullptr, -1, "03-07\t04:05:06.007\t0000\t\t(-1):"},
  };
  for (const auto& c : cases) {
    char out[512];
    size_t n = common::formatLogHeader(out, sizeof out, t, c.thread, c.function, c.line);
    EXPECT_EQ(std::string(out, n), c.expected);
  }
  t.wMonth = 12;
  t.wDay = 31;
  t.wHour = 23;
  t.wMinute = 59;
  t.wSecond = 58;
  t.wMilliseconds = 999;
  char out[512];
  size_t n = common::formatLogHeader(out, sizeof out, t, 4321, "f", 1);
  EXPECT_EQ(std::string(out, n), "12-31\t23:59:58.999\t4321\tf\t(1):");

  // A header longer than its buffer is cut and still terminated.
  std::string longName(600, 'n');
  n = common::formatLogHeader(out, 100, t, 1, longName.c_str(), 1);
  EXPECT_EQ(n, 99u);
  EXPECT_EQ(out[99], '\0');
}

TEST_F(LogFixture, LineOnDiskHasHeaderFieldsAndMessage) {
  start();
  SYSTEMTIME before;
  GetLocalTime(&before);
  ZQ_LOG("ZQDownloaderModel::init", L"url %s = %d%%", L"http://h/a%20b?\x5b89\x88c5", 5);
  common::writeLog("Direct::call", 99, L"100% sure %s %d");
  std::string text = stopAndRead();
  ASSERT_FALSE(text.empty());
  EXPECT_NE(text.substr(0, 3), "\xEF\xBB\xBF");  // no byte-order mark
  auto lines = LogFixture::splitLines(text);
  ASSERT_EQ(lines.size(), 2u);
  ASSERT_EQ(text.substr(text.size() - 2), "\r\n");

  std::smatch m;
  ASSERT_TRUE(std::regex_match(lines[0], m, kLine)) << lines[0];
  EXPECT_EQ(std::stoi(m[1]), before.wMonth);
  EXPECT_EQ(std::stoi(m[2]), before.wDay);
  EXPECT_EQ(std::stoul(m[7]), GetCurrentThreadId());
  EXPECT_EQ(m[8], "ZQDownloaderModel::init");
  EXPECT_GT(std::stoi(m[9]), 0);
  EXPECT_EQ(m[10], "url http://h/a%20b?\xe5\xae\x89\xe8\xa3\x85 = 5%");

  ASSERT_TRUE(std::regex_match(lines[1], m, kLine)) << lines[1];
  EXPECT_EQ(m[8], "Direct::call");
  EXPECT_EQ(m[9], "99");
  EXPECT_EQ(m[10], "100% sure %s %d");  // the message is text, not a format
}

TEST_F(LogFixture, LongMessagesAreCutAtCharacterBoundaries) {
  start();
  const std::wstring chinese(511, L'\x4e2d');  // 3 UTF-8 bytes each
  std::wstring pairs;
  for (int i = 0; i < 255; ++i) pairs += L"\xd83d\xde00";  // 4 UTF-8 bytes per pair
  pairs += L"a";
  const std::wstring mixed = L"ab" + chinese.substr(0, 300);
  const std::wstring ascii(600, L'x');
  const std::wstring messages[] = {chinese, pairs, mixed, ascii};
  for (const auto& message : messages) ZQ_LOG("Cut::test", L"%s", message.c_str());
  // A first half of a surrogate pair at the end is dropped, not turned into U+FFFD.
  common::writeLog("Cut::test", 1, L"abc\xd83d");

  auto lines = LogFixture::splitLines(stopAndRead());
  ASSERT_EQ(lines.size(), 5u);
  for (size_t i = 0; i < 4; ++i) {
    std::smatch m;
    ASSERT_TRUE(std::regex_match(lines[i], m, kLine)) << i;
    const std::string kept = m[10];
    const std::string full = utility::wideToUtf8(messages[i].substr(0, 511));
    const size_t room = 512 - 2 - (lines[i].size() - kept.size());
    EXPECT_LE(lines[i].size() + 2, 512u) << i;
    EXPECT_TRUE(isValidUtf8(kept)) << i;
    EXPECT_EQ(full.compare(0, kept.size(), kept), 0) << i;  // a prefix of the message
    EXPECT_LT(room - kept.size(), 4u) << i;  // nothing that fitted was dropped
    EXPECT_GT(kept.size(), 400u) << i;       // cut, not lost
  }
  std::smatch m;
  ASSERT_TRUE(std::regex_match(lines[4], m, kLine));
  EXPECT_EQ(m[10], "abc");
}

TEST_F(LogFixture, EmptyMessageStillMakesALine) {
  start();
  common::writeLog("Empty::message", 3, L"");
  common::writeLog("Null::message", 4, nullptr);
  auto lines = LogFixture::splitLines(stopAndRead());
  ASSERT_EQ(lines.size(), 2u);
  std::smatch m;
  ASSERT_TRUE(std::regex_match(lines[0], m, kLine));
  EXPECT_EQ(m[10], "");
}

TEST(LogStreamTest, WithoutWriterTheLineIsDropped) {
  ASSERT_TRUE(common::testing::resetLogWriter(5000));
  // Must not crash or block; there is nowhere for the line to go.
  common::writeLog("No::writer", 1, L"dropped");
  SUCCEED();
}
