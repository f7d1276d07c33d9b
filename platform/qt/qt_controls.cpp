// The control operations of the window on Qt Widgets. On the worker each call is carried
// over to the window thread, except that list lines and label texts are recorded where
// they are set and painted by the window thread as it comes to them.
#include <QAbstractButton>
#include <QCheckBox>
#include <QLineEdit>
#include <algorithm>
#include <string>

#include "platform/qt/qt_label_texts.h"
#include "platform/qt/qt_main_window.h"
#include "platform/qt/qt_result_list.h"
#include "platform/qt/qt_window_thread.h"
#include "platform/thread.h"
#include "platform/window.h"

namespace {

// The most a QLineEdit holds.
constexpr int kLineEditMaximum = 32767;

bool IsListBox(int id) {
  QtControl* control = QtFindControl(id);
  return control != nullptr && control->Kind == ControlKind::ListBox;
}

QByteArray TextNow(int id) {
  QtControl* control = QtFindControl(id);
  if (control == nullptr) return {};
  QString text;
  if (auto* edit = qobject_cast<QLineEdit*>(control->Widget)) {
    text = edit->text();
  } else if (auto* button = qobject_cast<QAbstractButton*>(control->Widget)) {
    text = button->text();
  }
  return text.toLocal8Bit();
}

void SetTextNow(int id, const char* text) {
  QtControl* control = QtFindControl(id);
  if (control == nullptr) return;
  QString value = QtFromLocal(text);
  if (auto* edit = qobject_cast<QLineEdit*>(control->Widget)) {
    // QLineEdit cuts a text to its maximum length; the typing limit must not cut the
    // program's own text, so the maximum is raised to fit it first.
    int limit = control->TypingLimit > 0 ? control->TypingLimit : kLineEditMaximum;
    edit->setMaxLength(std::max(limit, static_cast<int>(value.size())));
    edit->setText(value);
  } else if (auto* button = qobject_cast<QAbstractButton*>(control->Widget)) {
    button->setText(value);
  }
}

void SetLimitNow(int id, int limit) {
  QtControl* control = QtFindControl(id);
  if (control == nullptr) return;
  auto* edit = qobject_cast<QLineEdit*>(control->Widget);
  if (edit == nullptr) return;
  control->TypingLimit = std::clamp(limit, 0, kLineEditMaximum);
  int allowed = control->TypingLimit > 0 ? control->TypingLimit : kLineEditMaximum;
  edit->setMaxLength(std::max(allowed, static_cast<int>(edit->text().size())));
}

// Runs `call` here on the window thread, or carries it over from the worker.
bool OnWindowThread(const QtWindowCall& call, QtCallResult* result = nullptr) {
  if (OnWorkerThread()) return QtCarryOut(call, result);
  QtCallResult local;
  call(result != nullptr ? *result : local);
  return true;
}

}  // namespace

int GetControlText(int id, char* buffer, int size) {
  if (buffer != nullptr && size > 0) buffer[0] = '\0';
  if (WorkerCheckpoint() != 0) return 0;
  QByteArray label;
  if (QtGetLabelText(id, &label)) return QtCopyOut(label, buffer, size);
  QtCallResult result;
  if (!OnWindowThread([id](QtCallResult& out) { out.Text = TextNow(id); }, &result)) return 0;
  return QtCopyOut(result.Text, buffer, size);
}

void SetControlText(int id, const char* text) {
  if (WorkerCheckpoint() != 0) return;
  if (QtSetLabelText(id, text)) return;
  std::string copy = text != nullptr ? text : "";
  OnWindowThread([id, copy](QtCallResult&) { SetTextNow(id, copy.c_str()); });
}

void EnableControl(int id, bool enabled) {
  OnWindowThread([id, enabled](QtCallResult&) {
    if (QtControl* control = QtFindControl(id)) control->Widget->setEnabled(enabled);
  });
}

void SetControlFocus(int id) {
  OnWindowThread([id](QtCallResult&) {
    if (QtControl* control = QtFindControl(id)) control->Widget->setFocus(Qt::OtherFocusReason);
  });
}

int GetCheckState(int id) {
  QtCallResult result;
  bool done = OnWindowThread(
      [id](QtCallResult& out) {
        QtControl* control = QtFindControl(id);
        auto* check = control != nullptr ? qobject_cast<QCheckBox*>(control->Widget) : nullptr;
        out.Value = check != nullptr && check->isChecked() ? 1 : 0;
      },
      &result);
  return done ? static_cast<int>(result.Value) : 0;
}

void SetTypingLimit(int id, int limit) {
  OnWindowThread([id, limit](QtCallResult&) { SetLimitNow(id, limit); });
}

// The worker appends its lines without waiting for the window thread: the line stands in
// the list at once, and the view catches up a few milliseconds later.
int ListBoxAddLine(int id, const char* text) {
  if (WorkerCheckpoint() != 0) return -1;
  if (!OnWorkerThread() && !IsListBox(id)) return -1;
  return QtAppendLine(text);
}

int ListBoxCount(int) {
  if (WorkerCheckpoint() != 0) return 0;
  return QtLineCount();
}

int ListBoxGetText(int, int index, char* buffer, int size) {
  if (WorkerCheckpoint() != 0) return -1;
  return QtLineText(index, buffer, size);
}

int ListBoxGetSelection(int) {
  QtCallResult result;
  if (!OnWindowThread([](QtCallResult& out) { out.Value = QtSelectedLine(); }, &result)) {
    return -1;
  }
  return static_cast<int>(result.Value);
}

void ListBoxDeleteLine(int id, int index) {
  OnWindowThread([id, index](QtCallResult&) {
    if (IsListBox(id)) QtDeleteLine(index);
  });
}

void ListBoxReset(int id) {
  OnWindowThread([id](QtCallResult&) {
    if (IsListBox(id)) QtResetLines();
  });
}

void ListBoxSetHorizontalExtent(int id, int pixels) {
  OnWindowThread([id, pixels](QtCallResult&) {
    if (IsListBox(id)) QtSetHorizontalExtent(pixels);
  });
}

void ListBoxSetTabStops(int id, const int* stops, int count) {
  std::vector<int> copy(stops != nullptr ? stops : nullptr,
                        stops != nullptr ? stops + std::max(count, 0) : nullptr);
  OnWindowThread([id, copy](QtCallResult&) {
    if (IsListBox(id)) QtSetTabStops(copy.data(), static_cast<int>(copy.size()));
  });
}
