// Normalisation and validation of the "Search for:" text, and the refusal messages.
#include "query/query_validation.h"

#include <gtest/gtest.h>

#include <cstring>
#include <ostream>
#include <string>

namespace {

std::string Normalised(const std::string& text) {
  char expression[kQueryExpressionSize];
  std::memset(expression, 'Z', sizeof expression);
  NormaliseQuery(text.c_str(), expression);
  return expression;
}

struct NormaliseCase {
  const char* Input;
  const char* Expected;
};

void PrintTo(const NormaliseCase& example, std::ostream* os) { *os << '"' << example.Input << '"'; }

class NormaliseQueryTest : public testing::TestWithParam<NormaliseCase> {};

TEST_P(NormaliseQueryTest, DropsTheBlanksThatSeparateNothing) {
  EXPECT_EQ(Normalised(GetParam().Input), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(Blanks, NormaliseQueryTest,
                         testing::Values(NormaliseCase{"   cat   ", "cat"},
                                         NormaliseCase{"cat    dog", "cat dog"},
                                         NormaliseCase{"cat A dog", "cat A dog"},
                                         NormaliseCase{"     ", ""}, NormaliseCase{"", ""},
                                         NormaliseCase{"( cat )", "(cat)"},
                                         NormaliseCase{"cat ( dog ) bird", "cat(dog)bird"},
                                         NormaliseCase{"a  (  b", "a(b"},
                                         // Only the character 32 is a blank.
                                         NormaliseCase{"\tcat \t dog", "\tcat \t dog"},
                                         NormaliseCase{" \xE9t\xE9 ", "\xE9t\xE9"}));

TEST(NormaliseQuery, TakesOnlyTheFirst255Characters) {
  EXPECT_EQ(Normalised(std::string(300, 'a')), std::string(255, 'a'));
  // Blanks that run up to the 255th character end the text: the rest is not seen.
  EXPECT_EQ(Normalised("cat" + std::string(252, ' ') + "dog"), "cat");
  EXPECT_EQ(Normalised(std::string(254, 'b') + " cat"), std::string(254, 'b'));
}

struct ValidateCase {
  const char* Expression;
  int Expected;
};

void PrintTo(const ValidateCase& example, std::ostream* os) {
  *os << '"' << example.Expression << '"';
}

class ValidateQueryTest : public testing::TestWithParam<ValidateCase> {};

TEST_P(ValidateQueryTest, GivesTheCodeOfTheFirstFault) {
  EXPECT_EQ(ValidateQuery(GetParam().Expression), GetParam().Expected)
      << '"' << GetParam().Expression << '"';
}

INSTANTIATE_TEST_SUITE_P(
    Expressions, ValidateQueryTest,
    testing::Values(
        ValidateCase{"cat", kQueryAccepted}, ValidateCase{"cat dog", kQueryAccepted},
        ValidateCase{"cat A dog", kQueryAccepted}, ValidateCase{"cat a dog", kQueryAccepted},
        ValidateCase{"cat and dog", kQueryAccepted}, ValidateCase{"or ox an", kQueryAccepted},
        ValidateCase{"N cat", kQueryAccepted}, ValidateCase{"b", kQueryAccepted},
        ValidateCase{"x cat O dog X bird n fish", kQueryAccepted},
        ValidateCase{"cat A N dog", kQueryOperatorAfterOperator},
        ValidateCase{"o x cat", kQueryOperatorAfterOperator},
        ValidateCase{"cat A", kQueryOperatorAtEnd}, ValidateCase{"cat x", kQueryOperatorAtEnd},
        ValidateCase{"a", kQueryOperatorAtEnd}, ValidateCase{"N", kQueryOperatorAtEnd},
        ValidateCase{"o", kQueryOperatorAtEnd}, ValidateCase{"X", kQueryOperatorAtEnd},
        ValidateCase{"cat2", kQueryInvalidCharacters},
        ValidateCase{"cat-dog", kQueryInvalidCharacters},
        ValidateCase{"(cat)", kQueryInvalidCharacters},
        ValidateCase{"cat\tdog", kQueryInvalidCharacters},
        ValidateCase{"caf\xE9", kQueryInvalidCharacters},
        // The characters are checked over the whole text before any operator.
        ValidateCase{"cat 9 A", kQueryInvalidCharacters},
        ValidateCase{"A N cat 9", kQueryInvalidCharacters}));

TEST(QueryRefusalMessage, GivesTheThreeTextsExactly) {
  EXPECT_STREQ(QueryRefusalMessage(kQueryInvalidCharacters),
               "The string to search for  that  you   \nentered contains invalid "
               "characters.\nPlease change  it  and  try again.");
  EXPECT_STREQ(QueryRefusalMessage(kQueryOperatorAfterOperator),
               "A logical operator cannot be followed\nby another logical operator. "
               "Please\nchange the expression appropriately.    ");
  EXPECT_STREQ(QueryRefusalMessage(kQueryOperatorAtEnd),
               "A logical operator cannot be placed    \nat the  end  of  an  expression or "
               "a\nsubexpression.  Please  change  the\nsearch string appropriately.");
  EXPECT_EQ(QueryRefusalMessage(kQueryAccepted), nullptr);
}

}  // namespace
