#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

#include "app/window_ipc.h"

namespace {

struct Recorder : utility::IWindowIPCHandle {
  std::vector<UINT> messages;
  LRESULT onHandleWindowIPC(UINT msg, WPARAM, LPARAM) override {
    messages.push_back(msg);
    return 77;  // the window answers 0 regardless
  }
};

const wchar_t kClass[] = L"zq_rt_ipc_test_window";

}  // namespace

TEST(WindowIPC, ForwardsMessagesAboveWmUserAndCopyDataAnsweringZero) {
  Recorder recorder;
  CWindowIPC ipc;
  ASSERT_TRUE(ipc.create(kClass, &recorder));
  ASSERT_NE(ipc.hwnd, nullptr);
  EXPECT_EQ(ipc.handler, &recorder);
  EXPECT_EQ(FindWindowW(kClass, nullptr), ipc.hwnd);
  EXPECT_FALSE(IsWindowVisible(ipc.hwnd));

  EXPECT_EQ(SendMessageW(ipc.hwnd, WM_USER, 0, 0), 0);
  EXPECT_TRUE(recorder.messages.empty()) << "0x0400 itself goes to default processing";
  EXPECT_EQ(SendMessageW(ipc.hwnd, WM_USER + 1, 0, 0), 0);
  EXPECT_EQ(SendMessageW(ipc.hwnd, 11123, 0, 0), 0);

  char payload[] = "hello";
  COPYDATASTRUCT data = {1, sizeof(payload), payload};
  EXPECT_EQ(SendMessageW(ipc.hwnd, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data)), 0);
  EXPECT_EQ(recorder.messages, (std::vector<UINT>{WM_USER + 1, 11123, WM_COPYDATA}));

  // Below the user range nothing is forwarded.
  SendMessageW(ipc.hwnd, WM_NULL, 0, 0);
  SendMessageW(ipc.hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"x"));
  EXPECT_EQ(recorder.messages.size(), 3u);
}

TEST(WindowIPC, ASecondWindowOfTheSameClassWorksAndDestructionEndsTheWindow) {
  Recorder first, second;
  HWND firstWindow = nullptr;
  {
    CWindowIPC a;
    ASSERT_TRUE(a.create(kClass, &first));
    CWindowIPC b;  // the class is registered already: still created
    ASSERT_TRUE(b.create(kClass, &second));
    EXPECT_NE(a.hwnd, b.hwnd);
    SendMessageW(b.hwnd, WM_USER + 5, 0, 0);
    EXPECT_TRUE(first.messages.empty());
    EXPECT_EQ(second.messages, std::vector<UINT>{WM_USER + 5});
    firstWindow = a.hwnd;
  }
  EXPECT_FALSE(IsWindow(firstWindow));
}

TEST(WindowIPC, FailedCreationLeavesTheHandlerUnset) {
  Recorder recorder;
  CWindowIPC ipc;
  EXPECT_FALSE(ipc.create(L"", &recorder));  // no class of that name can exist
  EXPECT_EQ(ipc.hwnd, nullptr);
  EXPECT_EQ(ipc.handler, nullptr);
}
