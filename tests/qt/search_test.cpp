// The program's own window procedure on the Qt window: a real search over a temporary
// tree, paused and stopped from the keyboard.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <string>
#include <thread>

#include "engine/search_state.h"
#include "phonetic/phonetic_key.h"
#include "platform/qt/qt_main_window.h"
#include "platform/thread.h"
#include "platform/thread_testing.h"
#include "platform/window.h"
#include "qt/qt_test_support.h"
#include "support/test_support.h"
#include "ui/main_window_layout.h"
#include "ui/window_search.h"

namespace {

constexpr int kFolders = 4;
constexpr int kFilesPerFolder = 100;

// Bounds waits for what must happen; it only turns a hang into a failure.
constexpr int kPatienceMs = 30000;

class QtSearchTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    tree_ = new TempTree();
    char name[32];
    for (int folder = 0; folder < kFolders; ++folder) {
      for (int file = 0; file < kFilesPerFolder; ++file) {
        std::snprintf(name, sizeof name, "d%d/f%d.txt", folder, file);
        tree_->WriteFile(name, "Catherine wrote to Katharine.\nNothing here.\nKathryn came too.\n");
      }
    }
  }
  static void TearDownTestSuite() {
    delete tree_;
    tree_ = nullptr;
  }
  void SetUp() override {
    InitialisePhonetics();
    ASSERT_EQ(SetUpMainWindow(), 0);
    ASSERT_TRUE(QTest::qWaitForWindowActive(QtMainWindow()));
  }
  void TearDown() override {
    if (QtMainWindow() != nullptr) QtMainWindow()->close();
    ReleaseHeldWorker();  // a hold asked for that no worker came to
    DeliverPendingEvents();
  }

  static void TypeInto(int id, const std::string& text) {
    SetControlFocus(id);
    QTest::keyClicks(ControlWidget(id), QString::fromStdString(text));
  }
  static void PressEnter(int id) { QTest::keyClick(ControlWidget(id), Qt::Key_Return); }
  static bool Idle() {
    return WindowSearchState().SearchRunning == 0 && ControlText(kGoButton) == "&Go";
  }

  // The worker needs this (window) thread for most of its calls, so the wait for it to be
  // held runs the event loop.
  static bool WaitUntilHeld() {
    auto heldOrEnded = [] {
      return WorkerIsHeld() || (WorkerExists() && WindowSearchState().SearchRunning == 0);
    };
    return PumpUntil(heldOrEnded, kPatienceMs) && WorkerIsHeld();
  }
  // Lets the held worker go and waits until it has left its checkpoint, which asks nothing
  // of this thread.
  static bool LetGo() {
    ReleaseHeldWorker();
    QElapsedTimer timer;
    timer.start();
    while (WorkerIsHeld()) {
      if (timer.elapsed() > kPatienceMs) return false;
      std::this_thread::yield();
    }
    return true;
  }
  // Moves the held worker on to its next checkpoint and holds it there. A pause keeps it
  // at this checkpoint until the next hold is asked for, so that it gets no further however
  // late this thread comes to ask.
  static bool Step() {
    RequestPause();
    if (!LetGo()) return false;
    HoldWorkerAtNextCheckpoint();
    RequestResume();
    return WaitUntilHeld();
  }
  // Steps the held worker on until `lines` lines are listed, and leaves it held there.
  static bool HoldOnceListed(int lines) {
    while (ListBoxCount(kResultListBox) < lines) {
      if (!Step()) return false;
    }
    return true;
  }

  static TempTree* tree_;
};

TempTree* QtSearchTest::tree_ = nullptr;

TEST_F(QtSearchTest, EnterSearchesAltPPausesAndEnterStops) {
  EXPECT_EQ(QApplication::focusWidget(), ControlWidget(kSearchInEdit));
  TypeInto(kSearchInEdit, tree_->Root() + "*.txt");
  QTest::keyClick(ControlWidget(kIncludeSubdirsCheck), Qt::Key_Space);
  TypeInto(kSearchForEdit, "Katherine");
  HoldWorkerAtNextCheckpoint();
  PressEnter(kSearchForEdit);
  EXPECT_EQ(ControlText(kGoButton), "Stop");
  ASSERT_TRUE(WaitUntilHeld());
  ASSERT_TRUE(HoldOnceListed(3)) << "the search ended before it listed three lines";

  // Held before it looks at the pause request: let go, the worker waits in its pause.
  QTest::keyClick(ControlWidget(kSearchForEdit), Qt::Key_P, Qt::AltModifier);
  ASSERT_TRUE(PumpUntil([] { return ControlText(kPauseButton) == "&Resume"; }, kPatienceMs));
  int lines = ListBoxCount(kResultListBox);
  std::string status = ControlText(kStatusLine);
  ASSERT_TRUE(LetGo());
  // Paused: nothing more comes in, while the window still answers.
  ASSERT_TRUE(PumpUntil(WorkerIsPaused, kPatienceMs));
  EXPECT_EQ(ListBoxCount(kResultListBox), lines);
  EXPECT_EQ(ControlText(kStatusLine), status);
  ASSERT_EQ(WindowSearchState().SearchRunning, 1);

  // Stop from the paused state: back to idle, with a summary of what was found. Stop lets
  // the worker go on before it asks it to end; the hold keeps it to the call it was paused
  // in, far from the end of the search.
  HoldWorkerAtNextCheckpoint();
  PressEnter(kSearchForEdit);
  EXPECT_TRUE(Idle());
  EXPECT_FALSE(WorkerExists());
  EXPECT_EQ(ControlText(kPauseButton), "&Pause");
  EXPECT_FALSE(ControlWidget(kPauseButton)->isEnabled());
  EXPECT_EQ(ControlText(kStatusLine).rfind("Completed:  ", 0), 0u) << ControlText(kStatusLine);
  EXPECT_EQ(ControlText(kStatusLine).size(), 90u);
  EXPECT_EQ(QApplication::focusWidget(), ControlWidget(kResultListBox));
}

TEST_F(QtSearchTest, ASearchRunToItsEndListsEveryOccurrence) {
  TypeInto(kSearchInEdit, tree_->Root() + "d1/*.txt");
  TypeInto(kSearchForEdit, "Katherine");
  HoldWorkerAtNextCheckpoint();
  QTest::keyClick(ControlWidget(kSearchForEdit), Qt::Key_G, Qt::AltModifier);
  ASSERT_TRUE(WaitUntilHeld());
  EXPECT_EQ(ControlText(kGoButton), "Stop");
  ReleaseHeldWorker();
  ASSERT_TRUE(PumpUntil([] { return Idle(); }, kPatienceMs));
  // Catherine, Katharine and Kathryn sound alike, once per line each.
  int expected = 3 * kFilesPerFolder;
  EXPECT_EQ(ListBoxCount(kResultListBox), expected);
  EXPECT_TRUE(PumpUntil(
      [&] {
        auto* view = static_cast<QAbstractItemView*>(ControlWidget(kResultListBox));
        return view->model()->rowCount() == expected;
      },
      kPatienceMs));
  EXPECT_EQ(ControlText(kStatusLine)
                .rfind("Completed:  100 file(s) searched. Found 300 item(s) in 100 file(s).", 0),
            0u)
      << ControlText(kStatusLine);
  // The button rule is the worker's last call.
  EXPECT_TRUE(PumpUntil([] { return ControlWidget(kClearButton)->isEnabled(); }, kPatienceMs));
  EXPECT_TRUE(ControlWidget(kSaveButton)->isEnabled());
  EXPECT_TRUE(ControlWidget(kDeleteButton)->isEnabled());
}

TEST_F(QtSearchTest, ClosingDuringASearchEndsTheLoop) {
  TypeInto(kSearchInEdit, tree_->Root() + "*.txt");
  QTest::keyClick(ControlWidget(kIncludeSubdirsCheck), Qt::Key_Space);
  TypeInto(kSearchForEdit, "Katherine");
  HoldWorkerAtNextCheckpoint();
  PressEnter(kSearchInEdit);
  ASSERT_TRUE(WaitUntilHeld());  // running, held at its first checkpoint
  QTimer::singleShot(0, [] { QtMainWindow()->close(); });
  EXPECT_EQ(RunMessageLoop(), 0);
  EXPECT_EQ(QtMainWindow(), nullptr);
  EXPECT_FALSE(WorkerExists());
  EXPECT_EQ(WindowSearchState().SearchRunning, 0);
}

}  // namespace
