// Terms applied to real files: whole queries evaluated left to right over the file set,
// the single-word pass, the files each term has the sink told of, and stops that come in
// the middle.
#include "engine/term_application.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <ostream>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "engine/search_state.h"
#include "engine/sound_method.h"
#include "phonetic/phonetic_key.h"
#include "platform/memory.h"
#include "platform/thread.h"
#include "query/query_validation.h"
#include "query/term_codes.h"
#include "query/term_evaluation.h"
#include "support/recording_sink.h"
#include "support/test_search_state.h"
#include "support/test_support.h"

namespace {

// Four files: F1 has words sounding like cat and dog, F2 like cat, F3 like dog and bird,
// F4 like bird (and cow, which sounds like the one-letter word c).
class EvaluationTest : public testing::Test {
 protected:
  void SetUp() override {
    InitialisePhonetics();
    ResetSearchState(TestSearchState());
    ClearSearchLists(TestSearchState());
    TestSearchState().MatchedFiles = 0;
    TestSearchState().FilesSearched = 0;
    tree_.WriteFile("f1.txt", "The Cat lay by the dog.\n");
    tree_.WriteFile("f2.txt", "one cat\nonly\n");
    tree_.WriteFile("f3.txt", "dog, bird\n");
    tree_.WriteFile("f4.txt", "a bird and a cow\n");
    TestSearchState().ReadBuffer = static_cast<std::uint8_t*>(AllocateZeroed(kReadChunkSize));
    ASSERT_NE(TestSearchState().ReadBuffer.load(), nullptr);
  }

  void TearDown() override {
    ResetSearchState(TestSearchState());
    ClearSearchLists(TestSearchState());
  }

  std::string File(int number) const {
    char name[16];
    std::snprintf(name, sizeof name, "f%d.txt", number);
    return tree_.Path(name);
  }

  void AddFiles(const std::vector<std::string>& paths) {
    for (const std::string& path : paths) ASSERT_GE(TestSearchState().FileSet.Add(path.c_str()), 0);
  }

  // The term loop of a query search: take, prepare the term, apply.
  int Evaluate(const std::string& query, std::vector<std::int32_t>* codes = nullptr) {
    char expression[kQueryExpressionSize];
    NormaliseQuery(query.c_str(), expression);
    EXPECT_EQ(ValidateQuery(expression), kQueryAccepted);
    TestSearchState().FirstTermTaken = 0;
    char term[kTermBufferSize];
    for (;;) {
      const std::int32_t code = TakeNextTerm(term, expression, TestSearchState().FirstTermTaken);
      if (code == kNoTermLeft) return 0;
      if (codes != nullptr) codes->push_back(code);
      term_ = DefaultSoundMethod().Hear(term);
      if (code == kSingleWord)
        return RunSingleWordPass(TestSearchState(), *term_, *reading_, sink_);
      if (ApplyTerm(TestSearchState(), code, *term_, *reading_, sink_) != 0) return -1;
    }
  }

  static std::set<std::string> Flagged() {
    std::set<std::string> flagged;
    for (std::uint32_t i = 0; i < TestSearchState().FileSet.Count; ++i) {
      if (TestSearchState().FileSet.Flag(i) != 0) flagged.insert(TestSearchState().FileSet.Get(i));
    }
    return flagged;
  }

  static std::vector<std::string> Unopened() {
    std::vector<std::string> paths;
    for (std::uint32_t i = 0; i < TestSearchState().UnopenedFiles.Count; ++i)
      paths.push_back(TestSearchState().UnopenedFiles.Get(i));
    return paths;
  }

  using Searched = std::vector<std::pair<std::string, std::int32_t>>;

  TempTree tree_;
  std::unique_ptr<HeardTerm> term_;
  std::unique_ptr<WordReading> reading_ = MakeByteReading();
  RecordingSink sink_;
};

struct WorkedExample {
  const char* Query;
  std::vector<std::int32_t> Codes;
  std::vector<int> Result;  // file numbers
};

void PrintTo(const WorkedExample& example, std::ostream* os) { *os << example.Query; }

class WorkedExampleTest : public EvaluationTest,
                          public testing::WithParamInterface<WorkedExample> {};

TEST_P(WorkedExampleTest, EvaluatesStrictlyLeftToRight) {
  AddFiles({File(1), File(2), File(3), File(4)});
  std::vector<std::int32_t> codes;
  ASSERT_EQ(Evaluate(GetParam().Query, &codes), 0);
  EXPECT_EQ(codes, GetParam().Codes);
  std::set<std::string> expected;
  for (int number : GetParam().Result) expected.insert(File(number));
  EXPECT_EQ(Flagged(), expected);
  EXPECT_EQ(TestSearchState().MatchedFiles.load(), static_cast<std::int32_t>(expected.size()));
  EXPECT_EQ(TestSearchState().FileSet.Count.load(), 4u);
  EXPECT_TRUE(Unopened().empty());
}

INSTANTIATE_TEST_SUITE_P(FourFiles, WorkedExampleTest,
                         testing::Values(WorkedExample{"cat dog", {110, 110}, {1, 2, 3}},
                                         WorkedExample{"cat A dog N bird", {110, 111, 112}, {1}},
                                         WorkedExample{"dog O cat A bird", {110, 110, 111}, {3}},
                                         WorkedExample{"cat X dog", {110, 113}, {2, 3}},
                                         WorkedExample{"N bird", {12}, {1, 2}},
                                         WorkedExample{"A cat", {11}, {1, 2}},
                                         WorkedExample{"O cat", {10}, {1, 2}},
                                         WorkedExample{"X cat", {13}, {1, 2}},
                                         WorkedExample{"N cat", {12}, {3, 4}},
                                         WorkedExample{"N bird A cat", {112, 111}, {}},
                                         WorkedExample{"A bird dog", {111, 110}, {1, 3}},
                                         WorkedExample{"N bird c", {12, 110}, {1, 2, 4}},
                                         WorkedExample{"cat d", {10, 110}, {1, 2}},
                                         WorkedExample{"Cat  x  DOGG", {110, 113}, {2, 3}}));

TEST_F(EvaluationTest, SingleWordListsTheLastFileFirstAndEmptiesTheSet) {
  AddFiles({File(1), File(2), File(3), File(4)});
  std::vector<std::int32_t> codes;
  ASSERT_EQ(Evaluate("cat", &codes), 0);
  EXPECT_EQ(codes, std::vector<std::int32_t>{kSingleWord});
  EXPECT_EQ(TestSearchState().FileSet.Count.load(), 0u);
  EXPECT_EQ(TestSearchState().MatchedFiles.load(), 2);
  ASSERT_EQ(TestSearchState().ResultList.Count.load(), 2u);
  EXPECT_EQ(std::string(TestSearchState().ResultList.Get(0)), File(2));
  EXPECT_EQ(std::string(TestSearchState().ResultList.Get(1)), File(1));
  EXPECT_EQ(sink_.Lines.size(), 2u);
  // Each file is announced before it is read, the last one first.
  EXPECT_EQ(sink_.Searched, (Searched{{File(4), kSingleWord},
                                      {File(3), kSingleWord},
                                      {File(2), kSingleWord},
                                      {File(1), kSingleWord}}));
}

TEST_F(EvaluationTest, ScansOnlyTheFilesATermCanChange) {
  const std::string missing = tree_.Path("missing.txt");
  AddFiles({File(1), missing, File(2)});
  ASSERT_EQ(Evaluate("cat A dog"), 0);
  EXPECT_EQ(Flagged(), std::set<std::string>{File(1)});
  // OR looked at every file; AND only at those OR flagged.
  EXPECT_EQ(sink_.Searched, (Searched{{File(1), kTermOr},
                                      {missing, kTermOr},
                                      {File(2), kTermOr},
                                      {File(1), kTermAnd},
                                      {File(2), kTermAnd}}));
  EXPECT_EQ(Unopened(), std::vector<std::string>{missing});
  EXPECT_EQ(sink_.NotOpened, std::vector<std::string>{missing});
}

TEST_F(EvaluationTest, AFileThatCannotBeOpenedCountsAsNotFound) {
  const std::string missing = tree_.Path("missing.txt");
  AddFiles({File(1), missing, File(2)});
  ASSERT_EQ(Evaluate("N cat"), 0);
  EXPECT_EQ(Flagged(), std::set<std::string>{missing});
  EXPECT_EQ(TestSearchState().MatchedFiles.load(), 1);
  // The sole NOT term is announced with its own code (the window shows it differently).
  EXPECT_EQ(sink_.Searched,
            (Searched{{File(1), kSoleAndNot}, {missing, kSoleAndNot}, {File(2), kSoleAndNot}}));

  // A file that cannot be opened is recorded on every scan of it.
  ClearSearchLists(TestSearchState());
  AddFiles({File(1), missing, File(2)});
  ASSERT_EQ(Evaluate("cat X dog"), 0);
  EXPECT_EQ(Flagged(), std::set<std::string>{File(2)});
  EXPECT_EQ(Unopened(), (std::vector<std::string>{missing, missing}));
}

TEST_F(EvaluationTest, EmptyRunningSetMakesAndAndNotScanNothing) {
  term_ = DefaultSoundMethod().Hear("cat");
  for (std::int32_t code : {kTermAnd, kTermAndNot}) {
    ClearSearchLists(TestSearchState());
    AddFiles({File(1), File(2)});
    EXPECT_EQ(ApplyTerm(TestSearchState(), code, *term_, *reading_, sink_), 0);
    EXPECT_TRUE(Flagged().empty());
  }
  EXPECT_EQ(ApplyTerm(TestSearchState(), 7, *term_, *reading_, sink_),
            0);  // not a term code: nothing changes
  EXPECT_EQ(ApplyTerm(TestSearchState(), kSingleWord, *term_, *reading_, sink_), 0);
  EXPECT_TRUE(Flagged().empty());
  EXPECT_TRUE(sink_.Searched.empty());  // no file was read
}

// Stop requests arrive through a real worker thread, which applies the fixture's term
// through its sink.
const HeardTerm* workerTerm = nullptr;
WordReading* workerReading = nullptr;
RecordingSink* workerSink = nullptr;

int StopBeforeAnyFile() {
  RequestStop();
  return ApplyTerm(TestSearchState(), kTermOr, *workerTerm, *workerReading, *workerSink);
}

int SingleWordPassOnWorker() {
  return RunSingleWordPass(TestSearchState(), *workerTerm, *workerReading, *workerSink);
}

TEST_F(EvaluationTest, WorkerStopsBeforeTheNextFile) {
  // Had the missing file been opened, it would stand in the unopened list.
  AddFiles({tree_.Path("missing.txt"), File(1), File(2)});
  term_ = DefaultSoundMethod().Hear("cat");
  workerTerm = term_.get();
  workerReading = reading_.get();
  workerSink = &sink_;
  ASSERT_EQ(StartWorker(StopBeforeAnyFile), 0);
  EXPECT_EQ(JoinWorker(), -1);
  EXPECT_TRUE(Flagged().empty());
  EXPECT_TRUE(Unopened().empty());
  EXPECT_EQ(TestSearchState().MatchedFiles.load(), 0);
}

TEST_F(EvaluationTest, WorkerStoppedInAFileLeavesItUnfinished) {
  AddFiles({File(1), File(2)});
  term_ = DefaultSoundMethod().Hear("cat");
  workerTerm = term_.get();
  workerReading = reading_.get();
  workerSink = &sink_;
  // The stop comes while the scanner lists the hit of F2, the first file of the pass.
  std::atomic<int> linesOffered{0};
  sink_.BeforeLine = [&](const std::string&) {
    linesOffered.fetch_add(1);
    RequestStop();
  };
  ASSERT_EQ(StartWorker(SingleWordPassOnWorker), 0);
  EXPECT_EQ(JoinWorker(), -1);
  EXPECT_EQ(linesOffered.load(), 1);
  // F2 was not finished: it stays in the set, and its hit does not count as a file.
  EXPECT_EQ(TestSearchState().FileSet.Count.load(), 2u);
  EXPECT_EQ(TestSearchState().MatchedFiles.load(), 0);
  EXPECT_EQ(TestSearchState().ResultList.Count.load(), 0u);
}

}  // namespace
