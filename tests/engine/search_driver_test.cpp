// The front door: one request in, and what the sink is told, in order, for every way a
// search can end.
#include "engine/search_driver.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/search_state.h"
#include "query/query_validation.h"
#include "query/term_codes.h"
#include "support/recording_sink.h"
#include "support/test_search_state.h"
#include "support/test_support.h"

namespace {

struct EndingCase {
  const char* Label;
  const char* SearchIn;  // relative to the tree; "" for none
  const char* SearchFor;
  bool Subdirectories;
  int Returned;
  SearchEnding Ending;
  int Refusal;
  std::vector<bool> Collecting;    // what CollectingFiles was told
  std::vector<std::string> Lines;  // with the tree's root taken off paths
  bool SingleWord;
  int FilesSearched;
  int MatchedFiles;
};

void PrintTo(const EndingCase& c, std::ostream* out) { *out << c.Label; }

class FrontDoor : public ::testing::TestWithParam<EndingCase> {
 protected:
  void SetUp() override {
    ClearSearchLists(TestSearchState());
    tree.WriteFile("a.txt", "The cat sat.\n");
    tree.WriteFile("sub/b.txt", "a dog and a kat\n");
  }
  void TearDown() override {
    ResetSearchState(TestSearchState());
    ClearSearchLists(TestSearchState());
  }
  TempTree tree;
};

TEST_P(FrontDoor, TellsTheSinkHowTheSearchEnded) {
  const EndingCase& c = GetParam();
  const std::string searchIn = c.SearchIn[0] != '\0' ? tree.Path(c.SearchIn) : "";
  const SearchRequest request = MakeSearchRequest(searchIn.c_str(), c.SearchFor, c.Subdirectories);
  RecordingSink sink;
  EXPECT_EQ(RunSearch(TestSearchState(), request, sink), c.Returned);

  EXPECT_EQ(sink.Collecting, c.Collecting);
  std::vector<std::string> lines;
  for (std::string line : sink.Lines) {
    const std::size_t root = line.find(tree.Root());
    if (root != std::string::npos) line.erase(root, tree.Root().size());
    for (char& c : line) c = c == '\\' ? '/' : c;  // the separator of Windows paths
    lines.push_back(line);
  }
  EXPECT_EQ(lines, c.Lines);
  // One end, told twice: before and after the cleanup, which has run.
  ASSERT_EQ(sink.Endings.size(), 1u);
  ASSERT_EQ(sink.Ended.size(), 1u);
  const SearchSummary& summary = sink.Endings[0];
  EXPECT_EQ(summary.Ending, c.Ending);
  EXPECT_EQ(sink.Ended[0].Ending, c.Ending);
  EXPECT_EQ(summary.Refusal, c.Refusal);
  EXPECT_EQ(summary.SingleWord, c.SingleWord);
  EXPECT_EQ(summary.FilesSearched, c.FilesSearched);
  EXPECT_EQ(summary.MatchedFiles, c.MatchedFiles);
  EXPECT_EQ(summary.UnopenedFiles, 0u);
  EXPECT_EQ(TestSearchState().FileSet.Count.load(), 0u);
  EXPECT_EQ(TestSearchState().ReadBuffer.load(), nullptr);
  EXPECT_EQ(TestSearchState().ResultList.Count.load(), sink.Lines.size());
}

INSTANTIATE_TEST_SUITE_P(Endings, FrontDoor,
                         ::testing::Values(EndingCase{"listing",
                                                      "*.txt",
                                                      "  ",
                                                      false,
                                                      0,
                                                      SearchEnding::FilesListed,
                                                      0,
                                                      {true},
                                                      {"a.txt"},
                                                      false,
                                                      1,
                                                      0},
                                           EndingCase{"one_word",
                                                      "*.txt",
                                                      "kat",
                                                      true,
                                                      0,
                                                      SearchEnding::QueryAnswered,
                                                      0,
                                                      {false},
                                                      {"kat\tb.txt\t1 (93.8%)\t0 K",
                                                       "cat\ta.txt\t1 (53.8%)\t0 K"},
                                                      true,
                                                      2,
                                                      2},
                                           EndingCase{"expression",
                                                      "*.txt",
                                                      "cat A dog",
                                                      true,
                                                      0,
                                                      SearchEnding::QueryAnswered,
                                                      0,
                                                      {false},
                                                      {"sub/b.txt"},
                                                      false,
                                                      2,
                                                      1},
                                           EndingCase{"refused",
                                                      "*.txt",
                                                      "cat A",
                                                      false,
                                                      -1,
                                                      SearchEnding::QueryRefused,
                                                      kQueryOperatorAtEnd,
                                                      {},
                                                      {},
                                                      false,
                                                      0,
                                                      0},
                                           EndingCase{"no_files",
                                                      "*.zzz",
                                                      "cat",
                                                      false,
                                                      -1,
                                                      SearchEnding::NoFiles,
                                                      0,
                                                      {false},
                                                      {},
                                                      false,
                                                      0,
                                                      0},
                                           EndingCase{"no_files_in_tree",
                                                      "none/*.zzz",
                                                      "",
                                                      true,
                                                      -1,
                                                      SearchEnding::NoFilesInTree,
                                                      0,
                                                      {true},
                                                      {},
                                                      false,
                                                      0,
                                                      0}),
                         [](const auto& info) { return std::string(info.param.Label); });

// The request keeps what a field of the window holds: 255 characters of each text.
TEST(SearchRequest, KeepsTheFirst255CharactersOfEachText) {
  const std::string longText(300, 'x');
  const SearchRequest request = MakeSearchRequest(longText.c_str(), nullptr, true);
  EXPECT_EQ(std::string(request.SearchIn), longText.substr(0, 255));
  EXPECT_EQ(std::string(request.SearchFor), "");
  EXPECT_TRUE(request.IncludeSubdirectories);
}

}  // namespace
