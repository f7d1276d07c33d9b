// Calls of the search worker into the Qt window: carried out on the window thread, never
// blocking a stop, and list lines that count at once.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <atomic>
#include <cstdio>
#include <string>
#include <thread>

#include "platform/qt/qt_main_window.h"
#include "platform/qt/qt_result_list.h"
#include "platform/thread.h"
#include "platform/thread_testing.h"
#include "platform/window.h"
#include "qt/qt_test_support.h"

namespace {

std::atomic<int> workerDone{0};
std::atomic<int> callReturned{0};
std::atomic<int> wrongLines{0};
char readBack[256];
int readCheck = -1;

constexpr int kManyLines = 20000;

// Bounds waits for what must happen; it only turns a hang into a failure.
constexpr int kPatienceMs = 30000;

// Waits for the worker without running the window thread's events; false only when
// `condition` has not come true after kPatienceMs.
bool WaitWithoutEvents(bool (*condition)()) {
  QElapsedTimer timer;
  timer.start();
  while (!condition()) {
    if (timer.elapsed() > kPatienceMs) return false;
    std::this_thread::yield();
  }
  return true;
}

class QtWorkerTest : public testing::Test {
 protected:
  void SetUp() override {
    CreateTestWindow();
    workerDone.store(0);
    callReturned.store(0);
    wrongLines.store(0);
    readBack[0] = '\0';
    readCheck = -1;
  }
  void TearDown() override {
    RequestStop();
    JoinWorker();
    ReleaseHeldWorker();  // a hold asked for that no worker came to
    DestroyTestWindow();
  }
  static void RunToEnd() {
    ASSERT_TRUE(PumpUntil([] { return workerDone.load() != 0; }, kPatienceMs));
    JoinWorker();
  }
};

int UseTheControls() {
  SetControlText(kStatusLine, "Searching...");
  GetControlText(kSearchForEdit, readBack, sizeof readBack);
  readCheck = GetCheckState(kIncludeSubdirsCheck);
  EnableControl(kClearButton, false);
  ListBoxAddLine(kResultListBox, "first");
  SetControlFocus(kResultListBox);
  workerDone.store(1);
  return 0;
}

TEST_F(QtWorkerTest, WorkerCallsAreCarriedOutOnTheWindowThread) {
  SetControlText(kSearchForEdit, "katherine");
  EnableControl(kClearButton, true);
  ASSERT_EQ(StartWorker(UseTheControls), 0);
  RunToEnd();
  EXPECT_EQ(ControlText(kStatusLine), "Searching...");
  EXPECT_STREQ(readBack, "katherine");
  EXPECT_EQ(readCheck, 0);
  EXPECT_FALSE(ControlWidget(kClearButton)->isEnabled());
  EXPECT_EQ(ListBoxCount(kResultListBox), 1);
  EXPECT_EQ(QApplication::focusWidget(), ControlWidget(kResultListBox));
}

int SetStatusOnce() {
  SetControlText(kStatusLine, "too late");
  callReturned.store(1);
  return 0;
}

// A button's text goes through the window thread, so the worker waits for it.
int SetButtonOnce() {
  SetControlText(kGoButton, "too late");
  callReturned.store(1);
  return 0;
}

TEST_F(QtWorkerTest, StopWhileTheWorkerWaitsOnTheWindowReturnsAtOnce) {
  SetControlText(kGoButton, "Stop");
  HoldWorkerAtNextCheckpoint();
  ASSERT_EQ(StartWorker(SetButtonOnce), 0);
  // Held in its call before the call is handed over; nothing is asked of this thread yet.
  ASSERT_TRUE(WaitUntilWorkerHeld());
  ReleaseHeldWorker();
  // The window thread does not run its loop, as in Stop: the worker's call waits, and
  // the stop finds it waiting or about to wait.
  ASSERT_TRUE(WaitWithoutEvents([] { return !WorkerIsHeld(); }));
  EXPECT_EQ(callReturned.load(), 0);
  QElapsedTimer timer;
  timer.start();
  RequestStop();
  JoinWorker();
  EXPECT_LT(timer.elapsed(), 2000);
  EXPECT_TRUE(WorkerSawStop());
  // The call that was given up is skipped when the window thread comes to it.
  QCoreApplication::sendPostedEvents();
  EXPECT_EQ(ControlText(kGoButton), "Stop");
}

int SetStatusAndWait() {
  SetControlText(kStatusLine, "Searching  /tmp/a.txt");
  callReturned.store(1);
  // Then a call that waits, which must find the status text painted before it.
  EnableControl(kClearButton, false);
  workerDone.store(1);
  return 0;
}

TEST_F(QtWorkerTest, AStatusTextFromTheWorkerStandsAtOnceAndIsPaintedInOrder) {
  SetControlText(kStatusLine, "Ready");
  EnableControl(kClearButton, true);
  ASSERT_EQ(StartWorker(SetStatusAndWait), 0);
  // The worker does not wait for the window thread (which runs no events here) to show
  // the text...
  ASSERT_TRUE(WaitWithoutEvents([] { return callReturned.load() != 0; }));
  ASSERT_EQ(callReturned.load(), 1);
  EXPECT_EQ(ControlText(kStatusLine), "Searching  /tmp/a.txt");
  // ...and the window thread paints it before it carries out the next call.
  ASSERT_TRUE(PumpUntil([] { return !ControlWidget(kClearButton)->isEnabled(); }, kPatienceMs));
  EXPECT_EQ(static_cast<QLabel*>(ControlWidget(kStatusLine))->text(),
            QStringLiteral("Searching  /tmp/a.txt"));
  RunToEnd();
}

int CallAfterStop() {
  static const std::atomic<int> never{0};
  WorkerWaitUntil(never);  // returns on the stop
  SetControlText(kStatusLine, "after stop");
  callReturned.store(ListBoxAddLine(kResultListBox, "after stop") == -1 ? 1 : 2);
  return 0;
}

TEST_F(QtWorkerTest, CallsAfterAStopHaveNoEffect) {
  SetControlText(kStatusLine, "Ready");
  ASSERT_EQ(StartWorker(CallAfterStop), 0);
  RequestStop();
  JoinWorker();
  QCoreApplication::sendPostedEvents();
  EXPECT_EQ(callReturned.load(), 1);
  EXPECT_EQ(ControlText(kStatusLine), "Ready");
  EXPECT_EQ(ListBoxCount(kResultListBox), 0);
}

// Held at the checkpoint of its call, before it looks at the pause request: let go, it
// waits in its pause.
TEST_F(QtWorkerTest, APausedWorkerCallsOnlyAfterResume) {
  SetControlText(kStatusLine, "Ready");
  HoldWorkerAtNextCheckpoint();
  ASSERT_EQ(StartWorker(SetStatusOnce), 0);
  ASSERT_TRUE(WaitUntilWorkerHeld());
  RequestPause();
  ReleaseHeldWorker();
  ASSERT_TRUE(PumpUntil(WorkerIsPaused, kPatienceMs));
  EXPECT_EQ(callReturned.load(), 0);
  EXPECT_EQ(ControlText(kStatusLine), "Ready");
  RequestResume();
  EXPECT_TRUE(PumpUntil([] { return callReturned.load() != 0; }, kPatienceMs));
  JoinWorker();
  EXPECT_EQ(ControlText(kStatusLine), "too late");
}

int AddManyLines() {
  char line[64];
  for (int i = 0; i < kManyLines; ++i) {
    std::snprintf(line, sizeof line, "word\t/tmp/file%d\t%d (50%%)\t1 KB", i, i);
    int index = ListBoxAddLine(kResultListBox, line);
    if (index != i || ListBoxCount(kResultListBox) != i + 1) wrongLines.fetch_add(1);
    // Now and then a call that goes through the window thread, as status texts do.
    if (i % 1000 == 0) SetControlText(kStatusLine, line);
  }
  workerDone.store(1);
  return 0;
}

TEST_F(QtWorkerTest, LinesFromTheWorkerCountAtOnceAndReachTheViewInOrder) {
  auto* view = static_cast<QAbstractItemView*>(ControlWidget(kResultListBox));
  ASSERT_EQ(StartWorker(AddManyLines), 0);
  RunToEnd();
  EXPECT_EQ(wrongLines.load(), 0);
  EXPECT_EQ(ListBoxCount(kResultListBox), kManyLines);
  EXPECT_TRUE(PumpUntil([&] { return view->model()->rowCount() == kManyLines; }, kPatienceMs));
  char expected[64];
  char text[64];
  for (int i : {0, 1, 4999, kManyLines - 1}) {
    std::snprintf(expected, sizeof expected, "word\t/tmp/file%d\t%d (50%%)\t1 KB", i, i);
    ListBoxGetText(kResultListBox, i, text, sizeof text);
    EXPECT_STREQ(text, expected);
    EXPECT_EQ(view->model()->index(i, 0).data().toString(), QString::fromLatin1(expected));
  }
}

}  // namespace
