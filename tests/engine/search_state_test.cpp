#include "engine/search_state.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "engine/file_set.h"
#include "platform/memory.h"
#include "query/term_codes.h"
#include "support/recording_sink.h"
#include "support/test_search_state.h"
#include "support/test_support.h"

namespace {

class SearchStateTest : public ::testing::Test {
 protected:
  void SetUp() override { ClearSearchLists(TestSearchState()); }
  void TearDown() override {
    ResetSearchState(TestSearchState());
    ClearSearchLists(TestSearchState());
  }
};

void ExpectNothingHeld() {
  EXPECT_EQ(TestSearchState().PatternFindHandle, kNoFind);
  EXPECT_EQ(TestSearchState().SubdirFindHandle, kNoFind);
  EXPECT_EQ(TestSearchState().ScanFileHandle, kNoFile);
  EXPECT_EQ(TestSearchState().ReadBuffer, nullptr);
  EXPECT_EQ(TestSearchState().FileSet.Count, 0u);
  EXPECT_EQ(TestSearchState().DirectoryQueue.Count, 0u);
  EXPECT_EQ(TestSearchState().SearchRunning, 0);
  EXPECT_EQ(TestSearchState().SearchPaused, 0);
  EXPECT_EQ(TestSearchState().FirstTermTaken, 0);
}

// A search in full swing: enumerations, a file and the buffer open, every list and count
// in use.
void HoldEverything(const TempTree& tree) {
  FindEntry entry;
  TestSearchState().PatternFindHandle = FindFirst(tree.Path("*.*").c_str(), &entry);
  TestSearchState().SubdirFindHandle = FindFirst(tree.Path("*.txt").c_str(), &entry);
  TestSearchState().ReadBuffer = static_cast<std::uint8_t*>(AllocateZeroed(kReadChunkSize));
  TestSearchState().ScanFileHandle = OpenFileForScan(tree.Path("a.txt").c_str());
  ASSERT_TRUE(IsOpenFind(TestSearchState().PatternFindHandle));
  ASSERT_TRUE(IsOpenFile(TestSearchState().ScanFileHandle));
  TestSearchState().FileSet.Add(tree.Path("a.txt").c_str());
  TestSearchState().DirectoryQueue.Add("sub/*.txt");
  TestSearchState().ResultList.Add(tree.Path("a.txt").c_str());
  TestSearchState().UnopenedFiles.Add("/gone.txt");
  TestSearchState().SearchRunning = 1;
  TestSearchState().SearchPaused = 1;
  TestSearchState().FirstTermTaken = 1;
  TestSearchState().LastTermType = kSingleWord;
  TestSearchState().FilesSearched = 4;
  TestSearchState().MatchedFiles = 2;
}

TEST_F(SearchStateTest, ReleasesEverythingAndKeepsTheResults) {
  TempTree tree;
  tree.WriteFile("a.txt", "words");
  HoldEverything(tree);

  ResetSearchState(TestSearchState());

  ExpectNothingHeld();
  EXPECT_EQ(TestSearchState().ResultList.Count, 1u);
  EXPECT_EQ(TestSearchState().UnopenedFiles.Count, 1u);
  EXPECT_EQ(TestSearchState().LastTermType, kSingleWord);
  EXPECT_EQ(TestSearchState().FilesSearched, 4);
  EXPECT_EQ(TestSearchState().MatchedFiles, 2);
}

TEST_F(SearchStateTest, RunsTwiceInARowAndWithNothingOpen) {
  TestSearchState().PatternFindHandle = kInvalidFind;
  TestSearchState().ScanFileHandle = kInvalidFile;
  TestSearchState().SearchRunning = 1;
  ResetSearchState(TestSearchState());
  ExpectNothingHeld();
  ResetSearchState(TestSearchState());
  ExpectNothingHeld();
}

// The sink hears of the end twice: first what it says, while the search still holds what
// it held, then, once all of it has been let go, that it is over (the window's buttons
// follow the state then). Both times with the counts of the search.
class EndWatchingSink : public RecordingSink {
 public:
  void SearchEnding(const SearchSummary& summary) override {
    RecordingSink::SearchEnding(summary);
    RunningAt.push_back(TestSearchState().SearchRunning.load());
  }
  void SearchEnded(const SearchSummary& summary) override {
    RecordingSink::SearchEnded(summary);
    RunningAt.push_back(TestSearchState().SearchRunning.load());
  }
  std::vector<int> RunningAt;  // whether the search ran, at each of the two calls
};

struct EndCase {
  const char* Label;
  int Built;  // BuildFileSet's answer; kFileSetBuilt: the search ends as `Ending` says
  SearchEnding Ending;
  int Returned;
};

void PrintTo(const EndCase& c, std::ostream* out) { *out << c.Label; }

class EndTest : public SearchStateTest, public ::testing::WithParamInterface<EndCase> {};

TEST_P(EndTest, TellsTheSinkTheEndThenCleansUpAndTellsItAgain) {
  const EndCase& c = GetParam();
  TempTree tree;
  tree.WriteFile("a.txt", "words");
  HoldEverything(tree);
  EndWatchingSink sink;

  const int returned = c.Built == kFileSetBuilt ? EndSearch(TestSearchState(), c.Ending, sink, 3)
                                                : EndWithoutFiles(TestSearchState(), c.Built, sink);

  EXPECT_EQ(returned, c.Returned);
  ExpectNothingHeld();
  EXPECT_EQ(sink.RunningAt, (std::vector<int>{1, 0}));
  ASSERT_EQ(sink.Endings.size(), 1u);
  ASSERT_EQ(sink.Ended.size(), 1u);
  for (const SearchSummary& summary : {sink.Endings[0], sink.Ended[0]}) {
    EXPECT_EQ(summary.Ending, c.Ending);
    EXPECT_EQ(summary.Refusal, c.Built == kFileSetBuilt ? 3 : 0);
    EXPECT_TRUE(summary.SingleWord);
    EXPECT_EQ(summary.FilesSearched, 4);
    EXPECT_EQ(summary.MatchedFiles, 2);
    EXPECT_EQ(summary.UnopenedFiles, 1u);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Endings, EndTest,
    ::testing::Values(EndCase{"answered", kFileSetBuilt, SearchEnding::QueryAnswered, 0},
                      EndCase{"listed", kFileSetBuilt, SearchEnding::FilesListed, 0},
                      EndCase{"refused", kFileSetBuilt, SearchEnding::QueryRefused, -1},
                      EndCase{"no_memory", kFileSetBuilt, SearchEnding::NoMemory, -1},
                      EndCase{"no_files", kNoFileMatches, SearchEnding::NoFiles, -1},
                      EndCase{"no_files_in_tree", kNoFileMatchesInTree, SearchEnding::NoFilesInTree,
                              -1}),
    [](const ::testing::TestParamInfo<EndCase>& info) { return std::string(info.param.Label); });

}  // namespace
