// Carries a call of the search worker over to the window thread and waits until it has
// been carried out there. Called on the worker; the bridge object lives on the window thread.
#pragma once

#include <QByteArray>
#include <cstdint>
#include <functional>

// What a carried-over call hands back to the worker. It belongs to the call, not to the
// worker's stack, so a worker that has given up waiting never leaves it dangling.
struct QtCallResult {
  std::intptr_t Value = 0;
  QByteArray Text;
};

using QtWindowCall = std::function<void(QtCallResult&)>;

// Made once by the window thread before any worker starts.
void QtMakeWindowThreadBridge();

// True once `call` has run on the window thread; false with no effect when a stop was
// requested before or while waiting (the call is then skipped if it has not begun).
// Waits first while the worker is paused.
bool QtCarryOut(const QtWindowCall& call, QtCallResult* result);

// Runs `work` on the window thread later, without waiting (from any thread).
void QtPostToWindowThread(std::function<void()> work);
