#include "ui/status_line.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "engine/search_state.h"
#include "query/term_codes.h"
#include "support/headless_controls.h"
#include "ui/window_search.h"

namespace {

struct StatusCase {
  const char* Name;
  std::uint32_t Mode;
  int LastTermType;
  int FilesSearched;
  int MatchedFiles;
  int Unopened;
  int Lines;
  const char* Expected;  // before the padding to 90 characters
  int Extent;
};

// A case shows as its name, in the test list and in failures, rather than as its bytes.
void PrintTo(const StatusCase& c, std::ostream* os) { *os << c.Name; }

const StatusCase kCases[] = {
    {"WordFinishedWithUnopened", 1, 1, 12, 3, 2, 5,
     "Completed:  5 item(s) found. 2 file(s) couldn't be opened.", 250},
    {"WordStoppedWithUnopened", 2, 1, 12, 3, 1, 5,
     "Completed:  5 item(s) found. 1 file(s) couldn't be opened.", 250},
    {"WordFinished", 1, 1, 12, 3, 0, 5,
     "Completed:  12 file(s) searched. Found 5 item(s) in 3 file(s).", 250},
    {"WordStopped", 2, 1, 4, 1, 0, 2,
     "Completed:  4 file(s) searched. Found 2 item(s) in 1 file(s).", 250},
    {"ExpressionFinished", 1, 110, 7, 2, 0, 2,
     "Completed:  7 file(s) searched. 2 file(s) matched expression.", 600},
    {"ExpressionFinishedWithNothing", 1, 0, 3, 0, 0, 0,
     "Completed:  3 file(s) searched. 0 file(s) matched expression.", 600},
    {"ExpressionStopped", 2, 111, 5, 3, 1, 0,
     "Inerrupted:  3 intermediate file(s) match expression.", 600},
    {"StoppedBeforeTheFirstTerm", 2, 0, 0, 0, 0, 0,
     "Inerrupted:  0 intermediate file(s) match expression.", 600},
    {"WordLineDeleted", 3, 1, 12, 3, 2, 4, "Completed:  12 file(s) searched. Found 4 item(s).",
     250},
    {"ExpressionLineDeleted", 3, 10, 12, 3, 0, 4,
     "Completed:  Found 4 file(s) matching expression.", 600},
    {"ListingFinished", 4, 0, 0, 0, 0, 0, "Completed:  Found 0 file(s) matching specification.",
     600},
    {"LargestCounts", 1, 1, -2147483647 - 1, -2147483647 - 1, 0, 3,
     "Completed:  -2147483648 file(s) searched. Found 3 item(s) in -2147483648 file(s).", 250},
};

class StatusLineTest : public ::testing::TestWithParam<StatusCase> {
 protected:
  void SetUp() override {
    HeadlessReset();
    HeadlessCreateSearchControls();
    ClearSearchLists(WindowSearchState());
  }
  void TearDown() override { ClearSearchLists(WindowSearchState()); }
};

TEST_P(StatusLineTest, FormatsPadsToNinetyAndSetsTheExtent) {
  const StatusCase& c = GetParam();
  const SearchSummary summary{SearchEnding::QueryAnswered, 0,
                              IsSingleWordSearch(c.LastTermType), c.FilesSearched,
                              c.MatchedFiles, static_cast<std::uint32_t>(c.Unopened)};
  for (int i = 0; i < c.Lines; ++i) ListBoxAddLine(kResultListBox, "line");

  ShowCompletionStatus(c.Mode, summary);

  std::string expected = c.Expected;
  expected.resize(kStatusWidth, ' ');
  EXPECT_EQ(HeadlessControlText(kStatusLine), expected);
  EXPECT_EQ(HeadlessHorizontalExtent(kResultListBox), c.Extent);
}

INSTANTIATE_TEST_SUITE_P(AllModes, StatusLineTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.Name); });

class StatusLineListTest : public StatusLineTest {};

TEST_F(StatusLineListTest, ProgressAndReadyTextsCarryTheirBlanks) {
  ShowScanProgress("/docs/a.txt", 86);
  EXPECT_EQ(HeadlessControlText(kStatusLine), "Searching  /docs/a.txt" + std::string(86, ' '));
  std::string longest = "/" + std::string(254, 'p');
  ShowScanProgress(longest.c_str(), 84);
  EXPECT_EQ(HeadlessControlText(kStatusLine), "Searching  " + longest + std::string(84, ' '));
  ShowPaddedStatus("Ready", 127);
  EXPECT_EQ(HeadlessControlText(kStatusLine), "Ready" + std::string(127, ' '));
}

}  // namespace
