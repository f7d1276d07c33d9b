// The one search worker and its pause and stop requests. The flags are atomics so that
// checkpoints can test them without the lock; they are changed under the lock so that
// a waiting worker cannot miss the change that should wake it.
#include "platform/thread.h"

#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <new>
#include <system_error>
#include <thread>
#include <utility>

#include "platform/thread_testing.h"

namespace {

// Never destroyed: a program may end (exit() on a failed write of tessik-cli's search, say)
// while helpers of its search still wait on them, and destroying a condition variable that
// has waiters blocks for ever.
std::mutex& controlMutex = *new std::mutex;
std::condition_variable& controlChanged = *new std::condition_variable;
std::atomic<bool> stopWanted{false};
std::atomic<bool> pauseWanted{false};
std::atomic<bool> sawStop{false};
std::atomic<bool> workerExists{false};
std::atomic<bool> holdWanted{false};
std::atomic<bool> held{false};
std::atomic<bool> routineRunning{false};
// Threads of the worker's search (the worker and its helpers), and how many of them wait in
// their pause now.
std::atomic<int> searchThreads{0};
std::atomic<int> pausedThreads{0};
// Threads in WorkerWaitUntil or WorkerWaitFor, which NotifyWorker wakes.
std::atomic<int> waitingThreads{0};
struct Waiting {
  Waiting() { waitingThreads.fetch_add(1); }
  ~Waiting() { waitingThreads.fetch_sub(1); }
  Waiting(const Waiting&) = delete;
  Waiting& operator=(const Waiting&) = delete;
};
std::thread workerThread;            // touched by the window thread only
int workerResult = 0;                // written by the worker, read after the join
thread_local bool onWorker = false;

void RunRoutine(const WorkerRoutine& routine) {
  onWorker = true;
  workerResult = routine();
  onWorker = false;
  std::lock_guard<std::mutex> lock(controlMutex);
  searchThreads.fetch_sub(1);
  routineRunning.store(false);
  controlChanged.notify_all();
}

int StopSeen() {
  if (onWorker) sawStop.store(true);
  return -1;
}

// The process may end while a worker's thread is still joinable: a worker that ended by
// itself is joined only when the next search starts, and a toolkit ends the process with
// exit() when it loses its display. A joinable std::thread destroyed at exit aborts the
// process, and a worker still running would go on using what exit is tearing down; so the
// worker is stopped and joined before any static object is destroyed. Registered after
// every static object is constructed, this runs before any of their destructors.
void EndWorkerAtExit() {
  if (!workerThread.joinable()) return;
  if (workerThread.get_id() == std::this_thread::get_id()) {
    workerThread.detach();  // exit() called by the worker itself
    return;
  }
  RequestStop();
  workerThread.join();
  workerExists.store(false);
}

void WaitWhileHeld() {
  std::unique_lock<std::mutex> lock(controlMutex);
  held.store(true);
  controlChanged.notify_all();
  controlChanged.wait(lock, [] { return !holdWanted.load() || stopWanted.load(); });
  holdWanted.store(false);
  held.store(false);
  controlChanged.notify_all();
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
    routineRunning.store(true);
    searchThreads.store(1);
  }
  workerResult = 0;
  static const bool endAtExit = std::atexit(EndWorkerAtExit) == 0;
  (void)endAtExit;
  // std::thread reports a failure to make a thread only by throwing; it goes no further.
  try {
    workerThread = std::thread(RunRoutine, std::move(routine));
  } catch (const std::system_error&) {
    routineRunning.store(false);
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
  if (holdWanted.load()) WaitWhileHeld();
  if (stopWanted.load()) return StopSeen();
  if (!pauseWanted.load()) return 0;
  std::unique_lock<std::mutex> lock(controlMutex);
  pausedThreads.fetch_add(1);
  controlChanged.notify_all();
  controlChanged.wait(lock, [] { return !pauseWanted.load() || stopWanted.load(); });
  pausedThreads.fetch_sub(1);
  if (stopWanted.load()) return StopSeen();
  return 0;
}

bool StopRequested() { return stopWanted.load(); }

struct HelperThread {
  std::thread Thread;
};

HelperThread* StartHelper(std::function<void()> routine) {
  if (routine == nullptr) return nullptr;
  auto* helper = new (std::nothrow) HelperThread;
  if (helper == nullptr) return nullptr;
  const bool ofWorker = onWorker;
  if (ofWorker) searchThreads.fetch_add(1);
  try {
    helper->Thread = std::thread([ofWorker, routine = std::move(routine)] {
      onWorker = ofWorker;
      routine();
      if (!ofWorker) return;
      // The pause of the search no longer waits for this thread.
      std::lock_guard<std::mutex> lock(controlMutex);
      searchThreads.fetch_sub(1);
      controlChanged.notify_all();
    });
  } catch (const std::system_error&) {
    if (ofWorker) searchThreads.fetch_sub(1);
    delete helper;
    return nullptr;
  }
  return helper;
}

void JoinHelper(HelperThread* helper) {
  if (helper == nullptr) return;
  if (helper->Thread.joinable()) helper->Thread.join();
  delete helper;
}

int ProcessorCount() {
  const unsigned count = std::thread::hardware_concurrency();
  return count == 0 ? 1 : static_cast<int>(count);
}

int WorkerWaitFor(bool (*ready)(const void* context), const void* context) {
  std::unique_lock<std::mutex> lock(controlMutex);
  const Waiting waiting;
  const bool ofWorker = onWorker;
  controlChanged.wait(lock, [&] {
    return ready(context) || (ofWorker && (stopWanted.load() || pauseWanted.load() ||
                                           holdWanted.load()));
  });
  if (ready(context)) return 0;
  if (stopWanted.load()) return StopSeen();
  return 1;
}

bool WorkerSawStop() { return sawStop.load(); }

int WorkerWaitUntil(const std::atomic<int>& done) {
  std::unique_lock<std::mutex> lock(controlMutex);
  const Waiting waiting;
  controlChanged.wait(lock, [&done] { return done.load() != 0 || stopWanted.load(); });
  // A call that was carried out counts as done even when a stop came at the same time.
  if (done.load() != 0) return 0;
  return StopSeen();
}

void NotifyWorker() {
  // Whoever waits counted itself under the lock before it looked at what it waits for, and
  // the caller changed that before it came here: with nobody counted, nobody can miss it.
  if (waitingThreads.load() == 0) return;
  std::lock_guard<std::mutex> lock(controlMutex);
  controlChanged.notify_all();
}

void HoldWorkerAtNextCheckpoint() {
  std::lock_guard<std::mutex> lock(controlMutex);
  holdWanted.store(true);
}

bool WorkerIsHeld() { return held.load(); }

namespace {
// Every thread of the search waits in its pause.
bool AllPaused() {
  const int paused = pausedThreads.load();
  return paused > 0 && paused >= searchThreads.load();
}
}  // namespace

bool WorkerIsPaused() { return AllPaused(); }

bool WaitUntilWorkerPaused() {
  std::unique_lock<std::mutex> lock(controlMutex);
  controlChanged.wait(lock, [] { return AllPaused() || !routineRunning.load(); });
  return AllPaused();
}

bool WaitUntilWorkerHeld() {
  std::unique_lock<std::mutex> lock(controlMutex);
  controlChanged.wait(lock,
                      [] { return held.load() || !holdWanted.load() || !routineRunning.load(); });
  return held.load();
}

void ReleaseHeldWorker() {
  std::lock_guard<std::mutex> lock(controlMutex);
  holdWanted.store(false);
  controlChanged.notify_all();
}
