#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "platform/thread.h"
#include "platform/thread_testing.h"
#include "support/headless_controls.h"

namespace {

using namespace std::chrono_literals;

std::vector<std::uintptr_t> commands;

std::intptr_t Recorder(std::uint32_t message, std::uintptr_t wParam, std::intptr_t) {
  if (message == kMsgCommand) {
    commands.push_back(wParam);
    // A procedure calls back into the window services while it handles a message.
    SetControlText(kStatusLine, "handled");
    char buffer[32];
    GetControlText(kSearchInEdit, buffer, sizeof buffer);
  }
  return 7;
}

class HeadlessTest : public testing::Test {
 protected:
  void SetUp() override {
    HeadlessReset();
    commands.clear();
    HeadlessCreateSearchControls();
    CreateMainWindow(" Tessik", 80, 25, 500, 425, Recorder);
  }
  void TearDown() override {
    RequestStop();
    JoinWorker();
    ReleaseHeldWorker();  // a hold asked for that no worker came to
    HeadlessReset();
  }
};

TEST_F(HeadlessTest, TypingIsLimitedButProgramTextIsNot) {
  SetTypingLimit(kSearchInEdit, 5);
  HeadlessTypeText(kSearchInEdit, "abc");
  HeadlessTypeText(kSearchInEdit, "defgh");
  EXPECT_EQ(HeadlessControlText(kSearchInEdit), "abcde");
  SetControlText(kSearchInEdit, "/a/path/longer/than/five");
  EXPECT_EQ(HeadlessControlText(kSearchInEdit), "/a/path/longer/than/five");
  char small[4];
  EXPECT_EQ(GetControlText(kSearchInEdit, small, sizeof small), 3);
  EXPECT_STREQ(small, "/a/");
}

TEST_F(HeadlessTest, SelectionFollowsDeletedLines) {
  for (const char* line : {"a", "b", "c"}) ListBoxAddLine(kResultListBox, line);
  HeadlessSelectLine(kResultListBox, 2);
  ListBoxDeleteLine(kResultListBox, 0);
  EXPECT_EQ(ListBoxGetSelection(kResultListBox), 1);
  ListBoxDeleteLine(kResultListBox, 5);  // no such line: nothing happens
  EXPECT_EQ(ListBoxCount(kResultListBox), 2);
  ListBoxDeleteLine(kResultListBox, 1);
  EXPECT_EQ(ListBoxGetSelection(kResultListBox), -1);
  HeadlessSelectLine(kResultListBox, 0);
  ListBoxReset(kResultListBox);
  EXPECT_EQ(ListBoxGetSelection(kResultListBox), -1);
  ListBoxAddLine(kResultListBox, "word\tfile");
  char buffer[5];
  EXPECT_EQ(ListBoxGetText(kResultListBox, 0, buffer, sizeof buffer), 9);  // cut, length whole
  EXPECT_STREQ(buffer, "word");
  EXPECT_EQ(ListBoxGetText(kResultListBox, 1, buffer, sizeof buffer), -1);
}

TEST_F(HeadlessTest, ClicksReachTheProcedureOnlyWhenEnabled) {
  EnableControl(kSaveButton, false);
  HeadlessClick(kSaveButton);
  EXPECT_TRUE(commands.empty());
  EnableControl(kSaveButton, true);
  HeadlessClick(kSaveButton);
  // A click on a check box ticks it: the window made the control as a check box.
  CreateControl(
      {ControlKind::CheckBox, "Include subdirectories", kIncludeSubdirsCheck, 0, 0, 0, 0});
  HeadlessClick(kIncludeSubdirsCheck);
  EXPECT_EQ(GetCheckState(kIncludeSubdirsCheck), 1);
  HeadlessDoubleClick(kResultListBox);
  HeadlessPressEnter();
  HeadlessPressEscape();
  ASSERT_EQ(commands.size(), 5u);
  EXPECT_EQ(commands[0], MakeCommand(kSaveButton, kNotifyClicked));
  EXPECT_EQ(commands[1], MakeCommand(kIncludeSubdirsCheck, kNotifyClicked));
  EXPECT_EQ(commands[2], MakeCommand(kResultListBox, kNotifyDoubleClicked));
  EXPECT_EQ(commands[3], MakeCommand(kGoButton, kNotifyClicked));
  EXPECT_EQ(commands[4], MakeCommand(kCancelCommand, kNotifyClicked));
  EXPECT_EQ(HeadlessControlText(kStatusLine), "handled");
}

TEST_F(HeadlessTest, DialogsFollowTheScriptAndRecordTheirFilters) {
  FileFilter filters[] = {{"Log Files (*.log)", "*.log"}, {"All Files (*.*)", "*.*"}};
  char path[16];
  EXPECT_EQ(ShowSaveDialog(filters, 2, 1, path, sizeof path), -1);  // no script: cancelled
  HeadlessScriptDialog(true, "/tmp/a.log");
  EXPECT_EQ(ShowSaveDialog(filters, 2, 1, path, sizeof path), 0);
  EXPECT_STREQ(path, "/tmp/a.log");
  HeadlessScriptDialog(true, "/a/path/that/does/not/fit");
  EXPECT_EQ(ShowOpenDialog(filters, 2, 2, path, sizeof path), -1);
  auto dialogs = HeadlessDialogs();
  ASSERT_EQ(dialogs.size(), 3u);
  EXPECT_EQ(dialogs[2].Selected, 2);
  EXPECT_EQ(dialogs[2].Filters[1],
            std::make_pair(std::string("All Files (*.*)"), std::string("*.*")));
}

std::atomic<int> workerIndex{0};
std::atomic<int> workerLength{0};

int WorkerWritesStatus() {
  SetControlText(kStatusLine, "from worker");
  workerIndex.store(ListBoxAddLine(kResultListBox, "line"));
  char buffer[32];
  workerLength.store(GetControlText(kSearchInEdit, buffer, sizeof buffer));
  ShowMessageBox(" Tessik", "text", MessageIcon::Information);
  return 0;
}

// The worker is held at the checkpoint of its first call, before it looks at the pause
// and stop requests.
TEST_F(HeadlessTest, WorkerCallsWaitWhilePausedAndAreDroppedAfterAStop) {
  SetControlText(kSearchInEdit, "spec");
  HoldWorkerAtNextCheckpoint();
  ASSERT_EQ(StartWorker(WorkerWritesStatus), 0);
  ASSERT_TRUE(WaitUntilWorkerHeld());
  RequestPause();
  ReleaseHeldWorker();
  ASSERT_TRUE(WaitUntilWorkerPaused());
  EXPECT_EQ(HeadlessControlText(kStatusLine), "Ready");
  RequestResume();
  JoinWorker();
  EXPECT_EQ(HeadlessControlText(kStatusLine), "from worker");
  EXPECT_EQ(workerIndex.load(), 0);
  EXPECT_EQ(workerLength.load(), 4);
  EXPECT_EQ(HeadlessMessageBoxes().size(), 1u);

  HoldWorkerAtNextCheckpoint();
  ASSERT_EQ(StartWorker(WorkerWritesStatus), 0);
  ASSERT_TRUE(WaitUntilWorkerHeld());
  SetControlText(kStatusLine, "Stopped");
  RequestStop();
  JoinWorker();
  EXPECT_EQ(HeadlessControlText(kStatusLine), "Stopped");
  EXPECT_EQ(HeadlessListLines(kResultListBox).size(), 1u);
  EXPECT_EQ(workerIndex.load(), -1);
  EXPECT_EQ(workerLength.load(), 0);
  EXPECT_EQ(HeadlessMessageBoxes().size(), 1u);
  EXPECT_TRUE(WorkerSawStop());
}

}  // namespace
