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

// Waits on the worker until `done` is non-zero or a stop is requested: 0 when done,
// -1 on a stop. Window backends use it to carry a call over to the window thread
// without ever blocking Stop; whoever sets `done` calls NotifyWorker afterwards.
int WorkerWaitUntil(const std::atomic<int>& done);
void NotifyWorker();
