#include "phonetic/scored_name.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "phonetic/phonetic_key.h"
#include "phonetic/scored_tables.inc"
#include "phonetic/scored_term.h"

namespace {

class ScoredName : public ::testing::Test {
 protected:
  void SetUp() override { InitialisePhonetics(); }
};

int Score(const std::string& a, const std::string& b) {
  return ScoreNames(a.data(), static_cast<std::uint32_t>(a.size()), b.data(),
                    static_cast<std::uint32_t>(b.size()));
}

// The learning script scored these pairs when it wrote the tables; the program must agree
// to the unit, or its threshold means something else.
TEST_F(ScoredName, AgreesWithTheLearningScript) {
  for (const ScoredExample& example : kScoredExamples) {
    EXPECT_EQ(Score(example.Query, example.Word), example.Score) << example.Query << " / " << example.Word;
  }
}

struct Decision {
  const char* Query;
  const char* Word;
  bool Matches;
};

// Spellings of one name on one side, different names that look alike on the other.
TEST_F(ScoredName, DecidesNamesOnBothSidesOfTheThreshold) {
  const Decision decisions[] = {
      {"johnson", "jonson", true},     {"johnson", "johnsen", true},   {"smith", "smyth", true},
      {"meyer", "meier", true},        {"philip", "phillip", true},    {"mcdonald", "macdonald", true},
      {"thompson", "thomson", true},   {"catherine", "katherine", true}, {"reilly", "riley", true},
      {"johnson", "jackson", false},   {"smith", "smart", false},      {"albert", "thomas", false},
      {"moses", "noses", false},       {"miller", "mills", false},     {"peters", "waters", false},
      {"anderson", "sanders", false},  {"brown", "crown", false},      {"lee", "lewis", false},
  };
  for (const Decision& d : decisions) {
    const int score = Score(d.Query, d.Word);
    EXPECT_EQ(score >= ScoredThreshold(), d.Matches)
        << d.Query << " / " << d.Word << ": " << score << ", threshold " << ScoredThreshold();
  }
}

// Applying the operations of the explanation to the query gives the word, the weights add
// up to the score, and the score is the one ScoreNames gives.
TEST_F(ScoredName, ExplanationRebuildsTheWordAndTheScore) {
  const char* pairs[][2] = {{"johnson", "jonsonn"}, {"maria", "amria"}, {"catherine", "kathryn"},
                            {"schmidt", "smith"},   {"ab", "ba"},       {"lee", "leigh"},
                            {"x", "xyzzy"},         {"aaron", "ron"}};
  for (const auto& pair : pairs) {
    const std::string a = pair[0], b = pair[1];
    ScoredExplanation e;
    const int score = ExplainScore(a.data(), static_cast<std::uint32_t>(a.size()), b.data(),
                                   static_cast<std::uint32_t>(b.size()), &e);
    EXPECT_EQ(score, Score(a, b));
    EXPECT_EQ(e.Score, score);
    EXPECT_EQ(e.Threshold, ScoredThreshold());
    std::string rebuilt;
    std::uint32_t i = 0;
    int sum = e.Constant + e.LengthWeight + e.SameKey;
    int cost = 0;
    for (int k = 0; k < e.OperationCount; ++k) {
      const ScoredOperation& op = e.Operations[k];
      ASSERT_GE(op.QueryAt, i) << a << " / " << b;
      while (i < op.QueryAt) rebuilt += a[i++];  // kept letters
      EXPECT_EQ(op.WordAt, rebuilt.size()) << a << " / " << b << " operation " << k;
      rebuilt += b.substr(op.WordAt, op.WordCount);
      i += op.QueryCount;
      sum += op.Weight;
      cost += op.Cost;
      EXPECT_LE(op.Weight, 0) << "an operation never helps a match";
    }
    while (i < a.size()) rebuilt += a[i++];
    EXPECT_EQ(rebuilt, b) << a;
    EXPECT_EQ(sum, score) << a << " / " << b;
    EXPECT_EQ(cost, e.Cost) << a << " / " << b;
  }
}

// A word the term says cannot reach the threshold never does: every word one or two
// edits from a few names, and the names against each other.
TEST_F(ScoredName, WordsPassedOverCannotReachTheThreshold) {
  const char* names[] = {"moses", "johnson", "lee", "ann", "smith", "catherine", "oates",
                         "eoin", "llewellyn", "ng", "x"};
  const std::string letters = "abcdefghijklmnopqrstuvwxyz";
  for (const char* name : names) {
    ScoredTerm term;
    PrepareScoredTerm(name, static_cast<std::uint32_t>(std::strlen(name)), &term);
    std::vector<std::string> words;
    const std::string q = name;
    for (std::size_t at = 0; at <= q.size(); ++at) {
      for (char c : letters) {
        words.push_back(q.substr(0, at) + c + q.substr(at));                          // put in
        if (at < q.size()) words.push_back(q.substr(0, at) + c + q.substr(at + 1));  // replace
        words.push_back(std::string(1, c) + c + q.substr(at));                        // doubled front
      }
      if (at < q.size()) words.push_back(q.substr(0, at) + q.substr(at + 1));  // leave out
    }
    std::vector<std::string> twice;
    for (const std::string& w : words) {
      for (char c : letters) twice.push_back(c + w);
      if (w.size() > 1) twice.push_back(w.substr(1));
    }
    words.insert(words.end(), twice.begin(), twice.end());
    for (const char* other : names) words.push_back(other);
    int reached = 0;
    for (const std::string& w : words) {
      if (w.empty()) continue;
      if (Score(q, w) < ScoredThreshold()) continue;
      ++reached;
      if (w.size() < 2) continue;  // one letter never matches
      const char second = w[1];
      EXPECT_TRUE(ScoredMayReach(term, w[0], second, static_cast<std::uint32_t>(w.size())))
          << name << " / " << w << " scores " << Score(q, w);
    }
    if (std::strlen(name) > 2) {
      EXPECT_GT(reached, 0) << name;
    }
  }
}

TEST_F(ScoredName, OnlyTheFirstLettersCount) {
  const std::string longer(70, 'x');
  const std::string cut(kScoredMaxLetters, 'x');
  EXPECT_EQ(Score(longer, longer + "y"), Score(cut, cut));
  EXPECT_LT(Score("", "abc"), ScoredThreshold());
  EXPECT_LT(Score("abc", ""), ScoredThreshold());
}

}  // namespace
