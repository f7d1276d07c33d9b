// Carries a call of the search worker over to the window thread, which owns every window,
// and waits until it has been carried out there. Win32CarryOut is called on the worker;
// the rest on the window thread, from the main window's procedure.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

// What a carried-over call hands back to the worker. It belongs to the call, not to the
// worker's stack, so a worker that has given up waiting never leaves it dangling.
struct Win32CallResult {
  std::intptr_t Value = 0;
  std::string Text;
};

using Win32WindowCall = std::function<void(Win32CallResult&)>;

// The private message that wakes the window thread for the calls waiting for it.
constexpr unsigned kWin32CarryMessage = 0x8000u + 0x54u;  // WM_APP + 'T'

// True once `call` has run on the window thread; false with no effect when a stop was
// requested before or while waiting (the call is then skipped if it has not begun), or
// when there is no main window to carry it. Waits first while the worker is paused.
bool Win32CarryOut(const Win32WindowCall& call, Win32CallResult* result);

// Runs every call that waits for the window thread (on kWin32CarryMessage).
void Win32RunCarriedCalls();

// Gives up the calls still waiting when the main window goes: nothing is left to carry
// them out, and a later window must not run them.
void Win32DropCarriedCalls();

// Runs `call` here when this is not the worker, or carries it over from the worker.
bool Win32OnWindowThread(const Win32WindowCall& call, Win32CallResult* result = nullptr);
