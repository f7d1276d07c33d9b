#include "platform/qt/qt_window_thread.h"

#include <QMetaObject>
#include <QObject>
#include <atomic>
#include <memory>

#include "platform/thread.h"

namespace {

std::atomic<QObject*> bridge{nullptr};

struct PendingCall {
  CarriedCallState State;
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
    if (!TakeCarriedCall(pending->State)) return;
    pending->Call(pending->Result);
    FinishCarriedCall(pending->State);
  });
  if (WorkerWaitUntil(pending->State.Done) == 0) {
    if (result != nullptr) *result = pending->Result;
    return true;
  }
  // Stopped while waiting. If the window thread has already taken the call it finishes it
  // into the shared record; the worker does not wait for that, since the window thread may
  // be the one waiting for the worker to end.
  GiveUpCarriedCall(pending->State);
  return false;
}
