#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/thread.h"

namespace {

using namespace std::chrono_literals;

std::atomic<int> go{0};
std::atomic<int> passed{0};
std::atomic<int> done{0};
std::atomic<int> sawWorkerMark{0};

void WaitFor(const std::atomic<int>& flag) {
  auto until = std::chrono::steady_clock::now() + 10s;
  while (flag.load() == 0 && std::chrono::steady_clock::now() < until) {
    std::this_thread::sleep_for(1ms);
  }
}

// Holds at one checkpoint once the test says go; 5 when let through, -1 when stopped.
int OneCheckpoint() {
  sawWorkerMark.store(OnWorkerThread() ? 1 : 0);
  WaitFor(go);
  int result = WorkerCheckpoint();
  passed.store(1);
  return result == 0 ? 5 : -1;
}

int WaitForDone() { return WorkerWaitUntil(done) == 0 ? 6 : -1; }

class WorkerTest : public testing::Test {
 protected:
  void SetUp() override {
    go.store(0);
    passed.store(0);
    done.store(0);
    sawWorkerMark.store(0);
  }
  void TearDown() override {
    RequestStop();
    JoinWorker();
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

TEST_F(WorkerTest, PauseHoldsTheWorkerUntilResume) {
  ASSERT_EQ(StartWorker(OneCheckpoint), 0);
  EXPECT_TRUE(WorkerExists());
  RequestPause();
  go.store(1);
  std::this_thread::sleep_for(100ms);
  EXPECT_EQ(passed.load(), 0);
  RequestResume();
  EXPECT_EQ(JoinWorker(), 5);
  EXPECT_EQ(sawWorkerMark.load(), 1);
  EXPECT_FALSE(WorkerSawStop());
  EXPECT_FALSE(WorkerExists());
}

TEST_F(WorkerTest, StopReleasesAPausedWorker) {
  ASSERT_EQ(StartWorker(OneCheckpoint), 0);
  RequestPause();
  go.store(1);
  std::this_thread::sleep_for(50ms);
  RequestStop();
  EXPECT_EQ(JoinWorker(), -1);
  EXPECT_TRUE(WorkerSawStop());
}

TEST_F(WorkerTest, StopReleasesAWait) {
  ASSERT_EQ(StartWorker(WaitForDone), 0);
  std::this_thread::sleep_for(50ms);
  RequestStop();
  EXPECT_EQ(JoinWorker(), -1);
  EXPECT_TRUE(WorkerSawStop());
}

TEST_F(WorkerTest, NotifyEndsAWaitWithoutAStop) {
  ASSERT_EQ(StartWorker(WaitForDone), 0);
  std::this_thread::sleep_for(20ms);
  done.store(1);
  NotifyWorker();
  EXPECT_EQ(JoinWorker(), 6);
  EXPECT_FALSE(WorkerSawStop());
}

TEST_F(WorkerTest, ANewWorkerStartsAfterOneEndedUnjoined) {
  go.store(1);
  ASSERT_EQ(StartWorker(OneCheckpoint), 0);
  WaitFor(passed);
  std::this_thread::sleep_for(10ms);
  // The earlier stop request of a previous search does not reach the new worker.
  RequestStop();
  passed.store(0);
  ASSERT_EQ(StartWorker(OneCheckpoint), 0);
  EXPECT_FALSE(StopRequested());
  EXPECT_EQ(JoinWorker(), 5);
  EXPECT_FALSE(WorkerSawStop());
}

}  // namespace
