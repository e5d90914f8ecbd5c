// One task on one thread of its own. Embedded by value in its owner; start
// and stop are called only from the owner's thread (the UI thread), so the
// slot has no lock. Neither copyable nor movable: the running thread is
// tied to the task, not to the slot's address, but the owner's lifetime is.
#pragma once

#include "utility/handle.h"
#include "utility/runable.h"

class WorkerSlot {
 public:
  WorkerSlot() = default;
  // Same as stop(0): releases a finished task, detaches a running one.
  // Owners call stop with their own time-out first.
  ~WorkerSlot();
  WorkerSlot(const WorkerSlot&) = delete;
  WorkerSlot& operator=(const WorkerSlot&) = delete;

  // Takes ownership of `task` (non-null) in every case.
  // - A thread handle is held (running or finished, until stop): the task is
  //   released unrun, false.
  // - The thread cannot be created (_beginthreadex fails): the task is
  //   released unrun, the slot stays empty, false (a later start may succeed).
  // - Otherwise the task runs once on a new thread; true. It stays owned by
  //   the slot until stop.
  bool start(Runable* task);

  // Waits up to timeoutMs for the thread. Ended: closes the handle and
  // releases the task (exactly once). Not ended in time: the thread is never
  // terminated (that could leave the log, dispatcher or heap locks held);
  // it is detached together with its task, which both live until the
  // process ends (the task is then never released). Logs the detachment.
  // The slot is empty afterwards in every case. Empty slot: nothing happens.
  void stop(unsigned timeoutMs);

  // True from a successful start until stop, also after the thread ended.
  bool hasThread() const { return thread_.valid(); }

 private:
  Runable* task_ = nullptr;
  utility::UniqueHandle thread_;
};
