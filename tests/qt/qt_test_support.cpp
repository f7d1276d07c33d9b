#include "qt/qt_test_support.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTest>
#include <QTimer>
#include <cstdlib>

#include "platform/qt/qt_main_window.h"
#include "ui/main_window_layout.h"

namespace {

// The tests run without a display unless told otherwise.
const bool offscreen = [] {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  return true;
}();

std::vector<RecordedMessage> recorded;

}  // namespace

const char kTestHeading[] =
    "Word:                     File:                       Line:             File size:";

const ControlRow kTestControls[16] = {
    {ControlKind::Label, "Search in:", 1001, 20, 10, 80, 15},
    {ControlKind::Edit, nullptr, 1002, 20, 25, 310, 20},
    {ControlKind::PushButton, "...", 1003, 377, 17, 40, 28},
    {ControlKind::CheckBox, "Include subdirectories", 1004, 20, 50, 180, 15},
    {ControlKind::Label, "Search for:", 1005, 20, 75, 80, 15},
    {ControlKind::Edit, nullptr, 1006, 20, 90, 310, 20},
    {ControlKind::DefaultButton, "&Go", 1, 365, 82, 52, 28},
    {ControlKind::Label, "Ready", 1016, 20, 120, 440, 18},
    {ControlKind::Label, kTestHeading, 1008, 20, 148, 400, 15},
    {ControlKind::ListBox, nullptr, 1009, 18, 165, 400, 176},
    {ControlKind::PushButton, "&Del", 1010, 431, 195, 52, 30},
    {ControlKind::PushButton, "&Clear", 1011, 431, 245, 52, 30},
    {ControlKind::PushButton, "&Pause", 1012, 30, 357, 70, 33},
    {ControlKind::PushButton, "&Save", 1013, 130, 357, 60, 33},
    {ControlKind::PushButton, "E&xit", 1014, 220, 357, 60, 33},
    {ControlKind::PushButton, "&Help", 1015, 348, 357, 60, 33},
};

std::intptr_t RecordingProc(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
  recorded.push_back({message, wParam});
  if (message == kMsgClose) return 0;
  return DefaultWindowProc(message, wParam, lParam);
}

std::vector<RecordedMessage>& Recorded() { return recorded; }

bool WasSent(std::uint32_t message, std::uintptr_t wParam) {
  for (const RecordedMessage& m : recorded) {
    if (m.Message == message && m.WParam == wParam) return true;
  }
  return false;
}

void CreateTestWindow() {
  (void)offscreen;
  CreateMainWindow(" Tessik", 80, 25, 500, 425, RecordingProc);
  for (const ControlRow& row : kTestControls) CreateControl(row);
  AddSystemMenuItem("&About Tessik", kAboutItem);
  AddSystemMenuCheckItem("&Daitch-Mokotoff Soundex", kDaitchMokotoffItem, false);
  static const int stops[] = {62, 122, 164};
  ListBoxSetTabStops(kResultListBox, stops, 3);
  SetTypingLimit(kSearchInEdit, kSearchInLimit);
  SetTypingLimit(kSearchForEdit, kSearchForLimit);
  ShowMainWindow();
  if (!QTest::qWaitForWindowActive(QtMainWindow())) return;
  SetControlFocus(kSearchInEdit);
  recorded.clear();
}

QWidget* ControlWidget(int id) {
  QtControl* control = QtFindControl(id);
  return control != nullptr ? control->Widget : nullptr;
}

bool PumpUntil(const std::function<bool()>& done, int ms) {
  QElapsedTimer timer;
  timer.start();
  while (!done()) {
    if (timer.elapsed() > ms) return false;
    QApplication::processEvents(QEventLoop::AllEvents, 5);
  }
  return true;
}

void WhenModal(std::function<void(QWidget*)> answer) {
  QTimer::singleShot(0, [answer] {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr) {
      WhenModal(answer);  // not up yet
      return;
    }
    answer(modal);
  });
}

bool WaitForFocus(QWidget* control, int ms) {
  if (QApplication::focusWidget() == control) return true;
  QEventLoop loop;
  QObject::connect(qApp, &QApplication::focusChanged, &loop, [&] {
    if (QApplication::focusWidget() == control) loop.quit();
  });
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  loop.exec();
  return QApplication::focusWidget() == control;
}

std::string ControlText(int id) {
  char text[512];
  GetControlText(id, text, sizeof text);
  return text;
}

void DeliverPendingEvents() {
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  QApplication::processEvents();
}

void DestroyTestWindow() {
  DestroyMainWindow();
  DeliverPendingEvents();
}
