// Calls of the search worker into the Qt window: carried out on the window thread, never
// blocking a stop, and list lines that count at once.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "platform/qt/qt_result_list.h"
#include "platform/qt/qt_window_state.h"
#include "platform/thread.h"
#include "platform/window.h"
#include "qt/qt_test_support.h"

namespace {

using namespace std::chrono_literals;

std::atomic<int> workerDone{0};
std::atomic<int> callReturned{0};
std::atomic<int> wrongLines{0};
char readBack[256];
int readCheck = -1;

constexpr int kManyLines = 20000;

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
    DestroyMainWindow();
    PumpFor(1);
  }
  static std::string Text(int id) {
    char text[256];
    GetControlText(id, text, sizeof text);
    return text;
  }
  static void RunToEnd() {
    ASSERT_TRUE(PumpUntil([] { return workerDone.load() != 0; }));
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
  EXPECT_EQ(Text(kStatusLine), "Searching...");
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
  ASSERT_EQ(StartWorker(SetButtonOnce), 0);
  // The window thread does not run its loop, as in Stop: the worker's call waits.
  std::this_thread::sleep_for(100ms);
  EXPECT_EQ(callReturned.load(), 0);
  QElapsedTimer timer;
  timer.start();
  RequestStop();
  JoinWorker();
  EXPECT_LT(timer.elapsed(), 2000);
  EXPECT_TRUE(WorkerSawStop());
  // The call that was given up is skipped when the window thread comes to it.
  PumpFor(50);
  EXPECT_EQ(Text(kGoButton), "Stop");
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
  for (int i = 0; i < 2000 && callReturned.load() == 0; ++i) std::this_thread::sleep_for(1ms);
  ASSERT_EQ(callReturned.load(), 1);
  EXPECT_EQ(Text(kStatusLine), "Searching  /tmp/a.txt");
  // ...and the window thread paints it before it carries out the next call.
  ASSERT_TRUE(PumpUntil([] { return !ControlWidget(kClearButton)->isEnabled(); }));
  EXPECT_EQ(static_cast<QLabel*>(ControlWidget(kStatusLine))->text(),
            QStringLiteral("Searching  /tmp/a.txt"));
  RunToEnd();
}

int CallAfterStop() {
  while (!StopRequested()) std::this_thread::sleep_for(1ms);
  SetControlText(kStatusLine, "after stop");
  callReturned.store(ListBoxAddLine(kResultListBox, "after stop") == -1 ? 1 : 2);
  return 0;
}

TEST_F(QtWorkerTest, CallsAfterAStopHaveNoEffect) {
  SetControlText(kStatusLine, "Ready");
  ASSERT_EQ(StartWorker(CallAfterStop), 0);
  RequestStop();
  JoinWorker();
  PumpFor(50);
  EXPECT_EQ(callReturned.load(), 1);
  EXPECT_EQ(Text(kStatusLine), "Ready");
  EXPECT_EQ(ListBoxCount(kResultListBox), 0);
}

std::atomic<int> go{0};

int SetStatusWhenTold() {
  while (go.load() == 0) std::this_thread::sleep_for(1ms);
  return SetStatusOnce();
}

TEST_F(QtWorkerTest, APausedWorkerCallsOnlyAfterResume) {
  SetControlText(kStatusLine, "Ready");
  go.store(0);
  ASSERT_EQ(StartWorker(SetStatusWhenTold), 0);
  RequestPause();
  go.store(1);
  PumpFor(100);
  EXPECT_EQ(callReturned.load(), 0);
  EXPECT_EQ(Text(kStatusLine), "Ready");
  RequestResume();
  EXPECT_TRUE(PumpUntil([] { return callReturned.load() != 0; }));
  JoinWorker();
  EXPECT_EQ(Text(kStatusLine), "too late");
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
  EXPECT_TRUE(PumpUntil([&] { return view->model()->rowCount() == kManyLines; }, 2000));
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
