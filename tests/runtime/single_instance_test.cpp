#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

#include "app/instance_ids.h"
#include "app/single_instance.h"
#include "app/window_ipc.h"
#include "tests/runtime/test_support.h"
#include "utility/handle.h"

namespace {

struct ShowRecorder : utility::IWindowIPCHandle {
  std::vector<UINT> messages;
  WPARAM wparam = 99;
  LPARAM lparam = 99;
  LRESULT onHandleWindowIPC(UINT msg, WPARAM w, LPARAM l) override {
    messages.push_back(msg);
    wparam = w;
    lparam = l;
    return 0;
  }
};

// Runs the probe (a second process doing the single-instance test) while
// this thread keeps handling its messages; returns the probe's exit code.
DWORD runProbe() {
  std::wstring commandLine = L"\"" + rt::exeFolder() + L"\\rt_instance_probe.exe\"";
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info = {};
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
    return 0xDEAD;
  utility::UniqueHandle process(info.hProcess), thread(info.hThread);
  rt::pumpUntil([&] { return WaitForSingleObject(process.get(), 0) == WAIT_OBJECT_0; }, 20000);
  DWORD code = 0xBEEF;
  if (WaitForSingleObject(process.get(), 0) != WAIT_OBJECT_0) {
    TerminateProcess(process.get(), 0xBEEF);
    return code;
  }
  GetExitCodeProcess(process.get(), &code);
  return code;
}

}  // namespace

TEST(SingleInstance, SecondProcessShowsTheFirstAndEnds) {
  rt::LogCapture log;
  utility::UniqueHandle mutex;
  ASSERT_FALSE(popupExistingInstance(mutex));  // this process is the first instance
  ASSERT_TRUE(mutex.valid());
  {
    const auto lines = log.lines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].function, "ZQDownloaderModel::popupExistPwnd");
    EXPECT_EQ(lines[0].message, L"CCmdLine::popupExistPwnd not exist");
  }

  // Before the IPC window exists a second instance finds nothing and ends.
  EXPECT_EQ(runProbe(), 20u);

  ShowRecorder recorder;
  CWindowIPC ipc;
  ASSERT_TRUE(ipc.create(kInstanceGuid, &recorder));
  EXPECT_EQ(runProbe(), 20u);
  EXPECT_TRUE(rt::pumpUntil([&] { return !recorder.messages.empty(); }, 5000));
  EXPECT_EQ(recorder.messages, std::vector<UINT>{MSG_SHOW_MAINFRAME});
  EXPECT_EQ(recorder.wparam, 0u);
  EXPECT_EQ(recorder.lparam, 0);

  // A second test inside this process also sees the running instance.
  rt::LogCapture again;
  utility::UniqueHandle other;
  EXPECT_TRUE(popupExistingInstance(other));
  EXPECT_FALSE(other.valid());
  {
    const auto lines = again.lines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].function, "ZQDownloaderModel::popupExistPwnd");
    EXPECT_EQ(lines[0].message, L"ZQDownloaderModel::popupExistPwnd exist");
  }
  rt::pumpUntil([&] { return recorder.messages.size() == 2; }, 2000);
  EXPECT_EQ(recorder.messages.size(), 2u);

  // Once the first instance lets go of the mutex, the next start is first.
  mutex.reset();
  EXPECT_EQ(runProbe(), 10u);
}
