// The query search end to end through the window's request and sink on the headless
// window: refused queries, the out-of-memory path, expressions over a set of files, single
// words.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/search_state.h"
#include "phonetic/phonetic_key.h"
#include "platform/memory.h"
#include "query/query_validation.h"
#include "support/headless_controls.h"
#include "support/test_support.h"
#include "ui/window_search.h"

namespace {

std::string Padded(const std::string& text) { return text + std::string(90 - text.size(), ' '); }

std::vector<std::string> Sorted(std::vector<std::string> lines) {
  std::sort(lines.begin(), lines.end());
  return lines;
}

class QuerySearchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    HeadlessReset();
    HeadlessCreateSearchControls();
    InitialisePhonetics();
    ClearSearchLists(WindowSearchState());
    // Four files that tell the operators apart: cat and dog, cat, dog and bird, bird.
    tree.WriteFile("f1.txt", "The cat chased the dog.\n");
    tree.WriteFile("f2.txt", "A cat.\n");
    tree.WriteFile("f3.txt", "A dog saw a bird.\n");
    tree.WriteFile("f4.txt", "A bird.\n");
  }
  void TearDown() override {
    FailNextAllocationsForTesting(0);
    ResetSearchState(WindowSearchState());
    ClearSearchLists(WindowSearchState());
  }

  int Search(const std::string& query, const std::string& pattern = "*.txt", int subdirs = 0) {
    SetControlText(kSearchInEdit, (tree.Root() + pattern).c_str());
    SetControlText(kSearchForEdit, query.c_str());
    HeadlessSetCheck(kIncludeSubdirsCheck, subdirs);
    return RunWindowSearch(ReadWindowRequest());
  }

  // Every resource of the search has been given back.
  void ExpectCleanedUp() {
    EXPECT_EQ(WindowSearchState().FileSet.Count.load(), 0u);
    EXPECT_EQ(WindowSearchState().DirectoryQueue.Count.load(), 0u);
    EXPECT_EQ(WindowSearchState().ReadBuffer.load(), nullptr);
    EXPECT_EQ(WindowSearchState().ScanFileHandle.load(), kNoFile);
    EXPECT_EQ(WindowSearchState().PatternFindHandle.load(), kNoFind);
    EXPECT_EQ(WindowSearchState().SubdirFindHandle.load(), kNoFind);
    EXPECT_EQ(WindowSearchState().SearchRunning.load(), 0);
  }

  std::vector<std::string> Paths(std::vector<std::string> names) {
    for (std::string& name : names) name = tree.Path(name);
    return names;
  }

  TempTree tree;
};

// --- expressions over the four files ---

struct ExpressionCase {
  const char* Query;
  std::vector<std::string> Files;
};

void PrintTo(const ExpressionCase& c, std::ostream* out) { *out << c.Query; }

class ExpressionTest : public QuerySearchTest,
                       public ::testing::WithParamInterface<ExpressionCase> {};

TEST_P(ExpressionTest, ListsTheFilesThatSatisfyIt) {
  const ExpressionCase& c = GetParam();
  ASSERT_EQ(Search(c.Query), 0);
  std::vector<std::string> expected = Paths(c.Files);
  EXPECT_EQ(Sorted(HeadlessListLines(kResultListBox)), expected);
  ASSERT_EQ(WindowSearchState().ResultList.Count.load(), expected.size());
  // The result list names the same files as the lines, line by line.
  std::vector<std::string> lines = HeadlessListLines(kResultListBox);
  for (std::uint32_t i = 0; i < WindowSearchState().ResultList.Count; ++i)
    EXPECT_EQ(lines[i], WindowSearchState().ResultList.Get(i));
  EXPECT_EQ(WindowSearchState().LastTermType.load(), 0);
  EXPECT_EQ(WindowSearchState().FilesSearched.load(), 4);
  EXPECT_EQ(WindowSearchState().MatchedFiles.load(), static_cast<int>(expected.size()));
  EXPECT_EQ(HeadlessControlText(kStatusLine),
            Padded("Completed:  4 file(s) searched. " + std::to_string(expected.size()) +
                   " file(s) matched expression."));
  EXPECT_EQ(HeadlessFocus(), kResultListBox);
  ExpectCleanedUp();
}

INSTANTIATE_TEST_SUITE_P(WorkedExamples, ExpressionTest,
                         ::testing::Values(ExpressionCase{"cat dog",
                                                          {"f1.txt", "f2.txt", "f3.txt"}},
                                           ExpressionCase{"cat A dog N bird", {"f1.txt"}},
                                           ExpressionCase{"dog O cat A bird", {"f3.txt"}},
                                           ExpressionCase{"cat X dog", {"f2.txt", "f3.txt"}},
                                           ExpressionCase{"N bird", {"f1.txt", "f2.txt"}},
                                           ExpressionCase{"a cat", {"f1.txt", "f2.txt"}},
                                           ExpressionCase{"N bird A cat", {}},
                                           ExpressionCase{"  cat   d  ", {"f1.txt", "f2.txt"}}));

// --- a single word ---

TEST_F(QuerySearchTest, SingleWordListsEveryOccurrenceLastFileFirst) {
  tree.WriteFile("f2.txt", "A cat, a Kat.\n");
  ASSERT_EQ(Search("cat"), 0);
  std::vector<std::string> lines = HeadlessListLines(kResultListBox);
  EXPECT_EQ(Sorted(lines),
            (std::vector<std::string>{"Kat\tf2.txt\t1 (85.7%)\t0 K", "cat\tf1.txt\t1 (29.2%)\t0 K",
                                      "cat\tf2.txt\t1 (35.7%)\t0 K"}));
  // Files are searched from the last enumerated to the first, and a file's hits stay
  // together in file order.
  ASSERT_EQ(WindowSearchState().ResultList.Count.load(), 3u);
  for (std::uint32_t i = 0; i < 3; ++i) {
    const std::string name = lines[i].substr(lines[i].find('\t') + 1, 6);
    EXPECT_EQ(std::string(WindowSearchState().ResultList.Get(i)), tree.Path(name));
  }
  auto at = [&lines](const char* prefix) {
    return std::find_if(lines.begin(), lines.end(),
                        [prefix](const std::string& line) { return line.rfind(prefix, 0) == 0; }) -
           lines.begin();
  };
  EXPECT_EQ(at("cat\tf2") + 1, at("Kat\tf2"));
  EXPECT_EQ(WindowSearchState().LastTermType.load(), 1);
  EXPECT_EQ(WindowSearchState().FilesSearched.load(), 4);
  EXPECT_EQ(WindowSearchState().MatchedFiles.load(), 2);
  EXPECT_EQ(HeadlessControlText(kStatusLine),
            Padded("Completed:  4 file(s) searched. Found 3 item(s) in 2 file(s)."));
  EXPECT_EQ(HeadlessFocus(), kResultListBox);
  ExpectCleanedUp();
}

TEST_F(QuerySearchTest, SingleWordReportsFilesThatCouldNotBeOpened) {
  UnopenableFile unopenable(tree.Path("pipe.txt"));  // enumerated, never read
  ASSERT_TRUE(unopenable.Made());
  ASSERT_EQ(Search("bird"), 0);
  EXPECT_EQ(HeadlessListLines(kResultListBox).size(), 2u);
  ASSERT_EQ(WindowSearchState().UnopenedFiles.Count.load(), 1u);
  EXPECT_EQ(std::string(WindowSearchState().UnopenedFiles.Get(0)), tree.Path("pipe.txt"));
  EXPECT_EQ(HeadlessControlText(kStatusLine),
            Padded("Completed:  2 item(s) found. 1 file(s) couldn't be opened."));
  ExpectCleanedUp();
}

TEST_F(QuerySearchTest, WordWithSubdirectoriesAndNoFileAnywhere) {
  tree.MakeDirectory("sub/deeper");
  ASSERT_EQ(Search("cat", "*.none", 1), 0);
  EXPECT_TRUE(HeadlessListLines(kResultListBox).empty());
  EXPECT_TRUE(HeadlessMessageBoxes().empty());
  EXPECT_EQ(WindowSearchState().LastTermType.load(), 0);
  EXPECT_EQ(HeadlessControlText(kStatusLine),
            Padded("Completed:  0 file(s) searched. 0 file(s) matched expression."));
  EXPECT_EQ(HeadlessFocus(), kResultListBox);
  ExpectCleanedUp();
}

// --- refusals ---

struct RefusalCase {
  const char* Query;
  int Code;
};

void PrintTo(const RefusalCase& c, std::ostream* out) { *out << c.Query; }

class RefusalTest : public QuerySearchTest, public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(RefusalTest, RefusedQueryShowsItsMessageAndSearchesNothing) {
  SetControlFocus(kGoButton);
  EXPECT_EQ(Search(GetParam().Query), -1);
  std::vector<RecordedMessageBox> boxes = HeadlessMessageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].Title, " Tessik");
  EXPECT_EQ(boxes[0].Text, QueryRefusalMessage(GetParam().Code));
  EXPECT_EQ(boxes[0].Icon, MessageIcon::Information);
  EXPECT_TRUE(HeadlessListLines(kResultListBox).empty());
  EXPECT_EQ(WindowSearchState().ResultList.Count.load(), 0u);
  EXPECT_EQ(WindowSearchState().UnopenedFiles.Count.load(), 0u);
  EXPECT_EQ(HeadlessFocus(), kSearchForEdit);
  ExpectCleanedUp();
}

INSTANTIATE_TEST_SUITE_P(Queries, RefusalTest,
                         ::testing::Values(RefusalCase{"cat1", kQueryInvalidCharacters},
                                           RefusalCase{"cat A O dog", kQueryOperatorAfterOperator},
                                           RefusalCase{"cat A", kQueryOperatorAtEnd}));

TEST_F(QuerySearchTest, NoMemoryForTheReadBuffer) {
  SetControlFocus(kGoButton);
  SetControlText(kStatusLine, "before");
  FailNextAllocationsForTesting(1);
  EXPECT_EQ(Search("cat"), -1);
  std::vector<RecordedMessageBox> boxes = HeadlessMessageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].Title, " Error");
  EXPECT_EQ(boxes[0].Text, " Insufficient memory to open files. ");
  EXPECT_EQ(boxes[0].Icon, MessageIcon::Error);
  EXPECT_EQ(HeadlessFocus(), kGoButton);
  EXPECT_EQ(HeadlessControlText(kStatusLine), "before");
  EXPECT_TRUE(HeadlessListLines(kResultListBox).empty());
  ExpectCleanedUp();
}

TEST_F(QuerySearchTest, NothingFoundWithoutSubdirectoriesEndsInTheEnumeration) {
  EXPECT_EQ(Search("cat", "*.none"), -1);
  EXPECT_EQ(HeadlessMessageBoxes().size(), 1u);
  EXPECT_EQ(HeadlessFocus(), kSearchInEdit);
  ExpectCleanedUp();
}

// --- the progress text ---

std::vector<std::string> statusAtEachLine;
void RecordStatus(const char*) { statusAtEachLine.push_back(HeadlessControlText(kStatusLine)); }

struct ProgressCase {
  const char* Query;
  int Blanks;  // after the path
};

void PrintTo(const ProgressCase& c, std::ostream* out) { *out << c.Query; }

class ProgressTest : public QuerySearchTest, public ::testing::WithParamInterface<ProgressCase> {};

// The one file with a bird and no cat is listed once, with the text of its scan still
// shown; a sole NOT term shows two blanks fewer after it.
TEST_P(ProgressTest, ProgressTextNamesTheFileBeingScanned) {
  statusAtEachLine.clear();
  HeadlessSetLineSink(RecordStatus);
  ASSERT_EQ(Search(GetParam().Query, "f4.txt"), 0);
  HeadlessSetLineSink(nullptr);
  ASSERT_EQ(statusAtEachLine.size(), 1u);
  EXPECT_EQ(statusAtEachLine[0],
            "Searching  " + tree.Path("f4.txt") + std::string(GetParam().Blanks, ' '));
}

INSTANTIATE_TEST_SUITE_P(Terms, ProgressTest,
                         ::testing::Values(ProgressCase{"bird", 86}, ProgressCase{"N cat", 84},
                                           ProgressCase{"bird O cat", 86}));

}  // namespace
