// Helpers for the tests of the Win32 window: a window procedure that records what it is
// sent and can answer a modal dialog, and running the message loop up to a known point.
// Test thread only (it is the window thread), except EndLoopFromWorker.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "platform/window.h"

struct RecordedMessage {
  std::uint32_t Message;
  std::uintptr_t WParam;
  DWORD Thread;  // the thread the procedure ran on
};

// Records every message and hands it on to the default handling, except a close request,
// which it keeps (the window stays), and the end-of-loop message, which posts the quit.
std::intptr_t RecordingProc(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam);
std::vector<RecordedMessage>& Recorded();
bool WasSent(std::uint32_t message, std::uintptr_t wParam);

// Creates and shows the main window with the sixteen controls of the program, the tab
// stops, the typing limits and the About item, all through the window services, with
// RecordingProc as its procedure; clears the record.
void CreateTestWindow();
void DestroyTestWindow();
HWND TestMainWindow();
HWND TestControl(int id);

// The next dialog owned by the main window is handed to `answer` from within its modal
// loop, once it is up. Watches this thread only.
void WhenModal(std::function<void(HWND dialog)> answer);

// Delivers every message the window thread has now, then returns.
void DeliverPending();

// Runs the program's message loop until everything posted before this call has been
// handled.
void RunLoopThroughPosted();

// Called by a worker: the window thread's loop ends once this call has been carried out
// there, and so after every call of the worker before it.
void EndLoopFromWorker();
