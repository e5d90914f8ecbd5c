#include <gtest/gtest.h>

#include <windows.h>

#include "tests/runtime/test_support.h"
#include "utility/handle.h"
#include "utility/worker_slot.h"

namespace {

struct Gate {  // a task body that waits for the test to open the gate
  utility::UniqueHandle open{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
  utility::UniqueHandle entered{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
  utility::UniqueHandle left{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
};

void waitAtGate(void* argument) {
  auto* gate = static_cast<Gate*>(argument);
  SetEvent(gate->entered.get());
  WaitForSingleObject(gate->open.get(), 20000);
  SetEvent(gate->left.get());
}

void signalLeft(void* argument) { SetEvent(static_cast<Gate*>(argument)->left.get()); }

}  // namespace

TEST(WorkerSlot, RefusesASecondStartAndReleasesThatTaskUnrun) {
  Gate gate;
  rt::TaskCounts first, second;
  WorkerSlot slot;
  EXPECT_FALSE(slot.hasThread());
  ASSERT_TRUE(slot.start(new rt::CountingTask(first, waitAtGate, &gate)));
  ASSERT_EQ(WaitForSingleObject(gate.entered.get(), 5000), static_cast<DWORD>(WAIT_OBJECT_0));
  EXPECT_TRUE(slot.hasThread());

  EXPECT_FALSE(slot.start(new rt::CountingTask(second)));  // while running
  EXPECT_EQ(second.runs, 0);
  EXPECT_EQ(second.releases, 1);

  SetEvent(gate.open.get());
  slot.stop(5000);
  EXPECT_EQ(first.runs, 1);
  EXPECT_EQ(first.releases, 1);
  EXPECT_EQ(first.releasedWhileRunning, 0);
  EXPECT_FALSE(slot.hasThread());
}

TEST(WorkerSlot, FinishedSlotRefusesStartAndStopReleasesAtOnce) {
  Gate gate;
  rt::TaskCounts done, late;
  WorkerSlot slot;
  slot.stop(1000);  // empty: nothing happens
  ASSERT_TRUE(slot.start(new rt::CountingTask(done, signalLeft, &gate)));
  ASSERT_EQ(WaitForSingleObject(gate.left.get(), 5000), static_cast<DWORD>(WAIT_OBJECT_0));
  Sleep(200);  // let the thread end after its run

  EXPECT_FALSE(slot.start(new rt::CountingTask(late)));  // the ended thread still holds the slot
  EXPECT_EQ(late.runs, 0);
  EXPECT_EQ(late.releases, 1);
  EXPECT_EQ(done.releases, 0);  // owned by the slot until stop

  const ULONGLONG before = GetTickCount64();
  slot.stop(0);
  EXPECT_LT(GetTickCount64() - before, 100u);
  EXPECT_EQ(done.runs, 1);
  EXPECT_EQ(done.releases, 1);

  rt::TaskCounts again;
  ASSERT_TRUE(slot.start(new rt::CountingTask(again)));  // empty again after stop
  slot.stop(5000);
  EXPECT_EQ(again.runs, 1);
  EXPECT_EQ(again.releases, 1);
}

// A worker past its time-out is left running with its task: stop returns
// promptly and the task is never released while (or after) it runs.
TEST(WorkerSlot, StopOfABlockedWorkerReturnsPromptlyAndNeverFreesItsTask) {
  static Gate gate;               // used by the detached worker: lives to process end
  static rt::TaskCounts blocked;
  rt::LogCapture log;
  WorkerSlot slot;
  ASSERT_TRUE(slot.start(new rt::CountingTask(blocked, waitAtGate, &gate)));
  ASSERT_EQ(WaitForSingleObject(gate.entered.get(), 5000), static_cast<DWORD>(WAIT_OBJECT_0));

  const ULONGLONG before = GetTickCount64();
  slot.stop(200);
  const ULONGLONG took = GetTickCount64() - before;
  EXPECT_GE(took, 150u);
  EXPECT_LT(took, 1500u);
  EXPECT_FALSE(slot.hasThread());
  EXPECT_EQ(blocked.releases, 0);
  EXPECT_TRUE(blocked.running);
  EXPECT_TRUE(log.contains(L"worker did not end within 200 ms, left running until exit"));

  // The detached worker goes on and ends normally; the slot is free again.
  SetEvent(gate.open.get());
  ASSERT_EQ(WaitForSingleObject(gate.left.get(), 5000), static_cast<DWORD>(WAIT_OBJECT_0));
  rt::TaskCounts next;
  ASSERT_TRUE(slot.start(new rt::CountingTask(next)));
  slot.stop(5000);
  EXPECT_EQ(next.releases, 1);
  Sleep(100);
  EXPECT_EQ(blocked.runs, 1);
  EXPECT_EQ(blocked.releases, 0);
  EXPECT_EQ(blocked.releasedWhileRunning, 0);
}

TEST(Tasks, FunctionAndMemberTasksRunTheirTarget) {
  int calls = 0;
  Runable* task = makeTask([&calls] { calls += 1; });
  task->run();
  task->release();
  EXPECT_EQ(calls, 1);

  struct Counter {
    int hits = 0;
    void hit() { hits += 1; }
  } counter;
  WorkerSlot slot;
  ASSERT_TRUE(slot.start(new MemberFuncRunable<Counter>(&counter, &Counter::hit)));
  slot.stop(5000);
  EXPECT_EQ(counter.hits, 1);
}
