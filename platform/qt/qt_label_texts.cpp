#include "platform/qt/qt_label_texts.h"

#include <QLabel>
#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "platform/qt/qt_main_window.h"
#include "platform/qt/qt_window_thread.h"
#include "platform/thread.h"

namespace {

std::mutex textsMutex;
std::map<int, std::string> texts;  // guarded by textsMutex; one entry per label
std::atomic<bool> paintPosted{false};

// Window thread: brings every label's widget to its text.
void PaintLabels() {
  // Cleared before the texts are read, so a text set meanwhile posts its own painting.
  paintPosted.store(false);
  std::vector<std::pair<int, std::string>> current;
  {
    std::lock_guard<std::mutex> lock(textsMutex);
    current.assign(texts.begin(), texts.end());
  }
  for (const auto& [id, text] : current) {
    QtControl* control = QtFindControl(id);
    auto* label = control != nullptr ? qobject_cast<QLabel*>(control->Widget) : nullptr;
    if (label == nullptr) continue;
    QString shown = QString::fromLocal8Bit(text);
    if (label->text() != shown) label->setText(shown);
  }
}

}  // namespace

void QtAddLabelText(int id, const char* text) {
  std::lock_guard<std::mutex> lock(textsMutex);
  texts[id] = text != nullptr ? text : "";
}

void QtForgetLabelTexts() {
  std::lock_guard<std::mutex> lock(textsMutex);
  texts.clear();
}

bool QtSetLabelText(int id, const char* text) {
  {
    std::lock_guard<std::mutex> lock(textsMutex);
    auto found = texts.find(id);
    if (found == texts.end()) return false;
    found->second = text != nullptr ? text : "";
  }
  if (!OnWorkerThread()) {
    PaintLabels();
  } else if (!paintPosted.exchange(true)) {
    // Posted at once, so it runs before any later call of the worker's that waits.
    QtPostToWindowThread(PaintLabels);
  }
  return true;
}

bool QtGetLabelText(int id, QByteArray* text) {
  std::lock_guard<std::mutex> lock(textsMutex);
  auto found = texts.find(id);
  if (found == texts.end()) return false;
  *text = QByteArray::fromStdString(found->second);
  return true;
}
