// The search worker thread and its cooperative control. Start, Pause, Resume, Stop and
// Join are called by the window thread; WorkerCheckpoint by the worker (and by window
// backends when the worker calls them); the helpers' calls by the thread that runs a search
// and by its helpers. Pause and Stop are requests that the worker and its helpers honour
// at their checkpoints: a paused thread waits there, a stopped one returns.
#pragma once

#include <atomic>
#include <functional>

// What a worker runs, with everything it needs: a routine and its argument bound together
// (a lambda that holds the search's request, for one).
using WorkerRoutine = std::function<int()>;

// Starts `routine` on a new worker thread, which owns it from then on. Returns 0, or -1
// when no thread could be made.
int StartWorker(WorkerRoutine routine);

// True on the worker thread while one runs.
bool OnWorkerThread();

// True between StartWorker and JoinWorker.
bool WorkerExists();

void RequestPause();
void RequestResume();

// Asks the worker to end; a paused worker is let go so that it can return.
void RequestStop();

// Waits for the worker to return (after a Stop, or when it has ended by itself).
// Returns the routine's result, or 0 when there was no worker.
int JoinWorker();

// Returns 0 to go on, or -1 when a stop was requested. While a pause is requested it
// waits until Resume or Stop. Calling it outside a worker (tessik-cli) returns 0 at once.
int WorkerCheckpoint();

bool StopRequested();

// Waits on the worker until `done` is non-zero or a stop is requested: 0 when done,
// -1 on a stop. Window backends use it to carry a call over to the window thread
// without ever blocking Stop; whoever sets `done` calls NotifyWorker afterwards.
int WorkerWaitUntil(const std::atomic<int>& done);
void NotifyWorker();

// Helpers of a search: threads that read files for the thread that runs the search. A
// helper's checkpoints and waits obey the pause and stop of the thread that started it: the
// worker's requests when the worker started it, none when tessik-cli's thread (or a test's)
// did. StartHelper returns nullptr when no thread could be made; JoinHelper waits for the
// routine to return and lets go of the helper.
struct HelperThread;
HelperThread* StartHelper(std::function<void()> routine);
void JoinHelper(HelperThread* helper);

// The number of processors the search may use (at least 1).
int ProcessorCount();

// Waits until ready(context) is true: 0 then; -1 on a stop; 1 when a pause is requested
// (the caller then takes its checkpoint, and waits again). For the worker and its helpers
// only the stop and pause of the worker count; any other thread just waits. ready() reads
// atomics only; whoever makes it true calls NotifyWorker afterwards.
int WorkerWaitFor(bool (*ready)(const void* context), const void* context);

// The hand-over of one call that a window backend carries from the worker to the window
// thread. The call waits, is taken by the window thread, or is given up by a worker that
// was stopped while it waited; whichever of the last two comes first wins, so a given-up
// call never runs, and one already taken is finished without the worker waiting for it.
struct CarriedCallState {
  std::atomic<int> Done{0};   // what the worker waits on (WorkerWaitUntil)
  std::atomic<int> Stage{0};  // 0 waiting, 1 taken, 2 given up
};

// Window thread: true when the call is its to run, false when the worker gave it up.
inline bool TakeCarriedCall(CarriedCallState& call) {
  int waiting = 0;
  return call.Stage.compare_exchange_strong(waiting, 1);
}

// Window thread, after running a taken call: the worker may go on.
inline void FinishCarriedCall(CarriedCallState& call) {
  call.Done.store(1);
  NotifyWorker();
}

// Worker (or a window that goes away): the call is not to run, unless already taken.
inline void GiveUpCarriedCall(CarriedCallState& call) {
  int waiting = 0;
  call.Stage.compare_exchange_strong(waiting, 2);
}
