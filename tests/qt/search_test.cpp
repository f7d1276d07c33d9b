// The program's own window procedure on the Qt window: a real search over a temporary
// tree, paused and stopped from the keyboard.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <string>

#include "engine/search_state.h"
#include "phonetic/phonetic_key.h"
#include "platform/qt/qt_main_widget.h"
#include "platform/qt/qt_window_state.h"
#include "platform/thread.h"
#include "platform/window.h"
#include "qt/qt_test_support.h"
#include "support/test_support.h"
#include "ui/main_window_layout.h"

namespace {

// Enough files that the search is still running when the keys arrive.
constexpr int kFolders = 40;
constexpr int kFilesPerFolder = 100;

std::string Text(int id) {
  char text[512];
  GetControlText(id, text, sizeof text);
  return text;
}

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
    ASSERT_EQ(SetUpMainWindow(), 1);
    ASSERT_TRUE(QTest::qWaitForWindowActive(QtMainWindow()));
  }
  void TearDown() override {
    if (QtMainWindow() != nullptr) QtMainWindow()->close();
    PumpFor(1);
  }

  static void TypeInto(int id, const std::string& text) {
    SetControlFocus(id);
    QTest::keyClicks(ControlWidget(id), QString::fromStdString(text));
  }
  static void PressEnter(int id) { QTest::keyClick(ControlWidget(id), Qt::Key_Return); }
  static bool Idle() { return SearchState.SearchRunning == 0 && Text(kGoButton) == "&Go"; }

  static TempTree* tree_;
};

TempTree* QtSearchTest::tree_ = nullptr;

TEST_F(QtSearchTest, EnterSearchesAltPPausesAndEnterStops) {
  EXPECT_EQ(QApplication::focusWidget(), ControlWidget(kSearchInEdit));
  TypeInto(kSearchInEdit, tree_->Root() + "*.txt");
  QTest::keyClick(ControlWidget(kIncludeSubdirsCheck), Qt::Key_Space);
  TypeInto(kSearchForEdit, "Katherine");
  PressEnter(kSearchForEdit);
  EXPECT_EQ(Text(kGoButton), "Stop");

  QTest::keyClick(ControlWidget(kSearchForEdit), Qt::Key_P, Qt::AltModifier);
  ASSERT_TRUE(PumpUntil([] { return Text(kPauseButton) == "&Resume"; }, 3000))
      << "the search ended before it could be paused: make the tree larger";
  ASSERT_EQ(SearchState.SearchRunning, 1);
  // Paused: nothing more comes in, while the window still answers.
  PumpFor(100);
  int lines = ListBoxCount(kResultListBox);
  std::string status = Text(kStatusLine);
  PumpFor(200);
  EXPECT_EQ(ListBoxCount(kResultListBox), lines);
  EXPECT_EQ(Text(kStatusLine), status);

  // Stop from the paused state: back to idle, with a summary of what was found.
  PressEnter(kSearchForEdit);
  EXPECT_TRUE(Idle());
  EXPECT_FALSE(WorkerExists());
  EXPECT_EQ(Text(kPauseButton), "&Pause");
  EXPECT_FALSE(ControlWidget(kPauseButton)->isEnabled());
  EXPECT_EQ(Text(kStatusLine).rfind("Completed:  ", 0), 0u) << Text(kStatusLine);
  EXPECT_EQ(Text(kStatusLine).size(), 90u);
  EXPECT_EQ(QApplication::focusWidget(), ControlWidget(kResultListBox));
}

TEST_F(QtSearchTest, ASearchRunToItsEndListsEveryOccurrence) {
  TypeInto(kSearchInEdit, tree_->Root() + "d1/*.txt");
  TypeInto(kSearchForEdit, "Katherine");
  QTest::keyClick(ControlWidget(kSearchForEdit), Qt::Key_G, Qt::AltModifier);
  ASSERT_TRUE(PumpUntil([] { return Text(kGoButton) == "Stop"; }, 2000));
  ASSERT_TRUE(PumpUntil([] { return Idle(); }, 20000));
  // Catherine, Katharine and Kathryn sound alike, once per line each.
  int expected = 3 * kFilesPerFolder;
  EXPECT_EQ(ListBoxCount(kResultListBox), expected);
  EXPECT_TRUE(PumpUntil(
      [&] {
        auto* view = static_cast<QAbstractItemView*>(ControlWidget(kResultListBox));
        return view->model()->rowCount() == expected;
      },
      2000));
  EXPECT_EQ(Text(kStatusLine)
                .rfind("Completed:  100 file(s) searched. Found 300 item(s) in 100 file(s).", 0),
            0u)
      << Text(kStatusLine);
  // The button rule is the worker's last call.
  EXPECT_TRUE(PumpUntil([] { return ControlWidget(kClearButton)->isEnabled(); }, 2000));
  EXPECT_TRUE(ControlWidget(kSaveButton)->isEnabled());
  EXPECT_TRUE(ControlWidget(kDeleteButton)->isEnabled());
}

TEST_F(QtSearchTest, ClosingDuringASearchEndsTheLoop) {
  TypeInto(kSearchInEdit, tree_->Root() + "*.txt");
  QTest::keyClick(ControlWidget(kIncludeSubdirsCheck), Qt::Key_Space);
  TypeInto(kSearchForEdit, "Katherine");
  PressEnter(kSearchInEdit);
  PumpFor(20);
  QTimer::singleShot(0, [] { QtMainWindow()->close(); });
  EXPECT_EQ(RunMessageLoop(), 0);
  EXPECT_EQ(QtMainWindow(), nullptr);
  EXPECT_FALSE(WorkerExists());
  EXPECT_EQ(SearchState.SearchRunning, 0);
}

}  // namespace
