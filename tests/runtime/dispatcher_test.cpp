#include <gtest/gtest.h>

#include <windows.h>

#include <thread>
#include <vector>

#include "app/main_thread_dispatcher.h"
#include "tests/runtime/test_support.h"

namespace {

CMainThreadDispatcher& dispatcher() {
  CMainThreadDispatcher::create();  // this test thread is the UI thread
  return *CMainThreadDispatcher::instance();
}

struct HookReset {
  ~HookReset() { CMainThreadDispatcher::setSystemHooksForTest(nullptr, nullptr); }
};

BOOL refusePost(HWND, UINT, WPARAM, LPARAM) {
  SetLastError(ERROR_NOT_ENOUGH_QUOTA);
  return FALSE;
}
UINT_PTR refuseTimer(HWND, UINT_PTR, UINT) { return 0; }

}  // namespace

TEST(Dispatcher, CreateGivesOneInstanceWithAMessageOnlyWindow) {
  EXPECT_EQ(CMainThreadDispatcher::instance(), nullptr);
  CMainThreadDispatcher::create();
  CMainThreadDispatcher* first = CMainThreadDispatcher::instance();
  ASSERT_NE(first, nullptr);
  CMainThreadDispatcher::create();
  EXPECT_EQ(CMainThreadDispatcher::instance(), first);
  EXPECT_TRUE(IsWindow(first->hwnd()));
  EXPECT_EQ(GetWindowThreadProcessId(first->hwnd(), nullptr), GetCurrentThreadId());
  EXPECT_FALSE(IsWindowVisible(first->hwnd()));
}

TEST(Dispatcher, RunsPostedTasksOnceOnTheUiThread) {
  auto& d = dispatcher();
  rt::TaskCounts counts;
  DWORD ranOn = 0;
  ASSERT_TRUE(d.post(1, makeTask([&ranOn] { ranOn = GetCurrentThreadId(); })));
  std::thread worker([&] { d.post(1, new rt::CountingTask(counts)); });
  worker.join();
  EXPECT_TRUE(rt::pumpUntil([&] { return counts.releases == 1; }, 5000));
  EXPECT_EQ(ranOn, GetCurrentThreadId());
  EXPECT_EQ(counts.runs, 1);
}

TEST(Dispatcher, CancelDropsQueuedTasksUntilTheOwnerPostsAgain) {
  auto& d = dispatcher();
  const uintptr_t owner = 0x1000, other = 0x2000;
  rt::TaskCounts queued, otherCounts, later;
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(d.post(owner, new rt::CountingTask(queued)));
  ASSERT_TRUE(d.post(other, new rt::CountingTask(otherCounts)));
  d.cancel(owner);
  d.cancel(0x3000);  // never posted: left alone
  EXPECT_TRUE(rt::pumpUntil([&] { return queued.releases == 3 && otherCounts.releases == 1; }, 5000));
  EXPECT_EQ(queued.runs, 0);
  EXPECT_EQ(otherCounts.runs, 1);

  ASSERT_TRUE(d.post(owner, new rt::CountingTask(later)));  // raises the count again
  EXPECT_TRUE(rt::pumpUntil([&] { return later.releases == 1; }, 5000));
  EXPECT_EQ(later.runs, 1);

  rt::TaskCounts fresh;
  ASSERT_TRUE(d.post(0x3000, new rt::CountingTask(fresh)));
  EXPECT_TRUE(rt::pumpUntil([&] { return fresh.releases == 1; }, 5000));
  EXPECT_EQ(fresh.runs, 1);
}

TEST(Dispatcher, KeepsPostingOrderAcrossThreads) {
  auto& d = dispatcher();
  std::mutex order;  // the ticket and its post happen together
  int nextTicket = 0;
  std::vector<int> seen;
  std::vector<std::thread> threads;
  const int perThread = 200, threadCount = 4;
  for (int t = 0; t < threadCount; ++t) {
    threads.emplace_back([&] {
      for (int i = 0; i < perThread; ++i) {
        std::lock_guard<std::mutex> guard(order);
        const int ticket = nextTicket++;
        d.post(7, makeTask([&seen, ticket] { seen.push_back(ticket); }));
      }
    });
  }
  for (auto& t : threads) t.join();
  EXPECT_TRUE(rt::pumpUntil([&] { return seen.size() == perThread * threadCount; }, 10000));
  for (size_t i = 0; i < seen.size(); ++i) ASSERT_EQ(seen[i], static_cast<int>(i));
}

TEST(Dispatcher, FailedPostReleasesTheTaskAndUndoesTheCount) {
  auto& d = dispatcher();
  HookReset reset;
  rt::LogCapture log;
  const uintptr_t owner = 0x4000;
  rt::TaskCounts early, refused;
  ASSERT_TRUE(d.post(owner, new rt::CountingTask(early)));
  d.cancel(owner);
  CMainThreadDispatcher::setSystemHooksForTest(refusePost, nullptr);
  EXPECT_FALSE(d.post(owner, new rt::CountingTask(refused)));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_ENOUGH_QUOTA));
  EXPECT_EQ(refused.runs, 0);
  EXPECT_EQ(refused.releases, 1);
  EXPECT_TRUE(log.contains(L"post task failed!!! lastError = 1816"));
  CMainThreadDispatcher::setSystemHooksForTest(nullptr, nullptr);

  // Had the failed post kept its count, the owner would count as live again.
  EXPECT_TRUE(rt::pumpUntil([&] { return early.releases == 1; }, 5000));
  EXPECT_EQ(early.runs, 0);
}

TEST(Dispatcher, TimerTasksRunUntilKilledAndRefusedTimersReleaseTheirTask) {
  auto& d = dispatcher();
  HookReset reset;
  rt::TaskCounts ticking;
  const UINT_PTR id = d.setTimer(20, new rt::CountingTask(ticking));
  ASSERT_NE(id, 0u);
  EXPECT_TRUE(rt::pumpUntil([&] { return ticking.runs >= 3; }, 5000));
  EXPECT_EQ(ticking.releases, 0);
  d.killTimer(id);
  EXPECT_EQ(ticking.releases, 1);
  const int runs = ticking.runs;
  rt::pumpFor(150);
  EXPECT_EQ(ticking.runs, runs);
  d.killTimer(id);      // already gone: ignored
  d.killTimer(123456);  // never set: ignored
  EXPECT_EQ(ticking.releases, 1);

  CMainThreadDispatcher::setSystemHooksForTest(nullptr, refuseTimer);
  rt::TaskCounts refused;
  EXPECT_EQ(d.setTimer(20, new rt::CountingTask(refused)), 0u);
  EXPECT_EQ(refused.runs, 0);
  EXPECT_EQ(refused.releases, 1);
}

namespace {

struct SelfKill {
  rt::TaskCounts counts;
  UINT_PTR id = 0;
};

void killOwnTimer(void* argument) {
  auto* state = static_cast<SelfKill*>(argument);
  CMainThreadDispatcher::instance()->killTimer(state->id);  // the task's last action
}

}  // namespace

TEST(Dispatcher, ATimerTaskMayKillItsOwnTimer) {
  auto& d = dispatcher();
  SelfKill state;
  state.id = d.setTimer(10, new rt::CountingTask(state.counts, killOwnTimer, &state));
  ASSERT_NE(state.id, 0u);
  EXPECT_TRUE(rt::pumpUntil([&] { return state.counts.releases == 1; }, 5000));
  rt::pumpFor(150);
  EXPECT_EQ(state.counts.runs, 1);
  EXPECT_EQ(state.counts.releases, 1);

  // A later timer gets a new id and works as usual.
  rt::TaskCounts next;
  const UINT_PTR id = d.setTimer(10, new rt::CountingTask(next));
  EXPECT_NE(id, state.id);
  EXPECT_TRUE(rt::pumpUntil([&] { return next.runs >= 1; }, 5000));
  d.killTimer(id);
  EXPECT_EQ(next.releases, 1);
}
