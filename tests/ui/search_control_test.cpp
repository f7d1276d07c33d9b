// Go, Stop, Pause and Resume, and closing the window, against a real worker and a real
// directory tree. The line sink holds the worker after a chosen line, and the thread's
// test hold at a chosen checkpoint, so that each command meets the search at a known
// point whatever the speed of the machine.
#include <string>
#include <vector>

#include "ui/search_activity.h"
#include "ui/window_search.h"
#include "window_fixture.h"

namespace ui_test {
namespace {

constexpr int kFiles = 40;

std::string Padded(const std::string& text) { return text + std::string(90 - text.size(), ' '); }

class SearchControlTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    WriteFiles(tree_, kFiles, "nothing to see\n");
    SetInputs(tree_.Root() + "*.txt", "");
  }

  void ExpectIdleButtons() {
    EXPECT_EQ(HeadlessControlText(kGoButton), "&Go");
    EXPECT_EQ(HeadlessControlText(kPauseButton), "&Pause");
    EXPECT_FALSE(HeadlessIsEnabled(kPauseButton));
    EXPECT_EQ(WindowSearchState().SearchRunning, 0);
    EXPECT_EQ(WindowSearchState().SearchPaused, 0);
  }

  // The worker has ended and the cleanup has released what the search held.
  void ExpectWorkerGone() {
    EXPECT_FALSE(WorkerExists());
    EXPECT_EQ(WindowSearchState().FileSet.Count, 0u);
    EXPECT_EQ(WindowSearchState().ReadBuffer.load(), nullptr);
    EXPECT_EQ(WindowSearchState().ScanFileHandle.load(), kNoFile);
  }

  TempTree tree_;
};

TEST_F(SearchControlTest, EnterListsTheFilesAndEndsIdle) {
  HeadlessPressEnter();
  ASSERT_TRUE(WaitForSearchEnd());
  EXPECT_EQ(Lines(), kFiles);
  EXPECT_EQ(WindowSearchState().ResultList.Count, static_cast<unsigned>(kFiles));
  EXPECT_EQ(Status(), Padded("Completed:  Found 40 file(s) matching specification."));
  ExpectIdleButtons();
  for (int id : {kDeleteButton, kClearButton, kSaveButton}) EXPECT_TRUE(HeadlessIsEnabled(id));
  EXPECT_EQ(HeadlessFocus(), kSearchInEdit);  // a listing leaves the focus alone
  ExpectWorkerGone();
}

TEST_F(SearchControlTest, RunningSearchOffersStopAndPauseOnly) {
  StartAndHoldAt(1);
  EXPECT_EQ(WindowSearchState().SearchRunning, 1);
  EXPECT_EQ(HeadlessControlText(kGoButton), "Stop");
  EXPECT_EQ(HeadlessControlText(kPauseButton), "&Pause");
  EXPECT_TRUE(HeadlessIsEnabled(kPauseButton));
  for (int id : {kDeleteButton, kClearButton, kSaveButton}) EXPECT_FALSE(HeadlessIsEnabled(id));
}

TEST_F(SearchControlTest, EnterAgainStopsTheSearchAndKeepsItsLines) {
  StartAndHoldAt(3);
  HeadlessPressEnter();
  EXPECT_EQ(Lines(), 3);
  EXPECT_EQ(WindowSearchState().ResultList.Count, 3u);
  EXPECT_EQ(Status(), Padded("Inerrupted:  0 intermediate file(s) match expression."));
  ExpectIdleButtons();
  EXPECT_TRUE(HeadlessIsEnabled(kDeleteButton));
  EXPECT_EQ(HeadlessFocus(), kResultListBox);
  ExpectWorkerGone();
}

// Stop lets a paused worker go on before it asks it to end; the worker is held at its next
// checkpoint so that it cannot list another line in between.
TEST_F(SearchControlTest, StopWhilePausedEndsLikeStop) {
  StartAndHoldAt(2);
  HoldAtNextCheckpoint();
  HeadlessClick(kPauseButton);
  EXPECT_EQ(HeadlessControlText(kPauseButton), "&Resume");
  EXPECT_EQ(WindowSearchState().SearchPaused, 1);
  ASSERT_TRUE(LetHeldWorkerGo());  // into its pause wait
  HoldWorkerAtNextCheckpoint();
  HeadlessClick(kGoButton);
  EXPECT_EQ(Lines(), 2);
  EXPECT_EQ(WindowSearchState().ResultList.Count, 2u);
  EXPECT_EQ(Status(), Padded("Inerrupted:  0 intermediate file(s) match expression."));
  ExpectIdleButtons();
  ExpectWorkerGone();
}

TEST_F(SearchControlTest, PauseHoldsTheSearchUntilResume) {
  StartAndHoldAt(5);
  HoldAtNextCheckpoint();
  HeadlessClick(kPauseButton);
  std::vector<std::string> lines = HeadlessListLines(kResultListBox);
  ASSERT_EQ(lines.size(), 5u);
  std::string status = Status();
  // Let go before it looks at the pause, the worker waits there and adds nothing more.
  ASSERT_TRUE(LetHeldWorkerGo());
  ASSERT_TRUE(WaitUntilWorkerPaused());
  EXPECT_EQ(HeadlessListLines(kResultListBox), lines);
  EXPECT_EQ(Status(), status);
  EXPECT_EQ(WindowSearchState().SearchRunning, 1);

  HeadlessClick(kPauseButton);
  EXPECT_EQ(HeadlessControlText(kPauseButton), "&Pause");
  EXPECT_EQ(WindowSearchState().SearchPaused, 0);
  ASSERT_TRUE(WaitForSearchEnd());
  EXPECT_EQ(Lines(), kFiles);  // it went on where it was: nothing lost, nothing twice
  EXPECT_EQ(Status(), Padded("Completed:  Found 40 file(s) matching specification."));
}

// Once the search has made its last window calls the window is idle, and Go (not Stop)
// starts the next search, here over fewer files.
TEST_F(SearchControlTest, GoAfterASearchThatEndedByItselfStartsAfresh) {
  HeadlessClick(kGoButton);
  ASSERT_TRUE(WaitFor([] { return WindowSearchActivity() == SearchActivity::Idle; }));
  EXPECT_EQ(HeadlessControlText(kGoButton), "&Go");
  SetInputs(tree_.Root() + "a00?.txt", "");
  // Not joined: Go meets the worker that is on its way out.
  HeadlessClick(kGoButton);
  ASSERT_TRUE(WaitForSearchEnd());
  EXPECT_EQ(Lines(), 10);
  EXPECT_EQ(WindowSearchState().ResultList.Count, 10u);
}

class CloseDuringSearchTest : public SearchControlTest,
                              public ::testing::WithParamInterface<bool> {};

// The worker is held at a checkpoint, or waits in its pause with a hold waiting for it at
// the next one, so that the search cannot end by itself before the window closes.
TEST_P(CloseDuringSearchTest, EndsTheWorkerWithoutStatusTextThenTheProgram) {
  StartAndHoldAt(1);
  HoldAtNextCheckpoint();
  if (GetParam()) {
    HeadlessClick(kPauseButton);
    ASSERT_TRUE(LetHeldWorkerGo());
    HoldWorkerAtNextCheckpoint();
  }
  std::string status = Status();
  HeadlessCloseWindow();
  EXPECT_TRUE(HeadlessWindowDestroyed());
  EXPECT_EQ(HeadlessQuitCode(), 0);
  EXPECT_EQ(Status(), status);
  EXPECT_EQ(WindowSearchState().SearchRunning, 0);
  EXPECT_EQ(WindowSearchState().SearchPaused, 0);
  ExpectWorkerGone();
}

INSTANTIATE_TEST_SUITE_P(RunningOrPaused, CloseDuringSearchTest, ::testing::Bool());

TEST_F(SearchControlTest, CloseAfterASearchEndedByItselfJoinsItsWorker) {
  HeadlessClick(kGoButton);
  ASSERT_TRUE(WaitFor([] {
    return WindowSearchState().SearchRunning == 0 && HeadlessControlText(kGoButton) == "&Go";
  }));
  HeadlessClick(kExitButton);
  EXPECT_TRUE(HeadlessWindowDestroyed());
  EXPECT_FALSE(WorkerExists());
}

// Word and expression searches, stopped while their lines are being listed.
class StoppedQueryTest : public WindowTest {
 protected:
  TempTree tree_;
};

// The interrupted file already has a line in the list: the summary, and a later log,
// count it as searched and as a file with hits.
TEST_F(StoppedQueryTest, InterruptedFileWithLinesCountsAsSearched) {
  tree_.WriteFile("zz.txt", "smith\nsmith\nsmith\n");
  SetInputs(tree_.Root() + "*.txt", "smith");
  StartAndHoldAt(1);
  HeadlessClick(kGoButton);
  EXPECT_EQ(Lines(), 1);
  EXPECT_EQ(WindowSearchState().ResultList.Count, 1u);
  EXPECT_EQ(StatusWords(), "Completed:  1 file(s) searched. Found 1 item(s) in 1 file(s).");
  EXPECT_EQ(WindowSearchState().FilesSearched, 1);
  EXPECT_EQ(WindowSearchState().MatchedFiles, 1);
}

// The file's scan was complete when the stop came (its last word ends the file): it is
// counted once, not twice.
TEST_F(StoppedQueryTest, FileFinishedJustBeforeTheStopCountsOnce) {
  tree_.WriteFile("zz.txt", "smith");
  SetInputs(tree_.Root() + "*.txt", "smith");
  StartAndHoldAt(1);
  HeadlessClick(kGoButton);
  EXPECT_EQ(StatusWords(), "Completed:  1 file(s) searched. Found 1 item(s) in 1 file(s).");
}

TEST_F(StoppedQueryTest, CompletedWordSearchReportsItsCounts) {
  tree_.WriteFile("a.txt", "smith and smyth\n");
  tree_.WriteFile("b.txt", "jones\n");
  SetInputs(tree_.Root() + "*.txt", "smith");
  HeadlessClick(kGoButton);
  ASSERT_TRUE(WaitForSearchEnd());
  EXPECT_EQ(StatusWords(), "Completed:  2 file(s) searched. Found 2 item(s) in 1 file(s).");
  EXPECT_EQ(HeadlessFocus(), kResultListBox);
}

// Each file that satisfies the expression so far is listed exactly once.
TEST_F(StoppedQueryTest, StoppedExpressionListsEachMatchingFileOnce) {
  for (const char* name : {"a.txt", "b.txt", "c.txt"}) tree_.WriteFile(name, "smith jones\n");
  tree_.WriteFile("d.txt", "smith\n");
  SetInputs(tree_.Root() + "*.txt", "smith A jones");
  StartAndHoldAt(1);
  HeadlessClick(kGoButton);
  EXPECT_EQ(StatusWords(), "Inerrupted:  3 intermediate file(s) match expression.");
  EXPECT_EQ(Lines(), 3);
  EXPECT_EQ(WindowSearchState().ResultList.Count, 3u);
}

}  // namespace
}  // namespace ui_test
