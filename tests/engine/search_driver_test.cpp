#include "engine/search_driver.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <string>
#include <vector>

#include "engine/search_state.h"
#include "engine/status_line.h"
#include "phonetic/phonetic_key.h"
#include "phonetic/spelling_variants.h"
#include "platform/thread.h"
#include "support/headless_controls.h"
#include "support/test_support.h"

namespace {

std::string Padded(std::string text) {
  text.resize(kStatusWidth, ' ');
  return text;
}

std::vector<std::string> ResultPaths() {
  std::vector<std::string> paths;
  for (std::uint32_t i = 0; i < ResultList.Count; ++i) paths.emplace_back(ResultList.Get(i));
  return paths;
}

std::vector<std::string> statusAtEachLine;
void RecordStatus(const char*) { statusAtEachLine.push_back(HeadlessControlText(kStatusLine)); }

class SearchDriverTest : public ::testing::Test {
 protected:
  void SetUp() override {
    HeadlessReset();
    HeadlessCreateSearchControls();
    ClearSearchLists();
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
    ResetSearchState();
    ClearSearchLists();
  }
  TempTree tree;
};

TEST_F(SearchDriverTest, CountsOfWhatWasLeftOutStartAtZero) {
  std::atomic<std::uint32_t>* counts[] = {
      &SearchState.FoldersQueueFull,  &SearchState.FoldersSpecTooLong,
      &SearchState.FilesSetFull,      &SearchState.FilesPathTooLong,
      &SearchState.UnopenedNotListed, &SearchState.LinesWithoutResultEntry};
  for (const char* query : {"", "cat", "cat O dog"}) {
    for (std::atomic<std::uint32_t>* count : counts) *count = 7;
    SetControlText(kSearchForEdit, query);
    EXPECT_EQ(RunSearch(), 0) << query;
    for (std::atomic<std::uint32_t>* count : counts) EXPECT_EQ(count->load(), 0u) << query;
  }
}

TEST_F(SearchDriverTest, EmptyQueryListsTheMatchingFiles) {
  HeadlessSetLineSink(RecordStatus);
  EXPECT_EQ(RunSearch(), 0);

  std::vector<std::string> lines = HeadlessListLines(kResultListBox);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines, ResultPaths());
  EXPECT_EQ(lines[0].rfind(tree.Root(), 0), 0u);
  EXPECT_EQ(SearchState.FilesSearched, 2);
  EXPECT_EQ(HeadlessControlText(kStatusLine),
            Padded("Completed:  Found 2 file(s) matching specification."));
  EXPECT_EQ(statusAtEachLine.front(), "Searching..." + std::string(84, ' '));
  EXPECT_EQ(HeadlessHorizontalExtent(kResultListBox), 600);
  EXPECT_EQ(HeadlessFocus(), kSearchForEdit);
  EXPECT_EQ(FileSet.Count, 0u);  // the cleanup has run
  EXPECT_EQ(HeadlessControlText(kGoButton), "&Go");
  EXPECT_TRUE(HeadlessIsEnabled(kClearButton));
}

TEST_F(SearchDriverTest, BlankQueryListsWithSubdirectoriesWhenChecked) {
  SetControlText(kSearchForEdit, "    ");
  HeadlessSetCheck(kIncludeSubdirsCheck, 1);
  EXPECT_EQ(RunSearch(), 0);
  EXPECT_EQ(HeadlessListLines(kResultListBox).size(), 3u);
  EXPECT_EQ(ResultPaths().back(), tree.Path("sub/three.txt"));
  EXPECT_EQ(HeadlessControlText(kStatusLine),
            Padded("Completed:  Found 3 file(s) matching specification."));
}

TEST_F(SearchDriverTest, StartsFromAFreshStateButLeavesResultListToGo) {
  FileSet.Add("/stale/file.txt");
  DirectoryQueue.Add("/stale/*.txt");
  UnopenedFiles.Add("/stale/unopened.txt");
  ResultList.Add("/kept/by/go.txt");
  SearchState.LastTermType = 1;
  SearchState.MatchedFiles = 9;
  SearchState.FirstTermTaken = 1;
  KeyCount = 4;
  VariantCount = 4;

  EXPECT_EQ(RunSearch(), 0);

  EXPECT_EQ(UnopenedFiles.Count, 0u);
  EXPECT_EQ(SearchState.LastTermType, 0);
  EXPECT_EQ(SearchState.MatchedFiles, 0);
  EXPECT_EQ(KeyCount, 0u);
  EXPECT_EQ(VariantCount, 0u);
  ASSERT_EQ(ResultList.Count, 3u);
  EXPECT_STREQ(ResultList.Get(0), "/kept/by/go.txt");
  EXPECT_EQ(HeadlessListLines(kResultListBox).size(), 2u);
}

TEST_F(SearchDriverTest, ListingThatFindsNothingEndsWithTheMessageOnly) {
  SetControlText(kSearchInEdit, tree.Path("*.none").c_str());
  EXPECT_EQ(RunSearch(), -1);
  ASSERT_EQ(HeadlessMessageBoxes().size(), 1u);
  EXPECT_EQ(HeadlessControlText(kStatusLine), "Ready" + std::string(126, ' '));
  EXPECT_EQ(HeadlessFocus(), kSearchInEdit);
  EXPECT_TRUE(HeadlessListLines(kResultListBox).empty());
}

TEST_F(SearchDriverTest, OnlyThe255FirstCharactersOfEachInputAreTaken) {
  // Stars fill the pattern up to the 255th character; what follows must be ignored.
  std::string spec = tree.Root();
  spec += std::string(255 - spec.size() - 4, '*') + ".txt" + "IGNORED";
  SetControlText(kSearchInEdit, spec.c_str());
  std::string query = std::string(255, ' ') + "cat";
  SetControlText(kSearchForEdit, query.c_str());

  EXPECT_EQ(RunSearch(), 0);

  EXPECT_EQ(std::strlen(SearchState.SearchSpecText), 255u);
  EXPECT_EQ(std::strlen(SearchState.SearchText), 255u);
  EXPECT_EQ(HeadlessControlText(kStatusLine),
            Padded("Completed:  Found 2 file(s) matching specification."));
}

// The window thread's part of a stop: the worker adds nothing more and leaves the cleanup.
void StopOnFirstLine(const char*) { RequestStop(); }
int SearchOnWorker() { return RunSearch(); }

TEST_F(SearchDriverTest, StopDuringTheListingLeavesTheRestToTheWindowThread) {
  HeadlessSetCheck(kIncludeSubdirsCheck, 1);
  SetControlText(kGoButton, "Stop");
  HeadlessSetLineSink(StopOnFirstLine);
  ASSERT_EQ(StartWorker(SearchOnWorker), 0);
  EXPECT_EQ(JoinWorker(), -1);

  EXPECT_EQ(HeadlessListLines(kResultListBox).size(), 1u);
  EXPECT_EQ(ResultList.Count, 1u);
  EXPECT_EQ(FileSet.Count, 3u);
  EXPECT_EQ(HeadlessControlText(kStatusLine), "Searching..." + std::string(84, ' '));
  EXPECT_EQ(HeadlessControlText(kGoButton), "Stop");
}

}  // namespace
