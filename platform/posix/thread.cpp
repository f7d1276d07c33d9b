// The one search worker and its pause and stop requests. The flags are atomics so that
// checkpoints can test them without the lock; they are changed under the lock so that
// a waiting worker cannot miss the change that should wake it.
#include "platform/thread.h"

#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>

namespace {

std::mutex controlMutex;
std::condition_variable controlChanged;
std::atomic<bool> stopWanted{false};
std::atomic<bool> pauseWanted{false};
std::atomic<bool> sawStop{false};
std::atomic<bool> workerExists{false};
std::thread workerThread;  // touched by the window thread only
int workerResult = 0;      // written by the worker, read after the join
thread_local bool onWorker = false;

void RunRoutine(WorkerRoutine routine) {
  onWorker = true;
  workerResult = routine();
  onWorker = false;
}

int StopSeen() {
  if (onWorker) sawStop.store(true);
  return -1;
}

}  // namespace

int StartWorker(WorkerRoutine routine) {
  if (routine == nullptr || onWorker) return -1;
  // A worker that ended by itself and was never joined still holds its thread.
  if (workerThread.joinable()) workerThread.join();
  {
    std::lock_guard<std::mutex> lock(controlMutex);
    stopWanted.store(false);
    pauseWanted.store(false);
    sawStop.store(false);
  }
  workerResult = 0;
  // std::thread reports a failure to make a thread only by throwing; it goes no further.
  try {
    workerThread = std::thread(RunRoutine, routine);
  } catch (const std::system_error&) {
    workerExists.store(false);
    return -1;
  }
  workerExists.store(true);
  return 0;
}

bool OnWorkerThread() { return onWorker; }

bool WorkerExists() { return workerExists.load(); }

void RequestPause() {
  std::lock_guard<std::mutex> lock(controlMutex);
  pauseWanted.store(true);
}

void RequestResume() {
  std::lock_guard<std::mutex> lock(controlMutex);
  pauseWanted.store(false);
  controlChanged.notify_all();
}

void RequestStop() {
  std::lock_guard<std::mutex> lock(controlMutex);
  stopWanted.store(true);
  controlChanged.notify_all();
}

int JoinWorker() {
  if (onWorker) return 0;  // the worker cannot wait for itself
  int result = 0;
  if (workerThread.joinable()) {
    workerThread.join();
    result = workerResult;
  }
  workerExists.store(false);
  return result;
}

int WorkerCheckpoint() {
  if (!onWorker) return 0;
  if (stopWanted.load()) return StopSeen();
  if (!pauseWanted.load()) return 0;
  std::unique_lock<std::mutex> lock(controlMutex);
  controlChanged.wait(lock, [] { return !pauseWanted.load() || stopWanted.load(); });
  if (stopWanted.load()) return StopSeen();
  return 0;
}

bool StopRequested() { return stopWanted.load(); }

bool WorkerSawStop() { return sawStop.load(); }

int WorkerWaitUntil(const std::atomic<int>& done) {
  std::unique_lock<std::mutex> lock(controlMutex);
  controlChanged.wait(lock, [&done] { return done.load() != 0 || stopWanted.load(); });
  // A call that was carried out counts as done even when a stop came at the same time.
  if (done.load() != 0) return 0;
  return StopSeen();
}

void NotifyWorker() {
  std::lock_guard<std::mutex> lock(controlMutex);
  controlChanged.notify_all();
}
