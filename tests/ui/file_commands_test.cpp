// Browse and Save: the dialogs they show, and what their answers change.
#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <csignal>
#include <ostream>
#include <string>
#include <vector>

#include "ui/window_search.h"
#include "window_fixture.h"

namespace ui_test {
namespace {

using Filters = std::vector<std::pair<std::string, std::string>>;

class FileCommandTest : public WindowTest {
 protected:
  void ListTwoFiles() {
    tree_.WriteFile("a.txt", "x\n");
    tree_.WriteFile("b.txt", "y\n");
    SetInputs(tree_.Root() + "*.txt", "");
    HeadlessClick(kGoButton);
    ASSERT_TRUE(WaitForSearchEnd());
    ASSERT_TRUE(HeadlessIsEnabled(kSaveButton));
  }

  TempTree tree_;
};

TEST_F(FileCommandTest, BrowsePutsTheChosenFileIntoSearchIn) {
  // Longer than the typing limit: text set by the program is not cut.
  std::string path = "/" + std::string(300, 'd') + "/chosen.txt";
  HeadlessScriptDialog(true, path);
  HeadlessClick(kBrowseButton);
  EXPECT_EQ(HeadlessControlText(kSearchInEdit), path);
  std::vector<RecordedDialog> dialogs = HeadlessDialogs();
  ASSERT_EQ(dialogs.size(), 1u);
  EXPECT_FALSE(dialogs[0].Save);
  EXPECT_EQ(dialogs[0].Filters, (Filters{{"Text Files (*.txt,*.doc,*.wri,*.wpd,*.log,*.rtf)",
                                          "*.TXT;*.DOC;*.WRI;*.WPD;*.LOG;*.RTF"},
                                         {"All Files (*.*)", "*.*"}}));
  EXPECT_EQ(dialogs[0].Selected, 2);
}

TEST_F(FileCommandTest, CancelledBrowseChangesNothing) {
  SetControlText(kSearchInEdit, "/before/*.txt");
  HeadlessScriptDialog(false, "");
  HeadlessClick(kBrowseButton);
  EXPECT_EQ(HeadlessControlText(kSearchInEdit), "/before/*.txt");
  EXPECT_EQ(HeadlessDialogs().size(), 1u);
}

TEST_F(FileCommandTest, SaveWritesTheLogAndMarksTheResultsSaved) {
  ListTwoFiles();
  std::vector<std::string> lines = HeadlessListLines(kResultListBox);
  std::string log = tree_.Path("results.log");
  HeadlessScriptDialog(true, log);
  HeadlessClick(kSaveButton);

  std::vector<RecordedDialog> dialogs = HeadlessDialogs();
  ASSERT_EQ(dialogs.size(), 1u);
  EXPECT_TRUE(dialogs[0].Save);
  EXPECT_EQ(dialogs[0].Filters,
            (Filters{{"Log Files (*.log)", "*.log"}, {"All Files (*.*)", "*.*"}}));
  EXPECT_EQ(dialogs[0].Selected, 1);

  std::string content = ReadWholeFile(log);
  EXPECT_EQ(content.rfind("********************** Search results **********************\r\n\r\n"
                          "Search expression: .\r\nSearched 2 file(s).\r\n"
                          "Found 2 matching file(s).\r\n",
                          0),
            0u);
  for (const std::string& line : lines) {
    EXPECT_NE(content.find(line + "\r\n"), std::string::npos) << line;
  }
  EXPECT_TRUE(
      content.ends_with("\r\n******************** End of search log ********************\r\n"));
  EXPECT_FALSE(HeadlessIsEnabled(kSaveButton));
  EXPECT_EQ(WindowSearchState().ResultList.NonEmpty, 0);
  EXPECT_TRUE(HeadlessMessageBoxes().empty());

  // Deleting one of two lines leaves unsaved results again.
  HeadlessSelectLine(kResultListBox, 0);
  HeadlessClick(kDeleteButton);
  EXPECT_TRUE(HeadlessIsEnabled(kSaveButton));
}

struct FailedSave {
  const char* Name;
  const char* Path;
  const char* Message;
};

void PrintTo(const FailedSave& save, std::ostream* out) { *out << save.Path; }

class FailedSaveTest : public FileCommandTest, public ::testing::WithParamInterface<FailedSave> {};

TEST_P(FailedSaveTest, LeavesSaveEnabledForAnotherTry) {
  ListTwoFiles();
  HeadlessScriptDialog(true, GetParam().Path);
  HeadlessClick(kSaveButton);
  std::vector<RecordedMessageBox> boxes = HeadlessMessageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].Title, " Error");
  EXPECT_EQ(boxes[0].Text, GetParam().Message);
  EXPECT_EQ(boxes[0].Icon, MessageIcon::Error);
  EXPECT_TRUE(HeadlessIsEnabled(kSaveButton));
  EXPECT_EQ(WindowSearchState().ResultList.NonEmpty, 1);
}

// A device is a place no log goes to, where the system has one at a known path.
const FailedSave kFailedSaves[] = {
#ifndef _WIN32
    {"Device", "/dev/full", " System error.\n File could not be created. "},
#endif
    {"NoFolder", "/nonexistent-folder/x.log", " System error.\n File could not be created. "},
};

INSTANTIATE_TEST_SUITE_P(DeviceOrNoFolder, FailedSaveTest, ::testing::ValuesIn(kFailedSaves),
                         [](const ::testing::TestParamInfo<FailedSave>& info) {
                           return std::string(info.param.Name);
                         });

#ifndef _WIN32
// A FIFO chosen as the log would hold the window until a reader came; it is refused at
// once like any file that cannot be created. An alarm ends the test instead of a hang.
TEST_F(FileCommandTest, SaveToAFifoIsRefusedAtOnce) {
  ListTwoFiles();
  ASSERT_EQ(mkfifo(tree_.Path("results.log").c_str(), 0600), 0);
  HeadlessScriptDialog(true, tree_.Path("results.log"));
  std::signal(SIGALRM, [](int) { _exit(3); });
  alarm(10);
  HeadlessClick(kSaveButton);
  alarm(0);
  std::vector<RecordedMessageBox> boxes = HeadlessMessageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].Text, " System error.\n File could not be created. ");
  EXPECT_TRUE(HeadlessIsEnabled(kSaveButton));
}
#endif

TEST_F(FileCommandTest, CancelledSaveChangesNothing) {
  ListTwoFiles();
  HeadlessScriptDialog(false, tree_.Path("never.log"));
  HeadlessClick(kSaveButton);
  EXPECT_TRUE(ReadWholeFile(tree_.Path("never.log")).empty());
  EXPECT_TRUE(HeadlessIsEnabled(kSaveButton));
  EXPECT_EQ(WindowSearchState().ResultList.NonEmpty, 1);
  EXPECT_TRUE(HeadlessMessageBoxes().empty());
}

// Save during a search logs the search so far: its counts and the lines listed until then.
TEST_F(FileCommandTest, SaveDuringASearchLogsItSoFar) {
  WriteFiles(tree_, 10, "x\n");
  SetInputs(tree_.Root() + "*.txt", "");
  StartAndHoldAt(3);
  std::string expected =
      "********************** Search results **********************\r\n\r\n"
      "Search expression: .\r\nSearched 10 file(s).\r\nFound 3 matching file(s).\r\n"
      "++++++++++++++++++++++++++++++++++++++\r\nFiles:\r\n"
      "---------------------------------------------\r\n";
  for (const std::string& line : HeadlessListLines(kResultListBox)) expected += line + "\r\n";
  expected += "\r\n******************** End of search log ********************\r\n";
  const std::string log = tree_.Path("so-far.log");
  HeadlessScriptDialog(true, log);
  SendMainWindowMessage(kMsgCommand, MakeCommand(kSaveButton, kNotifyClicked), 0);
  ReleaseSink();
  ASSERT_TRUE(WaitForSearchEnd());
  EXPECT_EQ(ReadWholeFile(log), expected);
}

// A log written after a stopped word search agrees with the stop's summary.
TEST_F(FileCommandTest, LogAfterAStoppedWordSearchCountsWhatIsListed) {
  tree_.WriteFile("zz.txt", "smith\nsmith\nsmith\n");
  SetInputs(tree_.Root() + "*.txt", "smith");
  StartAndHoldAt(1);
  HeadlessClick(kGoButton);
  std::string log = tree_.Path("stopped.log");
  HeadlessScriptDialog(true, log);
  HeadlessClick(kSaveButton);
  EXPECT_NE(ReadWholeFile(log).find("Search string: smith.\r\nSearched 1 file(s).\r\n"
                                    "Found: 1 word(s) in 1 file(s).\r\n"),
            std::string::npos);
}

}  // namespace
}  // namespace ui_test
