// A log writer of the test's own on a file in a temporary folder, with
// utility::logSink installed; torn down (stopped and forgotten) after each test.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/log.h"
#include "common/testing.h"
#include "tests/common/test_files.h"
#include "utility/log.h"

namespace zqtest {

class LogFixture : public ::testing::Test {
 protected:
  void TearDown() override {
    utility::logSink = nullptr;
    EXPECT_TRUE(common::testing::resetLogWriter(5000));
  }

  // Optionally seeds the file, then starts the writer and installs the sink.
  void start(const std::string* seed = nullptr) {
    ASSERT_TRUE(common::testing::resetLogWriter(5000));
    if (seed) {
      ASSERT_TRUE(writeAll(path_, *seed));
    }
    common::startLogWriter(path_);
    utility::logSink = common::writeLog;
  }

  // Stops the writer (which writes out what is pending) and returns the file.
  std::string stopAndRead() {
    EXPECT_TRUE(common::stopLogWriter(5000));
    return readAll(path_);
  }

  // The file's lines, each without its CR LF; a last piece without one is
  // kept as it is, so a missing CR LF shows.
  static std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t at = 0;
    while (at < text.size()) {
      size_t end = text.find("\r\n", at);
      if (end == std::string::npos) {
        lines.push_back(text.substr(at));
        break;
      }
      lines.push_back(text.substr(at, end - at));
      at = end + 2;
    }
    return lines;
  }

  TempDir dir_;
  std::wstring path_ = dir_ / L"zqdownloader.log";
};

}  // namespace zqtest
