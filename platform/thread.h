// The search worker thread and its cooperative control. Start, Pause, Resume, Stop and
// Join are called by the window thread; WorkerCheckpoint by the worker (and by window
// backends when the worker calls them). Pause and Stop are requests that the worker
// honours at its checkpoints: a paused worker waits there, a stopped one returns.
#pragma once

#include <atomic>

using WorkerRoutine = int (*)();

// Starts `routine` on a new worker thread. Returns 0, or -1 when no thread could be made.
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

// True when the worker of the last StartWorker met a stop request at a checkpoint or in
// a wait, so it returned without finishing its search; false when it ended by itself.
// Read by the window thread after JoinWorker.
bool WorkerSawStop();

// Waits on the worker until `done` is non-zero or a stop is requested: 0 when done,
// -1 on a stop. Window backends use it to carry a call over to the window thread
// without ever blocking Stop; whoever sets `done` calls NotifyWorker afterwards.
int WorkerWaitUntil(const std::atomic<int>& done);
void NotifyWorker();

// A seam for tests that must catch the worker at a known point whatever the speed of the
// machine. After HoldWorkerAtNextCheckpoint the worker stops at its next checkpoint,
// before it looks at the pause and stop requests, and stays there until ReleaseHeldWorker
// or a stop. WorkerIsHeld tells whether it is there now; WaitUntilWorkerHeld waits for it
// (only where the worker needs nothing of the waiting thread) and returns false when the
// worker ended first. Any thread.
void HoldWorkerAtNextCheckpoint();
bool WorkerIsHeld();
bool WaitUntilWorkerHeld();
void ReleaseHeldWorker();
