// Del, Clear and opening a result by double-click, after real searches.
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "ui/window_search.h"
#include "window_fixture.h"

namespace ui_test {
namespace {

std::string Padded(const std::string& text) { return text + std::string(90 - text.size(), ' '); }

class ListCommandTest : public WindowTest {
 protected:
  // Lists `files` files and returns the lines (each the full path of its file).
  std::vector<std::string> List(int files) {
    WriteFiles(tree_, files, "smith\n");
    SetInputs(tree_.Root() + "*.txt", "");
    HeadlessClick(kGoButton);
    EXPECT_TRUE(WaitForSearchEnd());
    return HeadlessListLines(kResultListBox);
  }

  // A word search over one file with a hit and one that cannot be opened.
  void SearchWithUnopenedFile() {
    tree_.WriteFile("a.txt", "smith\n");
    unopenable_ = std::make_unique<UnopenableFile>(tree_.Path("b.txt"));
    ASSERT_TRUE(unopenable_->Made());
    SetInputs(tree_.Root() + "*.txt", "smith");
    HeadlessClick(kGoButton);
    ASSERT_TRUE(WaitForSearchEnd());
    ASSERT_EQ(Lines(), 1);
    ASSERT_EQ(WindowSearchState().UnopenedFiles.Count, 1u);
  }

  TempTree tree_;
  std::unique_ptr<UnopenableFile> unopenable_;
};

TEST_F(ListCommandTest, DelWithNoLineSelectedChangesNothing) {
  std::vector<std::string> lines = List(3);
  std::string status = Status();
  int focus = HeadlessFocus();
  HeadlessClick(kDeleteButton);
  EXPECT_EQ(HeadlessListLines(kResultListBox), lines);
  EXPECT_EQ(WindowSearchState().ResultList.Count, 3u);
  EXPECT_EQ(Status(), status);
  EXPECT_EQ(HeadlessFocus(), focus);
}

TEST_F(ListCommandTest, DelMovesLaterLinesAndTheirFilesUp) {
  std::vector<std::string> lines = List(4);
  HeadlessSelectLine(kResultListBox, 1);
  HeadlessClick(kDeleteButton);
  lines.erase(lines.begin() + 1);
  ASSERT_EQ(HeadlessListLines(kResultListBox), lines);
  ASSERT_EQ(WindowSearchState().ResultList.Count, 3u);
  for (std::uint32_t i = 0; i < 3; ++i) EXPECT_EQ(WindowSearchState().ResultList.Get(i), lines[i]);
  EXPECT_EQ(Status(), Padded("Completed:  Found 3 file(s) matching expression."));
  EXPECT_EQ(HeadlessFocus(), kResultListBox);
  for (int id : {kDeleteButton, kClearButton, kSaveButton}) EXPECT_TRUE(HeadlessIsEnabled(id));

  // Each remaining line still opens its own file.
  for (int i = 0; i < 3; ++i) {
    HeadlessSelectLine(kResultListBox, i);
    HeadlessDoubleClick(kResultListBox);
  }
  EXPECT_EQ(HeadlessOpenedFiles(), lines);
}

TEST_F(ListCommandTest, DelOfTheLastLineDisablesDelClearAndSave) {
  List(1);
  HeadlessSelectLine(kResultListBox, 0);
  HeadlessClick(kDeleteButton);
  EXPECT_EQ(Lines(), 0);
  EXPECT_EQ(WindowSearchState().ResultList.Count, 0u);
  EXPECT_EQ(WindowSearchState().ResultList.NonEmpty, 0);
  for (int id : {kDeleteButton, kClearButton, kSaveButton}) EXPECT_FALSE(HeadlessIsEnabled(id));
}

TEST_F(ListCommandTest, SaveStaysWhileUnopenedFilesRemain) {
  SearchWithUnopenedFile();
  HeadlessSelectLine(kResultListBox, 0);
  HeadlessClick(kDeleteButton);
  EXPECT_EQ(StatusWords(), "Completed:  1 file(s) searched. Found 0 item(s).");
  EXPECT_FALSE(HeadlessIsEnabled(kDeleteButton));
  EXPECT_FALSE(HeadlessIsEnabled(kClearButton));
  EXPECT_TRUE(HeadlessIsEnabled(kSaveButton));
}

TEST_F(ListCommandTest, ClearEmptiesTheResultsAndTheUnopenedFiles) {
  SearchWithUnopenedFile();
  std::int32_t searched = WindowSearchState().FilesSearched;
  HeadlessClick(kClearButton);
  EXPECT_EQ(Lines(), 0);
  EXPECT_EQ(WindowSearchState().ResultList.Count, 0u);
  EXPECT_EQ(WindowSearchState().UnopenedFiles.Count, 0u);
  EXPECT_EQ(Status(), "Ready" + std::string(85, ' '));
  EXPECT_EQ(HeadlessFocus(), kSearchForEdit);
  for (int id : {kDeleteButton, kClearButton, kSaveButton}) EXPECT_FALSE(HeadlessIsEnabled(id));
  EXPECT_EQ(WindowSearchState().FilesSearched, searched);
  EXPECT_EQ(WindowSearchState().LastTermType, 1);
}

TEST_F(ListCommandTest, DoubleClickOpensOnlyASelectedResult) {
  std::vector<std::string> lines = List(2);
  HeadlessDoubleClick(kResultListBox);
  EXPECT_TRUE(HeadlessOpenedFiles().empty());
  // A double-click elsewhere is not an open.
  HeadlessSelectLine(kResultListBox, 1);
  SendMainWindowMessage(kMsgCommand, MakeCommand(kSearchInEdit, kNotifyDoubleClicked), 0);
  EXPECT_TRUE(HeadlessOpenedFiles().empty());
  HeadlessDoubleClick(kResultListBox);
  EXPECT_EQ(HeadlessOpenedFiles(), std::vector<std::string>{lines[1]});
}

// The worker only appends while the window thread opens an entry that already stands.
TEST_F(ListCommandTest, DoubleClickDuringASearchOpensTheLinesFile) {
  WriteFiles(tree_, 10, "x\n");
  SetInputs(tree_.Root() + "*.txt", "");
  StartAndHoldAt(3);
  ReleaseSink();
  HeadlessSelectLine(kResultListBox, 1);
  std::string line = HeadlessListLines(kResultListBox)[1];
  HeadlessDoubleClick(kResultListBox);
  ASSERT_TRUE(WaitForSearchEnd());
  EXPECT_EQ(HeadlessOpenedFiles(), std::vector<std::string>{line});
}

TEST_F(ListCommandTest, WordResultOpensTheFileNotTheLine) {
  tree_.WriteFile("a.txt", "one smith\ntwo smyth\n");
  SetInputs(tree_.Root() + "*.txt", "smith");
  HeadlessClick(kGoButton);
  ASSERT_TRUE(WaitForSearchEnd());
  ASSERT_EQ(Lines(), 2);
  HeadlessSelectLine(kResultListBox, 1);
  HeadlessDoubleClick(kResultListBox);
  EXPECT_EQ(HeadlessOpenedFiles(), std::vector<std::string>{tree_.Path("a.txt")});
}

}  // namespace
}  // namespace ui_test
