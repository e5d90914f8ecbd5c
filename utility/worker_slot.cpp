#include "utility/worker_slot.h"

#include <process.h>

#include <cerrno>

#include "utility/log.h"

namespace {

// The thread is handed the task itself, not the slot: a detached worker
// then never reads a slot that has been cleared or reused.
unsigned __stdcall threadEntry(void* argument) {
  static_cast<Runable*>(argument)->run();
  return 0;
}

}  // namespace

WorkerSlot::~WorkerSlot() { stop(0); }

bool WorkerSlot::start(Runable* task) {
  if (thread_) {
    task->release();
    return false;
  }
  uintptr_t handle = _beginthreadex(nullptr, 0, threadEntry, task, 0, nullptr);
  if (handle == 0) {
    const int error = errno;
    ZQ_LOG("WorkerSlot::start", L"thread start failed!!! errno = %d", error);
    task->release();
    return false;
  }
  task_ = task;
  thread_.reset(reinterpret_cast<HANDLE>(handle));
  return true;
}

void WorkerSlot::stop(unsigned timeoutMs) {
  if (!thread_) {
    // A slot without a thread holds no task (start keeps the two together).
    return;
  }
  if (WaitForSingleObject(thread_.get(), timeoutMs) == WAIT_OBJECT_0) {
    thread_.reset();
    task_->release();
    task_ = nullptr;
    return;
  }
  // Still running (or the wait failed): terminating it could leave the log
  // writer's, the dispatcher's or the heap's lock held, and freeing the task
  // would let it run on freed memory. So the thread and its task stay alive
  // until the process ends; only our handle to the thread is closed.
  ZQ_LOG("WorkerSlot::stop", L"worker did not end within %d ms, left running until exit",
         static_cast<int>(timeoutMs));
  thread_.reset();
  task_ = nullptr;
}
