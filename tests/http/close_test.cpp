// close() from another thread while a transfer runs: the transfer fails
// with the code of its step, quickly, and the wrapper stays usable.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "tests/http/http_test_support.h"

using utility::CHttpClientWrapper;

namespace {

// WinINet under Wine does not return from a blocked call when its handle is
// closed; such a transfer fails when the call returns (the server ends its
// stall after a second), so its runs are fewer.
constexpr int kSocketIterations = 50;
constexpr int kWinInetIterations = 15;

// Records like RecordingSink and tells the test thread about the first piece.
struct SignallingSink : httptest::RecordingSink {
  std::mutex m;
  std::condition_variable cv;
  bool gotData = false;
  bool onHttpRecvData(const char* data, int length) override {
    bool ok = RecordingSink::onHttpRecvData(data, length);
    std::lock_guard<std::mutex> guard(m);
    gotData = true;
    cv.notify_all();
    return ok;
  }
  bool waitForData(int ms) {
    std::unique_lock<std::mutex> guard(m);
    return cv.wait_for(guard, std::chrono::milliseconds(ms), [this] { return gotData; });
  }
};

struct Run {
  bool ok = true;
  int code = 0;
  int errors = 0;
  int systemError = 0;
  ULONGLONG ms = 0;  // from close() to the end of the transfer
};

// Opens on a worker, lets it run into the blocking step, closes from here.
// waitForData: the step is the body (first piece seen first); otherwise a
// delay of delayMs after open.
Run closeDuringTransfer(CHttpClientWrapper& client, const std::wstring& url, bool waitForData,
                        int delayMs) {
  SignallingSink sink;
  std::atomic<bool> opened{false};
  Run run;
  std::thread worker([&] {
    if (!client.open(url, &sink)) {
      opened = true;
      run.ok = false;
      return;
    }
    opened = true;
    run.ok = client.perform();
  });
  while (!opened) Sleep(1);
  if (waitForData) {
    EXPECT_TRUE(sink.waitForData(10000));
  }
  Sleep(delayMs);
  ULONGLONG start = GetTickCount64();
  client.close();
  worker.join();
  run.ms = GetTickCount64() - start;
  run.code = sink.firstCode();
  run.errors = static_cast<int>(sink.errors.size());
  if (!sink.errors.empty()) run.systemError = sink.errors[0].second;
  client.close();  // harmless after the other thread's close
  return run;
}

void expectCleanFailures(int type, const std::wstring& url, bool waitForData, int step,
                         std::initializer_list<int> earlierSteps) {
  const int iterations = type == 1 ? kSocketIterations : kWinInetIterations;
  CHttpClientWrapper client;  // one wrapper for every iteration, as the workflow retries with it
  client.connectionType = type;
  int atStep = 0;
  for (int i = 0; i < iterations; ++i) {
    Run run = closeDuringTransfer(client, url, waitForData, waitForData ? i % 4 : 20 + i % 7);
    SCOPED_TRACE("iteration " + std::to_string(i));
    EXPECT_FALSE(run.ok);
    EXPECT_EQ(run.errors, 1);
    bool known = run.code == step;
    for (int c : earlierSteps) known = known || run.code == c;
    EXPECT_TRUE(known) << "code " << run.code;
    EXPECT_EQ(run.systemError, ERROR_OPERATION_ABORTED);
    if (run.code == step) ++atStep;
    EXPECT_LT(run.ms, 5000u);
  }
  EXPECT_GT(atStep, iterations / 2) << "most closes should hit the blocking step";
  // The wrapper still works afterwards.
  httptest::RecordingSink sink;
  ASSERT_TRUE(client.open(httptest::httpUrl("/fixed?n=1000"), &sink));
  EXPECT_TRUE(client.perform());
  EXPECT_EQ(sink.body, httptest::pattern(0, 1000));
  client.close();
}

std::wstring stallConnectUrl() {
  return L"http://127.0.0.1:" + std::to_wstring(httptest::serverPort("stall")) + L"/";
}

}  // namespace

TEST(CloseFromOtherThread, SocketBlockedInRead) {
  expectCleanFailures(1, httptest::httpUrl("/stall-body?n=1000000&send=1000&t=30"), true, 19, {});
}

TEST(CloseFromOtherThread, SocketBlockedInConnect) {
  expectCleanFailures(1, stallConnectUrl(), false, 12, {});
}

TEST(CloseFromOtherThread, SocketBlockedInHeader) {
  expectCleanFailures(1, httptest::httpUrl("/stall-header?t=30"), false, 17, {12, 16});
}

TEST(CloseFromOtherThread, WinInetBlockedInRead) {
  // WinINet fills its 32768-byte reads: the second read waits for more.
  expectCleanFailures(0, httptest::httpUrl("/stall-body?n=1000000&send=40000&t=1"), true, 19, {});
}

TEST(CloseFromOtherThread, WinInetBlockedInSend) {
  // WinINet connects and waits for the response header inside the send step.
  expectCleanFailures(0, httptest::httpUrl("/stall-header?t=1"), false, 16, {12});
}

TEST(CloseFromOtherThread, CloseReturnsAtOnceOnTheClosingThread) {
  for (int type : {0, 1}) {
    CHttpClientWrapper client;
    client.connectionType = type;
    httptest::RecordingSink sink;
    std::atomic<bool> opened{false};
    std::thread worker([&] {
      opened = client.open(httptest::httpUrl("/stall-header?t=2"), &sink);
      if (opened) client.perform();
      opened = true;
    });
    while (!opened) Sleep(1);
    Sleep(100);
    ULONGLONG start = GetTickCount64();
    client.close();
    EXPECT_LT(GetTickCount64() - start, 200u) << "type " << type;
    worker.join();
  }
}
