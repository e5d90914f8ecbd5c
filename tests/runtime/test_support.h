// Shared helpers of the runtime tests: a capturing log sink, a task that
// counts its runs and releases, a message pump, and fixture paths.
#pragma once

#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

#include "tests/support/log_capture.h"
#include "utility/log.h"
#include "utility/runable.h"

namespace rt {

using testsupport::LogCapture;
using testsupport::LogLine;

// Counts of one tracked task, kept outside the task so they outlive it.
struct TaskCounts {
  std::atomic<int> runs{0};
  std::atomic<int> releases{0};
  std::atomic<int> releasedWhileRunning{0};
  std::atomic<bool> running{false};
};

class CountingTask : public Runable {
 public:
  explicit CountingTask(TaskCounts& counts, void (*body)(void*) = nullptr, void* argument = nullptr)
      : counts_(counts), body_(body), argument_(argument) {}
  void run() override {
    TaskCounts& counts = counts_;  // the body may release this task
    counts.running = true;
    counts.runs += 1;
    if (body_) body_(argument_);
    counts.running = false;
  }
  void release() override {
    if (counts_.running) counts_.releasedWhileRunning += 1;
    counts_.releases += 1;
    delete this;
  }

 private:
  TaskCounts& counts_;
  void (*body_)(void*);
  void* argument_;
};

// Handles this thread's messages until `done` holds or timeoutMs passes.
// Returns done().
template <class Pred>
bool pumpUntil(Pred done, unsigned timeoutMs) {
  const ULONGLONG end = GetTickCount64() + timeoutMs;
  while (!done()) {
    if (GetTickCount64() >= end) return false;
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    if (done()) break;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
  return true;
}

inline void pumpFor(unsigned ms) {
  pumpUntil([] { return false; }, ms);
}

// Folder of the running test program (where the fixtures are built).
std::wstring exeFolder();
// A fresh empty folder under the temp folder; removed by the caller if at all.
std::wstring freshTempFolder(const wchar_t* tag);
std::wstring readFileText(const std::wstring& path);  // UTF-16 file written by the child

}  // namespace rt
