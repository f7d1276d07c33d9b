#include "platform/qt/qt_window_thread.h"

#include <QMetaObject>
#include <QObject>
#include <atomic>
#include <memory>

#include "platform/thread.h"

namespace {

std::atomic<QObject*> bridge{nullptr};

// A call waits, is taken by the window thread, or is given up by a stopped worker;
// whichever of the last two comes first wins, so a given-up call never runs.
constexpr int kWaiting = 0;
constexpr int kTaken = 1;
constexpr int kGivenUp = 2;

struct PendingCall {
  std::atomic<int> Done{0};
  std::atomic<int> Stage{kWaiting};
  QtWindowCall Call;
  QtCallResult Result;
};

}  // namespace

void QtMakeWindowThreadBridge() {
  if (bridge.load() == nullptr) bridge.store(new QObject());
}

void QtPostToWindowThread(std::function<void()> work) {
  QObject* target = bridge.load();
  if (target == nullptr) return;
  QMetaObject::invokeMethod(target, std::move(work), Qt::QueuedConnection);
}

bool QtCarryOut(const QtWindowCall& call, QtCallResult* result) {
  if (WorkerCheckpoint() != 0) return false;
  if (bridge.load() == nullptr) return false;
  auto pending = std::make_shared<PendingCall>();
  pending->Call = call;
  QtPostToWindowThread([pending] {
    int expected = kWaiting;
    if (!pending->Stage.compare_exchange_strong(expected, kTaken)) return;
    pending->Call(pending->Result);
    pending->Done.store(1);
    NotifyWorker();
  });
  if (WorkerWaitUntil(pending->Done) == 0) {
    if (result != nullptr) *result = pending->Result;
    return true;
  }
  // Stopped while waiting. If the window thread has already taken the call it finishes it
  // into the shared record; the worker does not wait for that, since the window thread may
  // be the one waiting for the worker to end.
  int expected = kWaiting;
  pending->Stage.compare_exchange_strong(expected, kGivenUp);
  return false;
}
