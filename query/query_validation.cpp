// Normalisation and validation of the "Search for:" text.
#include "query/query_validation.h"

namespace {

bool IsParenthesis(char c) { return c == '(' || c == ')'; }

bool IsAsciiLetter(unsigned char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

}  // namespace

bool IsOperatorLetter(char c) {
  switch (c) {
    case 'A':
    case 'a':
    case 'N':
    case 'n':
    case 'O':
    case 'o':
    case 'X':
    case 'x':
      return true;
    default:
      return false;
  }
}

void NormaliseQuery(const char* searchText, char* expression, int limit) {
  if (limit > kQueryExpressionSize - 1) limit = kQueryExpressionSize - 1;
  int length = 0;
  while (length < limit && searchText[length] != 0) ++length;

  int in = 0;
  while (in < length && searchText[in] == ' ') ++in;

  int out = 0;
  for (; in < length; ++in) {
    const char c = searchText[in];
    if (c == ' ') {
      const bool afterParenthesis = out > 0 && IsParenthesis(expression[out - 1]);
      const char next = in + 1 < length ? searchText[in + 1] : 0;
      // A run of blanks keeps only its last blank, and only when a word follows it.
      if (afterParenthesis || next == 0 || next == ' ' || IsParenthesis(next)) continue;
    }
    expression[out++] = c;
  }
  expression[out] = 0;
}

int ValidateQuery(const char* expression) {
  for (const char* p = expression; *p != 0; ++p) {
    const unsigned char c = static_cast<unsigned char>(*p);
    if (c != ' ' && !IsAsciiLetter(c)) return kQueryInvalidCharacters;
  }

  // A letter of the operator set is an operator only as a word of its own.
  bool atBoundary = true;
  bool afterOperator = false;
  for (const char* p = expression; *p != 0; ++p) {
    if (atBoundary && IsOperatorLetter(*p)) {
      if (p[1] == ' ') {
        if (afterOperator) return kQueryOperatorAfterOperator;
        afterOperator = true;
        atBoundary = false;
        continue;
      }
      if (p[1] == 0) return kQueryOperatorAtEnd;
    }
    if (*p == ' ') {
      atBoundary = true;
    } else {
      atBoundary = false;
      afterOperator = false;
    }
  }
  return kQueryAccepted;
}

const char* QueryRefusalMessage(int code) {
  switch (code) {
    case kQueryInvalidCharacters:
      return "The string to search for  that  you   \n"
             "entered contains invalid characters.\n"
             "Please change  it  and  try again.";
    case kQueryOperatorAfterOperator:
      return "A logical operator cannot be followed\n"
             "by another logical operator. Please\n"
             "change the expression appropriately.    ";
    case kQueryOperatorAtEnd:
      return "A logical operator cannot be placed    \n"
             "at the  end  of  an  expression or a\n"
             "subexpression.  Please  change  the\n"
             "search string appropriately.";
    case kQueryFoldedTooLong:
      return "The string to search for is too long\n"
             "once its letters are read as a to z.\n"
             "Please shorten it and try again.";
    default:
      return nullptr;
  }
}
