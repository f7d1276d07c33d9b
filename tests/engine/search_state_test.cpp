#include "engine/search_state.h"

#include <gtest/gtest.h>

#include "platform/memory.h"
#include "support/headless_controls.h"
#include "support/test_support.h"

namespace {

class SearchStateTest : public ::testing::Test {
 protected:
  void SetUp() override {
    HeadlessReset();
    HeadlessCreateSearchControls();
    ClearSearchLists();
  }
  void TearDown() override {
    ResetSearchState();
    ClearSearchLists();
  }
};

void ExpectNothingHeld() {
  EXPECT_EQ(SearchState.PatternFindHandle, kNoFind);
  EXPECT_EQ(SearchState.SubdirFindHandle, kNoFind);
  EXPECT_EQ(SearchState.ScanFileHandle, kNoFile);
  EXPECT_EQ(SearchState.ReadBuffer, nullptr);
  EXPECT_EQ(FileSet.Count, 0u);
  EXPECT_EQ(DirectoryQueue.Count, 0u);
  EXPECT_EQ(SearchState.SearchRunning, 0);
  EXPECT_EQ(SearchState.SearchPaused, 0);
  EXPECT_EQ(SearchState.FirstTermTaken, 0);
}

TEST_F(SearchStateTest, ReleasesEverythingAndKeepsTheResults) {
  TempTree tree;
  tree.WriteFile("a.txt", "words");
  FindEntry entry;
  SearchState.PatternFindHandle = FindFirst(tree.Path("*.*").c_str(), &entry);
  SearchState.SubdirFindHandle = FindFirst(tree.Path("*.txt").c_str(), &entry);
  SearchState.ReadBuffer = static_cast<std::uint8_t*>(AllocateZeroed(kReadChunkSize));
  SearchState.ScanFileHandle = OpenFileForScan(tree.Path("a.txt").c_str());
  ASSERT_TRUE(IsOpenFind(SearchState.PatternFindHandle));
  ASSERT_TRUE(IsOpenFile(SearchState.ScanFileHandle));
  FileSet.Add(tree.Path("a.txt").c_str());
  DirectoryQueue.Add("sub/*.txt");
  ResultList.Add(tree.Path("a.txt").c_str());
  UnopenedFiles.Add("/gone.txt");
  SearchState.SearchRunning = 1;
  SearchState.SearchPaused = 1;
  SearchState.FirstTermTaken = 1;
  SearchState.LastTermType = 1;
  SearchState.FilesSearched = 4;
  SearchState.MatchedFiles = 2;
  SetControlText(kGoButton, "Stop");
  EnableControl(kPauseButton, true);

  ResetSearchState();

  ExpectNothingHeld();
  EXPECT_EQ(ResultList.Count, 1u);
  EXPECT_EQ(UnopenedFiles.Count, 1u);
  EXPECT_EQ(SearchState.LastTermType, 1);
  EXPECT_EQ(SearchState.FilesSearched, 4);
  EXPECT_EQ(SearchState.MatchedFiles, 2);
  EXPECT_EQ(HeadlessControlText(kGoButton), "&Go");
  EXPECT_FALSE(HeadlessIsEnabled(kPauseButton));
  EXPECT_TRUE(HeadlessIsEnabled(kSaveButton));
  EXPECT_TRUE(HeadlessIsEnabled(kDeleteButton));
}

TEST_F(SearchStateTest, RunsTwiceInARowAndWithNothingOpen) {
  SearchState.PatternFindHandle = kInvalidFind;
  SearchState.ScanFileHandle = kInvalidFile;
  SearchState.SearchRunning = 1;
  ResetSearchState();
  ExpectNothingHeld();
  ResetSearchState();
  ExpectNothingHeld();
  EXPECT_FALSE(HeadlessIsEnabled(kSaveButton));
  EXPECT_FALSE(HeadlessIsEnabled(kClearButton));
}

}  // namespace
