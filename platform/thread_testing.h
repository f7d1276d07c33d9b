// What tests need of the worker beyond what the program uses: whether it met a stop, and
// holding it at a known checkpoint. Not for the program's own code. Any thread.
#pragma once

// True when the worker of the last StartWorker met a stop request at a checkpoint or in
// a wait, so it returned without finishing its search; false when it ended by itself.
// Read by the window thread after JoinWorker.
bool WorkerSawStop();

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

// Whether the worker waits in its pause now: from then on it does nothing until Resume or
// Stop, so a test can check that nothing more happens without watching for a while.
// WaitUntilWorkerPaused waits for it (only where the worker needs nothing of the waiting
// thread) and returns false when the worker ended first.
bool WorkerIsPaused();
bool WaitUntilWorkerPaused();
