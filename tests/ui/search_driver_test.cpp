// Whole searches through the window's request and sink on the headless window: the
// listing of a blank query, a fresh state for every search, a search that finds no file,
// the inputs as read from the controls, and a stop met on the worker.
#include <gtest/gtest.h>

#include <cstring>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "engine/search_state.h"
#include "platform/thread.h"
#include "support/headless_controls.h"
#include "support/test_support.h"
#include "ui/search_activity.h"
#include "ui/status_line.h"
#include "ui/window_search.h"

namespace {

std::string Padded(std::string text) {
  text.resize(kStatusWidth, ' ');
  return text;
}

std::vector<std::string> ResultPaths() {
  std::vector<std::string> paths;
  for (std::uint32_t i = 0; i < WindowSearchState().ResultList.Count; ++i)
    paths.emplace_back(WindowSearchState().ResultList.Get(i));
  return paths;
}

std::vector<std::string> statusAtEachLine;
void RecordStatus(const char*) { statusAtEachLine.push_back(HeadlessControlText(kStatusLine)); }

class SearchDriverTest : public ::testing::Test {
 protected:
  void SetUp() override {
    HeadlessReset();
    HeadlessCreateSearchControls();
    ClearSearchLists(WindowSearchState());
    statusAtEachLine.clear();
    tree.WriteFile("one.txt", "cat");
    tree.WriteFile("two.txt", "dog");
    tree.WriteFile("notes.doc", "cat");
    tree.WriteFile("sub/three.txt", "cat");
    SetControlText(kSearchInEdit, tree.Path("*.txt").c_str());
    SetControlFocus(kSearchForEdit);
  }
  void TearDown() override {
    HeadlessSetLineSink(nullptr);
    ResetSearchState(WindowSearchState());
    SetWindowSearchActivity(SearchActivity::Idle);  // a stopped search had no Stop of the window's
    ClearSearchLists(WindowSearchState());
  }
  // The search as Go starts it, run on this thread.
  static int Search() { return RunWindowSearch(ReadWindowRequest()); }

  TempTree tree;
};

TEST_F(SearchDriverTest, EmptyQueryListsTheMatchingFiles) {
  HeadlessSetLineSink(RecordStatus);
  EXPECT_EQ(Search(), 0);

  std::vector<std::string> lines = HeadlessListLines(kResultListBox);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines, ResultPaths());
  EXPECT_EQ(lines[0].rfind(tree.Root(), 0), 0u);
  EXPECT_EQ(WindowSearchState().FilesSearched, 2);
  EXPECT_EQ(HeadlessControlText(kStatusLine),
            Padded("Completed:  Found 2 file(s) matching specification."));
  EXPECT_EQ(statusAtEachLine.front(), "Searching..." + std::string(84, ' '));
  EXPECT_EQ(HeadlessHorizontalExtent(kResultListBox), 600);
  EXPECT_EQ(HeadlessFocus(), kSearchForEdit);
  EXPECT_EQ(WindowSearchState().FileSet.Count, 0u);  // the cleanup has run
  EXPECT_EQ(HeadlessControlText(kGoButton), "&Go");
  EXPECT_TRUE(HeadlessIsEnabled(kClearButton));
}

TEST_F(SearchDriverTest, BlankQueryListsWithSubdirectoriesWhenChecked) {
  SetControlText(kSearchForEdit, "    ");
  HeadlessSetCheck(kIncludeSubdirsCheck, 1);
  EXPECT_EQ(Search(), 0);
  EXPECT_EQ(HeadlessListLines(kResultListBox).size(), 3u);
  EXPECT_EQ(ResultPaths().back(), tree.Path("sub/three.txt"));
  EXPECT_EQ(HeadlessControlText(kStatusLine),
            Padded("Completed:  Found 3 file(s) matching specification."));
}

TEST_F(SearchDriverTest, StartsFromAFreshStateButLeavesResultListToGo) {
  WindowSearchState().FileSet.Add("/stale/file.txt");
  WindowSearchState().DirectoryQueue.Add("/stale/*.txt");
  WindowSearchState().UnopenedFiles.Add("/stale/unopened.txt");
  WindowSearchState().ResultList.Add("/kept/by/go.txt");
  WindowSearchState().LastTermType = 1;
  WindowSearchState().MatchedFiles = 9;
  WindowSearchState().FirstTermTaken = 1;

  EXPECT_EQ(Search(), 0);

  EXPECT_EQ(WindowSearchState().UnopenedFiles.Count, 0u);
  EXPECT_EQ(WindowSearchState().LastTermType, 0);
  EXPECT_EQ(WindowSearchState().MatchedFiles, 0);
  ASSERT_EQ(WindowSearchState().ResultList.Count, 3u);
  EXPECT_STREQ(WindowSearchState().ResultList.Get(0), "/kept/by/go.txt");
  EXPECT_EQ(HeadlessListLines(kResultListBox).size(), 2u);
}

// The two messages of a search that finds no file to search, each with its own spacing.
const char kNoFilesText[] =
    "No files were found that correspond to   \nthe search pattern that you entered\n"
    "as the 'Search in:' string. Please\ncheck the filename and/or directory.";
const char kNoFilesInTreeText[] =
    "No files were found that correspond    \nto the search pattern that you entered\n"
    "as the  'Search in:'  string. Please\ncheck the filename and/or directory.";

struct NothingFoundCase {
  const char* Name;
  const char* SearchIn;  // below the tree
  int Subdirectories;
  const char* SearchFor;
  const char* Text;
  std::size_t TextLength;
  int ReadyBlanks;
};

void PrintTo(const NothingFoundCase& c, std::ostream* out) { *out << c.Name; }

class NothingFoundTest : public SearchDriverTest,
                         public ::testing::WithParamInterface<NothingFoundCase> {};

// Only the message, then "Ready", the buttons of an idle window and the focus on the field
// to mend.
TEST_P(NothingFoundTest, EndsWithTheMessageAndSendsTheUserBackToSearchIn) {
  const NothingFoundCase& c = GetParam();
  SetControlText(kSearchInEdit, tree.Path(c.SearchIn).c_str());
  HeadlessSetCheck(kIncludeSubdirsCheck, c.Subdirectories);
  SetControlText(kSearchForEdit, c.SearchFor);
  SetControlText(kGoButton, "Stop");
  EXPECT_EQ(Search(), -1);
  std::vector<RecordedMessageBox> boxes = HeadlessMessageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].Title, " Tessik");
  EXPECT_EQ(boxes[0].Text, c.Text);
  EXPECT_EQ(boxes[0].Text.size(), c.TextLength);
  EXPECT_EQ(boxes[0].Icon, MessageIcon::Information);
  EXPECT_EQ(HeadlessControlText(kStatusLine), "Ready" + std::string(c.ReadyBlanks, ' '));
  EXPECT_EQ(HeadlessFocus(), kSearchInEdit);
  EXPECT_EQ(HeadlessControlText(kGoButton), "&Go");
  EXPECT_TRUE(HeadlessListLines(kResultListBox).empty());
  EXPECT_EQ(WindowSearchState().FileSet.Count, 0u);
}

INSTANTIATE_TEST_SUITE_P(
    FolderOrTree, NothingFoundTest,
    ::testing::Values(NothingFoundCase{"ListingWithoutAMatchInTheFolder", "*.none", 0, "",
                                       kNoFilesText, 149, 126},
                      NothingFoundCase{"WordInAMissingTree", "missing/*.txt", 1, "cat",
                                       kNoFilesInTreeText, 152, 127}),
    [](const ::testing::TestParamInfo<NothingFoundCase>& info) {
      return std::string(info.param.Name);
    });

TEST_F(SearchDriverTest, OnlyThe255FirstCharactersOfEachInputAreTaken) {
  // Stars fill the pattern up to the 255th character; what follows must be ignored.
  std::string spec = tree.Root();
  spec += std::string(255 - spec.size() - 4, '*') + ".txt" + "IGNORED";
  SetControlText(kSearchInEdit, spec.c_str());
  std::string query = std::string(255, ' ') + "cat";
  SetControlText(kSearchForEdit, query.c_str());

  EXPECT_EQ(Search(), 0);

  EXPECT_EQ(std::strlen(LastWindowRequest().SearchIn), 255u);
  EXPECT_EQ(std::strlen(LastWindowRequest().SearchFor), 255u);
  EXPECT_EQ(HeadlessControlText(kStatusLine),
            Padded("Completed:  Found 2 file(s) matching specification."));
}

// "Search for:" holds 255 characters in whatever letters: the search reads them all, and
// never the first byte of a character without the rest.
TEST_F(SearchDriverTest, SearchForIsReadAsItsCharacters) {
  std::string cyrillic;  // 300 letters of two bytes each
  for (int i = 0; i < 300; ++i) cyrillic += "\xd0\x96";
  // Typed whole, and past the 255th character (a and 254 letters: 509 bytes).
  for (const auto& [typed, read] :
       {std::pair<std::string, std::size_t>{cyrillic.substr(0, 262) + " O cat", 268},
        {"a" + cyrillic, 509}}) {
    SetControlText(kSearchForEdit, "");
    HeadlessTypeText(kSearchForEdit, typed);
    Search();  // refused: these letters are no letters to the program's own reading
    EXPECT_EQ(std::string(LastWindowRequest().SearchFor), typed.substr(0, read));
  }
}

// The window thread's part of a stop: the worker adds nothing more and leaves the cleanup.
void StopOnFirstLine(const char*) { RequestStop(); }

TEST_F(SearchDriverTest, StopDuringTheListingLeavesTheRestToTheWindowThread) {
  HeadlessSetCheck(kIncludeSubdirsCheck, 1);
  SetControlText(kGoButton, "Stop");
  HeadlessSetLineSink(StopOnFirstLine);
  const SearchRequest request = ReadWindowRequest();
  ASSERT_EQ(StartWorker([request] { return RunWindowSearch(request); }), 0);
  EXPECT_EQ(JoinWorker(), -1);

  EXPECT_EQ(HeadlessListLines(kResultListBox).size(), 1u);
  EXPECT_EQ(WindowSearchState().ResultList.Count, 1u);
  EXPECT_EQ(WindowSearchState().FileSet.Count, 3u);
  EXPECT_EQ(HeadlessControlText(kStatusLine), "Searching..." + std::string(84, ' '));
  EXPECT_EQ(HeadlessControlText(kGoButton), "Stop");
}

}  // namespace
