#include <gtest/gtest.h>

#include <string>

#include "utility/log.h"

namespace {

std::string lastFunction;
int lastLine = 0;
std::wstring lastMessage;
void capture(const char* function, int line, const wchar_t* message) {
  lastFunction = function;
  lastLine = line;
  lastMessage = message;
}

struct SinkGuard {
  SinkGuard() { utility::logSink = capture; lastMessage.clear(); }
  ~SinkGuard() { utility::logSink = nullptr; }
};

}  // namespace

TEST(LogCall, FormatsWideArgumentsAndKeepsPercentSigns) {
  SinkGuard guard;
  ZQ_LOG("Test::run", L"url %s code %d", L"http://h/a%20b", 7);
  EXPECT_EQ(lastFunction, "Test::run");
  EXPECT_GT(lastLine, 0);
  EXPECT_EQ(lastMessage, L"url http://h/a%20b code 7");
}

TEST(LogCall, CutsMessagesTo511Units) {
  SinkGuard guard;
  std::wstring longText(2000, L'x');
  ZQ_LOG("Test::run", L"%s", longText.c_str());
  EXPECT_EQ(lastMessage.size(), 511u);
}

TEST(LogCall, CutNeverSplitsASurrogatePair) {
  SinkGuard guard;
  std::wstring text(510, L'x');
  text += L"\xd83d\xde00";  // the pair straddles the 511-unit limit
  ZQ_LOG("Test::run", L"%s", text.c_str());
  EXPECT_EQ(lastMessage, std::wstring(510, L'x'));
}

TEST(LogCall, DropsCallsWithoutSink) {
  utility::logSink = nullptr;
  lastMessage = L"untouched";
  ZQ_LOG("Test::run", L"hello");
  EXPECT_EQ(lastMessage, L"untouched");
}
