// Calls of the search worker into the Win32 window: carried out on the window thread,
// waiting while the worker is paused, and never blocking a stop.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/thread.h"
#include "platform/thread_testing.h"
#include "platform/window.h"
#include "win32/window_test_support.h"

namespace {

std::atomic<int> callReturned{0};
char readBack[256];
int readCheck = -1;
int readCount = -1;
int readSelection = -2;
char readLine[8];
int readLineLength = -2;

std::string TextOf(int id) {
  char text[256] = "";
  GetWindowTextA(TestControl(id), text, sizeof text);
  return text;
}

class WorkerCallsTest : public testing::Test {
 protected:
  void SetUp() override {
    CreateTestWindow();
    callReturned.store(0);
    readBack[0] = '\0';
    readCheck = -1;
    readCount = -1;
    readSelection = -2;
    readLine[0] = '\0';
    readLineLength = -2;
  }
  void TearDown() override {
    RequestStop();
    JoinWorker();
    ReleaseHeldWorker();  // a hold asked for that no worker came to
    DestroyTestWindow();
  }
};

int UseTheControls() {
  SetControlText(kStatusLine, "Searching...");
  GetControlText(kSearchForEdit, readBack, sizeof readBack);
  readCheck = GetCheckState(kIncludeSubdirsCheck);
  EnableControl(kClearButton, false);
  ListBoxAddLine(kResultListBox, "first\tline");
  ListBoxAddLine(kResultListBox, "second");
  readCount = ListBoxCount(kResultListBox);
  readLineLength = ListBoxGetText(kResultListBox, 0, readLine, sizeof readLine);
  ListBoxDeleteLine(kResultListBox, 1);
  readSelection = ListBoxGetSelection(kResultListBox);
  ListBoxSetHorizontalExtent(kResultListBox, 900);
  SetControlFocus(kResultListBox);
  EndLoopFromWorker();
  return 0;
}

TEST_F(WorkerCallsTest, WorkerCallsAreCarriedOutOnTheWindowThread) {
  SetControlText(kSearchForEdit, "katherine");
  SendMessageA(TestControl(kIncludeSubdirsCheck), BM_SETCHECK, BST_CHECKED, 0);
  ASSERT_EQ(StartWorker(UseTheControls), 0);
  RunMessageLoop();
  JoinWorker();
  EXPECT_EQ(TextOf(kStatusLine), "Searching...");
  EXPECT_STREQ(readBack, "katherine");
  EXPECT_EQ(readCheck, 1);
  EXPECT_FALSE(IsWindowEnabled(TestControl(kClearButton)));
  EXPECT_EQ(readCount, 2);
  // The line is cut to the worker's buffer; its length is the whole line's.
  EXPECT_EQ(readLineLength, 10);
  EXPECT_STREQ(readLine, "first\tl");
  EXPECT_EQ(readSelection, -1);
  EXPECT_EQ(SendMessageA(TestControl(kResultListBox), LB_GETCOUNT, 0, 0), 1);
  EXPECT_EQ(SendMessageA(TestControl(kResultListBox), LB_GETHORIZONTALEXTENT, 0, 0), 900);
  // A window takes the focus only from its own thread.
  EXPECT_EQ(GetFocus(), TestControl(kResultListBox));
  // The window procedure ran on this thread for the worker's message too.
  ASSERT_FALSE(Recorded().empty());
  for (const RecordedMessage& message : Recorded()) {
    EXPECT_EQ(message.Thread, GetCurrentThreadId()) << std::hex << message.Message;
  }
}

int ShowABox() {
  ShowMessageBox(" Error", "Something failed.", MessageIcon::Error);
  callReturned.store(1);
  EndLoopFromWorker();
  return 0;
}

// The worker's message box is the window thread's, owned by the main window, and the
// worker goes on once it is closed.
TEST_F(WorkerCallsTest, AMessageBoxFromTheWorkerIsOwnedByTheMainWindow) {
  HWND owner = nullptr;
  std::string title;
  WhenModal([&](HWND box) {
    owner = GetWindow(box, GW_OWNER);
    char text[64] = "";
    GetWindowTextA(box, text, sizeof text);
    title = text;
    EXPECT_EQ(callReturned.load(), 0);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
  });
  ASSERT_EQ(StartWorker(ShowABox), 0);
  RunMessageLoop();
  JoinWorker();
  EXPECT_EQ(callReturned.load(), 1);
  EXPECT_EQ(owner, TestMainWindow());
  EXPECT_EQ(title, " Error");
}

// A button's text goes through the window thread, so the worker waits for it.
int SetButtonOnce() {
  SetControlText(kGoButton, "too late");
  callReturned.store(1);
  return 0;
}

// Returns once a message has been posted to this thread's queue.
void WaitForPostedMessage() {
  MsgWaitForMultipleObjects(0, nullptr, FALSE, INFINITE, QS_POSTMESSAGE);
}

TEST_F(WorkerCallsTest, StopWhileTheWorkerWaitsOnTheWindowReturnsAtOnce) {
  SetControlText(kGoButton, "Stop");
  DeliverPending();
  HoldWorkerAtNextCheckpoint();
  ASSERT_EQ(StartWorker(SetButtonOnce), 0);
  // Held in its call before the call is handed over; nothing is asked of this thread yet.
  ASSERT_TRUE(WaitUntilWorkerHeld());
  ReleaseHeldWorker();
  // The call has been handed over once its wake-up is here. This thread does not run its
  // loop, as in Stop: the worker waits for the call.
  WaitForPostedMessage();
  EXPECT_EQ(callReturned.load(), 0);
  // A stop that waited for the window thread would never return here.
  RequestStop();
  JoinWorker();
  EXPECT_TRUE(WorkerSawStop());
  EXPECT_EQ(callReturned.load(), 1);
  // The call that was given up is skipped when the window thread comes to it.
  DeliverPending();
  EXPECT_EQ(TextOf(kGoButton), "Stop");
}

int CallAfterStop() {
  static const std::atomic<int> never{0};
  WorkerWaitUntil(never);  // returns on the stop
  SetControlText(kStatusLine, "after stop");
  int added = ListBoxAddLine(kResultListBox, "after stop");
  char text[32] = "unchanged";
  int length = GetControlText(kSearchForEdit, text, sizeof text);
  callReturned.store(added == -1 && length == 0 && text[0] == '\0' ? 1 : 2);
  return 0;
}

TEST_F(WorkerCallsTest, CallsAfterAStopHaveNoEffect) {
  SetControlText(kStatusLine, "Ready");
  SetControlText(kSearchForEdit, "katherine");
  ASSERT_EQ(StartWorker(CallAfterStop), 0);
  RequestStop();
  JoinWorker();
  DeliverPending();
  EXPECT_EQ(callReturned.load(), 1);
  EXPECT_EQ(TextOf(kStatusLine), "Ready");
  EXPECT_EQ(SendMessageA(TestControl(kResultListBox), LB_GETCOUNT, 0, 0), 0);
}

int SetStatusOnce() {
  SetControlText(kStatusLine, "too late");
  callReturned.store(1);
  EndLoopFromWorker();
  return 0;
}

// Held at the checkpoint of its call, before it looks at the pause request: let go, it
// waits in its pause and asks nothing of the window until Resume.
TEST_F(WorkerCallsTest, APausedWorkerCallsOnlyAfterResume) {
  SetControlText(kStatusLine, "Ready");
  DeliverPending();
  HoldWorkerAtNextCheckpoint();
  ASSERT_EQ(StartWorker(SetStatusOnce), 0);
  ASSERT_TRUE(WaitUntilWorkerHeld());
  RequestPause();
  ReleaseHeldWorker();
  ASSERT_TRUE(WaitUntilWorkerPaused());
  MSG message;
  EXPECT_FALSE(PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_POSTMESSAGE));
  EXPECT_EQ(callReturned.load(), 0);
  EXPECT_EQ(TextOf(kStatusLine), "Ready");
  RequestResume();
  RunMessageLoop();
  JoinWorker();
  EXPECT_EQ(callReturned.load(), 1);
  EXPECT_EQ(TextOf(kStatusLine), "too late");
}

// A line longer than the buffer is cut to it, and its length is told; the bytes past the
// buffer stay as they were.
struct LineCase {
  const char* Name;
  int BufferSize;
  const char* Expected;
};

class ListLineTest : public WorkerCallsTest, public testing::WithParamInterface<LineCase> {};

TEST_P(ListLineTest, ReadsALineIntoTheBufferGiven) {
  const LineCase& line = GetParam();
  ListBoxAddLine(kResultListBox, "word\tfile");
  char buffer[16];
  std::memset(buffer, '#', sizeof buffer);
  EXPECT_EQ(ListBoxGetText(kResultListBox, 0, buffer, line.BufferSize), 9);
  EXPECT_STREQ(buffer, line.Expected);
  for (int i = line.BufferSize; i < static_cast<int>(sizeof buffer); ++i) {
    EXPECT_EQ(buffer[i], '#') << "byte " << i;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Buffers, ListLineTest,
    testing::Values(LineCase{"Roomy", 16, "word\tfile"}, LineCase{"Exact", 10, "word\tfile"},
                    LineCase{"OneShort", 9, "word\tfil"}, LineCase{"OneByte", 1, ""}),
    [](const testing::TestParamInfo<LineCase>& info) { return std::string(info.param.Name); });

TEST_F(WorkerCallsTest, NoLineReadsAsNone) {
  char buffer[8] = "x";
  EXPECT_EQ(ListBoxGetText(kResultListBox, 0, buffer, sizeof buffer), -1);
  EXPECT_STREQ(buffer, "");
  EXPECT_EQ(ListBoxGetSelection(kResultListBox), -1);
  EXPECT_EQ(ListBoxCount(kResultListBox), 0);
}

}  // namespace
