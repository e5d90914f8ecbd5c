// The UI-thread dispatcher: a hidden message-only window of the UI thread
// through which any thread hands tasks to the UI thread, and through which
// UI code runs tasks on window timers. It owns every task handed to it and
// releases each exactly once: after running it, when dropping it (cancelled
// owner, failed post), or, for a timer task, when the timer is killed or
// refused. Created once, never destroyed.
#pragma once

#include <windows.h>

#include <cstdint>
#include <map>
#include <mutex>

#include "app/instance_ids.h"
#include "utility/runable.h"

class CMainThreadDispatcher {
 public:
  // Creates the single dispatcher and its window. Call on the thread that
  // will be the UI thread (its message loop runs every task), before any
  // worker exists. Later calls do nothing.
  static void create();
  // Null before create. Any thread.
  static CMainThreadDispatcher* instance();

  // Any thread. Takes ownership of `task` (non-null). Raises the owner's
  // pending count (a cancelled owner's -1 goes to 0) and posts MSG_RUN_TASK.
  // Posting order is the running order. If the message cannot be posted,
  // the count is lowered again, the task is released unrun, false.
  bool post(uintptr_t owner, Runable* task);

  // Any thread. Marks the owner cancelled (count -1): its queued tasks are
  // released unrun when their messages arrive, until a later post raises the
  // count again. An owner that never posted is left alone.
  void cancel(uintptr_t owner);

  // UI thread. Runs `task` (ownership taken) every intervalMs until
  // killTimer. Returns the timer id, or 0 when the system refuses the timer
  // (the task is then released unrun).
  UINT_PTR setTimer(UINT intervalMs, Runable* task);

  // UI thread. Stops the timer and releases its task at once (so a task that
  // kills its own timer must touch nothing of itself afterwards). Unknown
  // ids are ignored.
  void killTimer(UINT_PTR id);

  HWND hwnd() const { return hwnd_; }

  // Test hooks: stand-ins for PostMessageW and SetTimer, to provoke the
  // failures the system rarely gives. Null restores the system calls. Set
  // before any post; not synchronised.
  using PostFn = BOOL (*)(HWND, UINT, WPARAM, LPARAM);
  using SetTimerFn = UINT_PTR (*)(HWND, UINT_PTR, UINT);
  static void setSystemHooksForTest(PostFn post, SetTimerFn setTimer);

  CMainThreadDispatcher(const CMainThreadDispatcher&) = delete;
  CMainThreadDispatcher& operator=(const CMainThreadDispatcher&) = delete;

 private:
  CMainThreadDispatcher() = default;
  static LRESULT CALLBACK windowProc(HWND, UINT, WPARAM, LPARAM);
  void dispatch(uintptr_t owner, Runable* task);
  void onTimer(UINT_PTR id);

  std::mutex lock_;                    // guards owners_ only
  std::map<uintptr_t, long> owners_;   // pending count; -1 = cancelled
  HWND hwnd_ = nullptr;
  std::map<UINT_PTR, Runable*> timers_;  // UI thread only
  UINT_PTR lastTimerId_ = 0;             // UI thread only
};
