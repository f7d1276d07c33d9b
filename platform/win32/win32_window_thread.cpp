#include "platform/win32/win32_window_thread.h"

#include <windows.h>

#include <atomic>
#include <deque>
#include <memory>
#include <mutex>

#include "platform/thread.h"
#include "platform/win32/win32_main_window.h"

namespace {

struct PendingCall {
  CarriedCallState State;
  Win32WindowCall Call;
  Win32CallResult Result;
};

// Held only to add or take a call, never while one runs: the window thread may be the one
// waiting for the worker.
std::mutex queueLock;
std::deque<std::shared_ptr<PendingCall>> queue;

std::shared_ptr<PendingCall> TakeNext() {
  std::lock_guard<std::mutex> lock(queueLock);
  if (queue.empty()) return nullptr;
  std::shared_ptr<PendingCall> next = std::move(queue.front());
  queue.pop_front();
  return next;
}

}  // namespace

bool Win32CarryOut(const Win32WindowCall& call, Win32CallResult* result) {
  if (WorkerCheckpoint() != 0) return false;
  HWND window = Win32MainWindow();
  if (window == nullptr) return false;
  auto pending = std::make_shared<PendingCall>();
  pending->Call = call;
  {
    std::lock_guard<std::mutex> lock(queueLock);
    queue.push_back(pending);
  }
  // Posted, never sent: a sent message would hold the worker inside the window thread's
  // wait for it, with no way out on a stop.
  if (PostMessageA(window, kWin32CarryMessage, 0, 0) && WorkerWaitUntil(pending->State.Done) == 0) {
    if (result != nullptr) *result = pending->Result;
    return true;
  }
  // Stopped while waiting, or the window is gone. If the window thread has already taken
  // the call it finishes it into the shared record; the worker does not wait for that,
  // since the window thread may be the one waiting for the worker to end.
  GiveUpCarriedCall(pending->State);
  return false;
}

void Win32RunCarriedCalls() {
  while (std::shared_ptr<PendingCall> pending = TakeNext()) {
    if (!TakeCarriedCall(pending->State)) continue;
    pending->Call(pending->Result);
    FinishCarriedCall(pending->State);
  }
}

void Win32DropCarriedCalls() {
  std::lock_guard<std::mutex> lock(queueLock);
  for (const std::shared_ptr<PendingCall>& pending : queue) {
    GiveUpCarriedCall(pending->State);
  }
  queue.clear();
}

bool Win32OnWindowThread(const Win32WindowCall& call, Win32CallResult* result) {
  if (OnWorkerThread()) return Win32CarryOut(call, result);
  Win32CallResult local;
  call(result != nullptr ? *result : local);
  return true;
}
