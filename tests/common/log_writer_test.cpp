#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "common/log_writer.h"
#include "tests/common/log_fixture.h"

namespace {

using zqtest::LogFixture;

// Polls until the file has `size` bytes; false after `ms`.
bool waitForSize(const std::wstring& path, size_t size, int ms) {
  for (int waited = 0; waited < ms; waited += 10) {
    if (zqtest::readAll(path).size() == size) return true;
    Sleep(10);
  }
  return false;
}

std::wstring numbered(int i, size_t width) {
  std::wstring text = L"line " + std::to_wstring(1000 + i) + L" ";
  text.resize(width, L'.');
  return text;
}

}  // namespace

TEST_F(LogFixture, StartingWithFFFEEmptiesTheFileOtherFilesAreAppendedTo) {
  const std::string utf16 = std::string("\xFF\xFE", 2) + std::string("o\0l\0d\0\r\0\n\0", 10);
  start(&utf16);
  ZQ_LOG("Bom::test", L"first");
  std::string text = stopAndRead();
  auto lines = splitLines(text);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_NE(lines[0].find("\tBom::test\t("), std::string::npos);
  EXPECT_NE(text[0], '\xFF');

  const std::string old = "old line\r\n";
  start(&old);
  ZQ_LOG("Append::test", L"second");
  text = stopAndRead();
  lines = splitLines(text);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], "old line");
  EXPECT_NE(lines[1].find("second"), std::string::npos);
}

TEST_F(LogFixture, FileReachingOneMebibyteIsEmptiedAfterTheBatch) {
  const std::string almost(common::LogWriter::kTruncateAt - 2000, 'a');
  start(&almost);
  // One batch of about 4.5 KB that crosses the limit: it is lost with the rest.
  common::testing::pauseLogWriter(true);
  for (int i = 0; i < 9; ++i) ZQ_LOG("Big::batch", L"%s", numbered(i, 480).c_str());
  common::testing::pauseLogWriter(false);
  ASSERT_TRUE(waitForSize(path_, 0, 5000)) << zqtest::readAll(path_).size();
  // Writing goes on in the emptied file.
  ZQ_LOG("After::truncation", L"fresh");
  auto lines = splitLines(stopAndRead());
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_NE(lines[0].find("\tAfter::truncation\t("), std::string::npos);
}

TEST_F(LogFixture, FileBelowOneMebibyteIsKept) {
  const std::string seed(common::LogWriter::kTruncateAt - 4000, 'a');
  start(&seed);
  ZQ_LOG("Small::batch", L"%s", numbered(0, 100).c_str());
  std::string text = stopAndRead();
  EXPECT_GT(text.size(), seed.size());
  EXPECT_EQ(text.compare(0, seed.size(), seed), 0);
}

TEST_F(LogFixture, OrderlyStopWritesPendingLinesPromptly) {
  start();
  for (int i = 0; i < 3; ++i) ZQ_LOG("Stop::test", L"pending %d", i);
  auto begin = std::chrono::steady_clock::now();
  EXPECT_TRUE(common::stopLogWriter(5000));
  auto took = std::chrono::steady_clock::now() - begin;
  EXPECT_LT(took, std::chrono::milliseconds(450));  // no waiting for the batch interval
  auto lines = splitLines(zqtest::readAll(path_));
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_NE(lines[2].find("pending 2"), std::string::npos);

  // After the stop lines are dropped, a second stop is harmless, and a new
  // start does not replace the stopped writer.
  ZQ_LOG("Stop::test", L"too late");
  EXPECT_TRUE(common::stopLogWriter(100));
  common::startLogWriter(dir_ / L"other.log");
  ZQ_LOG("Stop::test", L"still too late");
  EXPECT_TRUE(common::stopLogWriter(100));
  EXPECT_EQ(splitLines(zqtest::readAll(path_)).size(), 3u);
  EXPECT_FALSE(zqtest::isFile(dir_ / L"other.log"));
}

TEST_F(LogFixture, MoreThan4096PendingBytesDropsLaterLines) {
  start();
  common::testing::pauseLogWriter(true);
  for (int i = 0; i < 20; ++i) ZQ_LOG("Burst::test", L"%s", numbered(i, 400).c_str());
  auto lines = splitLines(stopAndRead());  // the stop ends the pause
  ASSERT_FALSE(lines.empty());
  const size_t lineBytes = lines[0].size() + 2;  // every line has the same length here
  // A line is taken while at most 4096 bytes are pending before it.
  EXPECT_EQ(lines.size(), common::LogWriter::kLimit / lineBytes + 1);
  for (size_t i = 0; i < lines.size(); ++i) {
    EXPECT_EQ(lines[i].size() + 2, lineBytes);
    EXPECT_NE(lines[i].find("line " + std::to_string(1000 + i) + " "), std::string::npos) << i;
  }
}

TEST_F(LogFixture, LinesFromSeveralThreadsStayWhole) {
  start();
  constexpr int kThreads = 4, kLines = 10;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t)
    threads.emplace_back([t] {
      for (int i = 0; i < kLines; ++i) ZQ_LOG("Thread::test", L"thread %d line %d end", t, i);
    });
  for (auto& t : threads) t.join();
  auto lines = splitLines(stopAndRead());
  ASSERT_EQ(lines.size(), static_cast<size_t>(kThreads * kLines));
  std::set<std::string> seen, threadIds;
  for (const auto& line : lines) {
    size_t colon = line.find("):");
    ASSERT_NE(colon, std::string::npos) << line;
    seen.insert(line.substr(colon + 2));
    threadIds.insert(line.substr(19, line.find('\t', 19) - 19));
  }
  EXPECT_EQ(seen.size(), static_cast<size_t>(kThreads * kLines));
  EXPECT_EQ(threadIds.size(), static_cast<size_t>(kThreads));
}

TEST_F(LogFixture, UnopenableFileLosesLinesSilently) {
  path_ = dir_ / L"missing-folder\\zqdownloader.log";
  start();
  ZQ_LOG("Lost::line", L"nowhere");
  EXPECT_TRUE(common::stopLogWriter(5000));
  EXPECT_FALSE(zqtest::isFile(path_));
}

TEST(LogWriterLifecycle, StopWithoutWriterAndEmptyPath) {
  ASSERT_TRUE(common::testing::resetLogWriter(5000));
  EXPECT_TRUE(common::stopLogWriter(0));
  common::startLogWriter(L"");  // an empty path starts nothing
  EXPECT_EQ(common::LogWriter::current(), nullptr);
}

TEST(LogWriterLifecycle, StopGivesUpOnAWriterThatCannotFinish) {
  ASSERT_TRUE(common::testing::resetLogWriter(5000));
  // A pipe nobody writes to: the writer's first read of the "file" blocks.
  const std::wstring pipe = L"\\\\.\\pipe\\zq_log_stuck_" + std::to_wstring(GetCurrentProcessId());
  utility::UniqueFile server(CreateNamedPipeW(pipe.c_str(), PIPE_ACCESS_DUPLEX,
                                              PIPE_TYPE_BYTE | PIPE_WAIT, 1, 4096, 4096, 0, nullptr));
  ASSERT_TRUE(server.valid());
  common::startLogWriter(pipe);
  // Wait until the writer holds the pipe.
  bool connected = false;
  for (int i = 0; i < 500 && !connected; ++i) {
    connected = ConnectNamedPipe(server.get(), nullptr) || GetLastError() == ERROR_PIPE_CONNECTED;
    if (!connected) Sleep(10);
  }
  ASSERT_TRUE(connected);
  Sleep(50);

  auto begin = std::chrono::steady_clock::now();
  EXPECT_FALSE(common::stopLogWriter(200));
  auto took = std::chrono::steady_clock::now() - begin;
  EXPECT_GE(took, std::chrono::milliseconds(190));
  EXPECT_LT(took, std::chrono::milliseconds(2000));

  server.reset();  // the blocked read fails, and the writer can end
  EXPECT_TRUE(common::testing::resetLogWriter(5000));
}
