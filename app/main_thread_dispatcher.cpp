#include "app/main_thread_dispatcher.h"

#include <atomic>

#include "utility/log.h"

namespace {

std::atomic<CMainThreadDispatcher*> theInstance{nullptr};
CMainThreadDispatcher::PostFn postHook = nullptr;
CMainThreadDispatcher::SetTimerFn setTimerHook = nullptr;

}  // namespace

void CMainThreadDispatcher::create() {
  if (theInstance.load()) return;
  auto* dispatcher = new CMainThreadDispatcher();
  // A message-only window of this thread: every message to it, and so every
  // task, is handled by this thread's message loop.
  dispatcher->hwnd_ = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr,
                                      nullptr);
  if (dispatcher->hwnd_) {
    SetWindowLongPtrW(dispatcher->hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CMainThreadDispatcher::windowProc));
  } else {
    ZQ_LOG("CMainThreadDispatcher::create", L"create window failed!!! lastError = %d",
           static_cast<int>(GetLastError()));
  }
  theInstance.store(dispatcher);
}

CMainThreadDispatcher* CMainThreadDispatcher::instance() { return theInstance.load(); }

void CMainThreadDispatcher::setSystemHooksForTest(PostFn post, SetTimerFn setTimer) {
  postHook = post;
  setTimerHook = setTimer;
}

LRESULT CALLBACK CMainThreadDispatcher::windowProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  CMainThreadDispatcher* self = theInstance.load();
  if (self && hwnd == self->hwnd_) {
    if (msg == MSG_RUN_TASK) {
      self->dispatch(static_cast<uintptr_t>(wparam), reinterpret_cast<Runable*>(lparam));
      return 0;
    }
    if (msg == WM_TIMER) {
      self->onTimer(static_cast<UINT_PTR>(wparam));
      return 0;
    }
  }
  return DefWindowProcW(hwnd, msg, wparam, lparam);
}

bool CMainThreadDispatcher::post(uintptr_t owner, Runable* task) {
  {
    std::lock_guard<std::mutex> guard(lock_);
    auto it = owners_.find(owner);
    if (it == owners_.end()) {
      owners_.emplace(owner, 1);
    } else {
      it->second += 1;
    }
  }
  const BOOL posted = postHook ? postHook(hwnd_, MSG_RUN_TASK, owner, reinterpret_cast<LPARAM>(task))
                               : PostMessageW(hwnd_, MSG_RUN_TASK, owner, reinterpret_cast<LPARAM>(task));
  if (posted) return true;
  const DWORD error = GetLastError();
  {
    std::lock_guard<std::mutex> guard(lock_);
    auto it = owners_.find(owner);
    // Undo our raise, unless a cancel came in between (it stays cancelled).
    if (it != owners_.end() && it->second >= 0) it->second -= 1;
  }
  ZQ_LOG("CMainThreadDispatcher::post", L"post task failed!!! lastError = %d", static_cast<int>(error));
  task->release();
  SetLastError(error);
  return false;
}

void CMainThreadDispatcher::cancel(uintptr_t owner) {
  std::lock_guard<std::mutex> guard(lock_);
  auto it = owners_.find(owner);
  if (it != owners_.end()) it->second = -1;
}

void CMainThreadDispatcher::dispatch(uintptr_t owner, Runable* task) {
  bool runIt = false;
  {
    std::lock_guard<std::mutex> guard(lock_);
    auto it = owners_.find(owner);
    if (it != owners_.end() && it->second >= 0) {
      it->second -= 1;
      runIt = true;
    }
  }
  if (runIt) task->run();
  task->release();
}

UINT_PTR CMainThreadDispatcher::setTimer(UINT intervalMs, Runable* task) {
  lastTimerId_ += 1;
  const UINT_PTR id = setTimerHook ? setTimerHook(hwnd_, lastTimerId_, intervalMs)
                                   : ::SetTimer(hwnd_, lastTimerId_, intervalMs, nullptr);
  if (id == 0) {
    ZQ_LOG("CMainThreadDispatcher::setTimer", L"set timer failed!!! lastError = %d",
           static_cast<int>(GetLastError()));
    task->release();
    return 0;
  }
  auto it = timers_.find(id);
  if (it != timers_.end()) {
    it->second->release();  // the system reused an id we still held
    it->second = task;
  } else {
    timers_.emplace(id, task);
  }
  return id;
}

void CMainThreadDispatcher::killTimer(UINT_PTR id) {
  auto it = timers_.find(id);
  if (it == timers_.end()) return;
  Runable* task = it->second;
  timers_.erase(it);
  ::KillTimer(hwnd_, id);
  task->release();
}

void CMainThreadDispatcher::onTimer(UINT_PTR id) {
  auto it = timers_.find(id);
  if (it == timers_.end()) return;
  // The task may kill its own timer (and so be released) inside run:
  // nothing of it, nor the iterator, is used afterwards.
  it->second->run();
}
