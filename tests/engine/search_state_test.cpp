#include "engine/search_state.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <utility>
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

// A stopped search: the counts agree with the lines shown, an expression's files that
// satisfy it so far are listed below the lines, and the sink hears a Stopped end twice,
// around the cleanup, with the lists the log will name.
struct StopCase {
  const char* Label;
  int LastTermType;
  std::vector<std::pair<const char*, int>> FileSet;  // path and flag, the interrupted last
  std::vector<const char*> ResultList;
  std::int32_t FilesSearched, MatchedFiles;      // before the stop's end
  std::int32_t EndFilesSearched, EndMatchedFiles;  // in the summary and the state after it
  std::vector<std::string> Listed;                 // lines the stop's end adds
};

void PrintTo(const StopCase& c, std::ostream* out) { *out << c.Label; }

class StopTest : public SearchStateTest, public ::testing::WithParamInterface<StopCase> {};

TEST_P(StopTest, CountsWhatIsShownListsTheFlaggedFilesAndEndsTheSearch) {
  const StopCase& c = GetParam();
  SearchState& state = TestSearchState();
  state.LastTermType = c.LastTermType;
  for (const auto& [path, flag] : c.FileSet) state.FileSet.Flag(state.FileSet.Add(path)) = flag;
  for (const char* path : c.ResultList) state.ResultList.Add(path);
  state.FilesSearched = c.FilesSearched;
  state.MatchedFiles = c.MatchedFiles;
  state.SearchRunning = 1;
  RecordingSink sink;

  EXPECT_EQ(EndStoppedSearch(state, sink), -1);

  ExpectNothingHeld();
  EXPECT_EQ(sink.Lines, c.Listed);
  std::vector<std::string> entries(c.ResultList.begin(), c.ResultList.end());
  entries.insert(entries.end(), c.Listed.begin(), c.Listed.end());
  ASSERT_EQ(state.ResultList.Count, entries.size());
  for (std::uint32_t i = 0; i < entries.size(); ++i) EXPECT_EQ(state.ResultList.Get(i), entries[i]);
  EXPECT_EQ(state.FilesSearched, c.EndFilesSearched);
  EXPECT_EQ(state.MatchedFiles, c.EndMatchedFiles);
  ASSERT_EQ(sink.Endings.size(), 1u);
  ASSERT_EQ(sink.Ended.size(), 1u);
  for (const SearchSummary& summary : {sink.Endings[0], sink.Ended[0]}) {
    EXPECT_EQ(summary.Ending, SearchEnding::Stopped);
    EXPECT_EQ(summary.SingleWord, c.LastTermType == kSingleWord);
    EXPECT_EQ(summary.FilesSearched, c.EndFilesSearched);
    EXPECT_EQ(summary.MatchedFiles, c.EndMatchedFiles);
    EXPECT_EQ(summary.ResultList, &state.ResultList);
    EXPECT_EQ(summary.UnopenedList, &state.UnopenedFiles);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Stops, StopTest,
    ::testing::Values(
        // The interrupted file's lines end the list: it counts as searched and matched.
        StopCase{"word_interrupted_with_lines", kSingleWord, {{"/a", 0}, {"/b", 0}},
                 {"/x", "/b"}, 3, 1, 4, 2, {}},
        StopCase{"word_interrupted_without_lines", kSingleWord, {{"/a", 0}, {"/b", 0}},
                 {"/x", "/a"}, 3, 1, 3, 1, {}},
        StopCase{"word_nothing_listed", kSingleWord, {{"/b", 0}}, {}, 2, 0, 2, 0, {}},
        // Every file enumerated counts as searched; the flagged ones are listed in order.
        StopCase{"expression", 111, {{"/a", 0}, {"/b", 1}, {"/c", 0}, {"/d", 1}},
                 {"/earlier"}, 0, 2, 4, 2, {"/b", "/d"}},
        StopCase{"before_the_first_term", 0, {{"/a", 0}}, {}, 0, 0, 1, 0, {}}),
    [](const ::testing::TestParamInfo<StopCase>& info) { return std::string(info.param.Label); });

// A line is shown even when ResultList has no room for its entry.
TEST_F(SearchStateTest, StoppedExpressionShowsAFileEvenWhenResultListIsFull) {
  SearchState& state = TestSearchState();
  state.LastTermType = 110;
  for (std::uint32_t i = 0; i < kFlaggedListCapacity; ++i) state.ResultList.Add("/r.txt");
  state.FileSet.Flag(state.FileSet.Add("/flagged.txt")) = 1;
  RecordingSink sink;

  EndStoppedSearch(state, sink);

  EXPECT_EQ(sink.Lines, (std::vector<std::string>{"/flagged.txt"}));
  EXPECT_EQ(sink.LeftOutCount(LeftOutKind::LineWithoutEntry), 1u);
  EXPECT_EQ(state.ResultList.Count, kFlaggedListCapacity);
}

}  // namespace
