// Term extraction: terms, operators and codes taken from the front of an expression.
#include "query/term_evaluation.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <ostream>
#include <string>
#include <vector>

#include "query/query_validation.h"

namespace {

struct Step {
  std::string Term;
  std::int32_t Code;
  std::string Rest;  // the expression after the call
};

struct ExtractionCase {
  std::string Expression;
  std::vector<Step> Steps;
};

// Test names carry this text: a long expression shows only its beginning.
void PrintTo(const ExtractionCase& example, std::ostream* os) {
  const std::string& text = example.Expression;
  *os << '"' << (text.size() > 24 ? text.substr(0, 24) + "..." : text) << '"';
}

class TakeNextTermTest : public testing::TestWithParam<ExtractionCase> {};

TEST_P(TakeNextTermTest, TakesTermsFromTheFrontWithTheirOperators) {
  std::atomic<std::int32_t> firstTermTaken{0};
  char expression[kQueryExpressionSize];
  std::strcpy(expression, GetParam().Expression.c_str());
  char term[kTermBufferSize];
  for (const Step& step : GetParam().Steps) {
    std::memset(term, 'Z', sizeof term);
    EXPECT_EQ(TakeNextTerm(term, expression, firstTermTaken), step.Code) << "term " << step.Term;
    EXPECT_EQ(std::string(term), step.Term);
    EXPECT_EQ(std::string(expression), step.Rest);
  }
}

const std::string kLong(230, 'q');
const std::string kCut(220, 'q');

INSTANTIATE_TEST_SUITE_P(
    Expressions, TakeNextTermTest,
    testing::Values(
        ExtractionCase{
            "cat A dog N bird",
            {{"cat", 110, "A dog N bird"}, {"dog", 111, "N bird"}, {"bird", 112, ""}, {"", 0, ""}}},
        ExtractionCase{"cat A dog", {{"cat", 110, "A dog"}, {"dog", 111, ""}, {"", 0, ""}}},
        // One character left after the first term: it still stands alone.
        ExtractionCase{"cat d", {{"cat", 10, "d"}, {"d", 110, ""}, {"", 0, ""}}},
        ExtractionCase{"cat do", {{"cat", 110, "do"}, {"do", 110, ""}}},
        ExtractionCase{"N bird c", {{"bird", 12, "c"}, {"c", 110, ""}, {"", 0, ""}}},
        ExtractionCase{"A cat", {{"cat", 11, ""}, {"", 0, ""}}},
        ExtractionCase{"o cat", {{"cat", 10, ""}}}, ExtractionCase{"x cat", {{"cat", 13, ""}}},
        ExtractionCase{"N bird A cat", {{"bird", 112, "A cat"}, {"cat", 111, ""}}},
        ExtractionCase{"dog O cat a bird",
                       {{"dog", 110, "O cat a bird"}, {"cat", 110, "a bird"}, {"bird", 111, ""}}},
        // Words such as "an" and "or" are not operators.
        ExtractionCase{"an or", {{"an", 110, "or"}, {"or", 110, ""}}},
        // A single word is left where it is, for the one pass that lists every occurrence.
        ExtractionCase{"cat", {{"cat", 1, "cat"}, {"cat", 1, "cat"}}},
        ExtractionCase{kLong, {{kCut, 1, kLong}}},
        // A long term is cut in the buffer but consumed whole.
        ExtractionCase{kLong + " A dog", {{kCut, 110, "A dog"}, {"dog", 111, ""}}},
        ExtractionCase{"N " + kLong, {{kCut, 12, ""}, {"", 0, ""}}},
        ExtractionCase{"", {{"", 0, ""}}}));

TEST(TakeNextTerm, LeavesTheFirstTermFlagAloneForASingleWord) {
  std::atomic<std::int32_t> firstTermTaken{0};
  char expression[kQueryExpressionSize] = "cat";
  char term[kTermBufferSize];
  EXPECT_EQ(TakeNextTerm(term, expression, firstTermTaken), kSingleWord);
  EXPECT_EQ(firstTermTaken.load(), 0);
  std::strcpy(expression, "cat dog");
  EXPECT_EQ(TakeNextTerm(term, expression, firstTermTaken), kTermOr);
  EXPECT_EQ(firstTermTaken.load(), 1);
  // Once an expression has started, a last word without a blank is an ordinary term.
  EXPECT_EQ(TakeNextTerm(term, expression, firstTermTaken), kTermOr);
  EXPECT_STREQ(term, "dog");
}

}  // namespace
