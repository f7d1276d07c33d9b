// Losing the display after a search: Qt's X11 platform ends the process with exit(1) on the
// window thread when its connection breaks. The program must end with that status whether
// the search ended by itself or is still running, never abort on a thread left unjoined.
#include <gtest/gtest.h>

#include <QTest>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

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

// Longer than any of these searches takes; only a hung one runs into it.
constexpr int kGuardMs = 60000;
// Statuses the process ends with when something other than the display loss ended it.
constexpr int kNoWindow = 3;
constexpr int kNeverReached = 4;

bool SearchEnded() {
  return WindowSearchState().SearchRunning == 0 && ControlText(kGoButton) == "&Go";
}

// The process ends without running its automatic objects' destructors, so the tree goes
// with the process's exit handlers (after the worker's own, registered later).
std::string treeToRemove;
void RemoveTreeAtExit(const std::string& root) {
  treeToRemove = root;
  std::atexit([] {
    std::error_code ignored;
    std::filesystem::remove_all(treeToRemove, ignored);
  });
}

// The program's own window, with a search for Katherine over the tree started from the
// keyboard.
void StartSearch(const std::string& root) {
  InitialisePhonetics();
  if (SetUpMainWindow() != 0 || !QTest::qWaitForWindowActive(QtMainWindow())) {
    std::exit(kNoWindow);
  }
  SetControlFocus(kSearchInEdit);
  QTest::keyClicks(ControlWidget(kSearchInEdit), QString::fromStdString(root + "*.txt"));
  SetControlFocus(kSearchForEdit);
  QTest::keyClicks(ControlWidget(kSearchForEdit), QStringLiteral("Katherine"));
  QTest::keyClick(ControlWidget(kSearchForEdit), Qt::Key_Return);
}

// What the X11 platform does when the connection to the server breaks.
[[noreturn]] void LoseTheDisplay() { std::exit(1); }

struct LossCase {
  const char* Name;
  bool Running;  // the search is held at a checkpoint when the display goes
};

void PrintTo(const LossCase& c, std::ostream* out) { *out << c.Name; }

class QtDisplayLossTest : public testing::TestWithParam<LossCase> {
 protected:
  void SetUp() override {
    for (int file = 0; file < 20; ++file) {
      char name[16];
      std::snprintf(name, sizeof name, "f%d.txt", file);
      tree_.WriteFile(name, "Catherine wrote to Katharine.\n");
    }
  }
  TempTree tree_;
};

TEST_P(QtDisplayLossTest, EndsWithTheToolkitsStatus) {
  // A fresh process for the window, not a fork of one that already has Qt's threads.
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const bool running = GetParam().Running;
  EXPECT_EXIT(
      {
        RemoveTreeAtExit(tree_.Root());
        if (running) HoldWorkerAtNextCheckpoint();
        StartSearch(tree_.Root());
        // Waiting pumps events: the worker's calls on the window are carried out here.
        bool reached =
            running ? PumpUntil(WorkerIsHeld, kGuardMs) : PumpUntil(SearchEnded, kGuardMs);
        if (!reached) std::exit(kNeverReached);
        LoseTheDisplay();
      },
      testing::ExitedWithCode(1), "");
}

INSTANTIATE_TEST_SUITE_P(Searches, QtDisplayLossTest,
                         testing::Values(LossCase{"AfterTheSearchEnded", false},
                                         LossCase{"WhileTheSearchRuns", true}),
                         [](const testing::TestParamInfo<LossCase>& info) {
                           return std::string(info.param.Name);
                         });

}  // namespace
