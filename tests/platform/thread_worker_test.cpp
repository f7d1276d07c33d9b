#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/thread.h"
#include "platform/thread_testing.h"

namespace {

using namespace std::chrono_literals;

std::atomic<int> passed{0};
std::atomic<int> done{0};
std::atomic<int> sawWorkerMark{0};

// Polls for what must happen; the bound only turns a hang into a failure.
bool WaitUntil(bool (*condition)()) {
  auto until = std::chrono::steady_clock::now() + 30s;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > until) return false;
    std::this_thread::yield();
  }
  return true;
}

// Starts a worker held at its first checkpoint, before it looks at the pause and stop
// requests, and waits until it is there.
bool StartHeld(WorkerRoutine routine) {
  HoldWorkerAtNextCheckpoint();
  return StartWorker(routine) == 0 && WaitUntilWorkerHeld();
}

// Lets the held worker go and waits until it has left its checkpoint's hold: from there it
// goes straight on to its pause or its wait, so a request made now finds it there or on
// its way (either way with the same outcome).
bool LetGo() {
  ReleaseHeldWorker();
  return WaitUntil([] { return !WorkerIsHeld(); });
}

// One checkpoint; 5 when let through, -1 when stopped.
int OneCheckpoint() {
  sawWorkerMark.store(OnWorkerThread() ? 1 : 0);
  int result = WorkerCheckpoint();
  passed.store(1);
  return result == 0 ? 5 : -1;
}

// A checkpoint to be held at, then a wait for `done`; 6 when done, -1 when stopped (at the
// checkpoint or in the wait: a stop may come as the worker leaves its hold).
int WaitForDone() {
  if (WorkerCheckpoint() != 0) return -1;
  return WorkerWaitUntil(done) == 0 ? 6 : -1;
}

class WorkerTest : public testing::Test {
 protected:
  void SetUp() override {
    passed.store(0);
    done.store(0);
    sawWorkerMark.store(0);
  }
  void TearDown() override {
    RequestStop();
    JoinWorker();
    ReleaseHeldWorker();  // a hold asked for that no worker came to
  }
};

TEST_F(WorkerTest, OutsideAWorkerNothingWaits) {
  EXPECT_FALSE(OnWorkerThread());
  EXPECT_EQ(JoinWorker(), 0);
  RequestPause();
  EXPECT_EQ(WorkerCheckpoint(), 0);
  RequestStop();
  EXPECT_EQ(WorkerCheckpoint(), 0);
  RequestResume();
}

// Held before it looks at the pause request, the worker goes from there into its pause.
TEST_F(WorkerTest, PauseHoldsTheWorkerUntilResume) {
  ASSERT_TRUE(StartHeld(OneCheckpoint));
  EXPECT_TRUE(WorkerExists());
  RequestPause();
  ASSERT_TRUE(LetGo());
  ASSERT_TRUE(WaitUntilWorkerPaused());
  EXPECT_EQ(passed.load(), 0);
  RequestResume();
  EXPECT_EQ(JoinWorker(), 5);
  EXPECT_EQ(sawWorkerMark.load(), 1);
  EXPECT_FALSE(WorkerSawStop());
  EXPECT_FALSE(WorkerExists());
}

TEST_F(WorkerTest, StopReleasesAPausedWorker) {
  ASSERT_TRUE(StartHeld(OneCheckpoint));
  RequestPause();
  ASSERT_TRUE(LetGo());
  RequestStop();
  EXPECT_EQ(JoinWorker(), -1);
  EXPECT_TRUE(WorkerSawStop());
}

TEST_F(WorkerTest, StopReleasesAWait) {
  ASSERT_TRUE(StartHeld(WaitForDone));
  ASSERT_TRUE(LetGo());
  RequestStop();
  EXPECT_EQ(JoinWorker(), -1);
  EXPECT_TRUE(WorkerSawStop());
}

TEST_F(WorkerTest, NotifyEndsAWaitWithoutAStop) {
  ASSERT_TRUE(StartHeld(WaitForDone));
  ASSERT_TRUE(LetGo());
  done.store(1);
  NotifyWorker();
  EXPECT_EQ(JoinWorker(), 6);
  EXPECT_FALSE(WorkerSawStop());
}

TEST_F(WorkerTest, ANewWorkerStartsAfterOneEndedUnjoined) {
  ASSERT_EQ(StartWorker(OneCheckpoint), 0);
  ASSERT_TRUE(WaitUntil([] { return passed.load() != 0; }));
  // The earlier stop request of a previous search does not reach the new worker.
  RequestStop();
  passed.store(0);
  ASSERT_EQ(StartWorker(OneCheckpoint), 0);
  EXPECT_FALSE(StopRequested());
  EXPECT_EQ(JoinWorker(), 5);
  EXPECT_FALSE(WorkerSawStop());
}

}  // namespace
