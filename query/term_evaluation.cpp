// Term extraction and the rules by which terms change the running set of files.
#include "query/term_evaluation.h"

#include <cstring>

#include "query/query_validation.h"

namespace {

std::int32_t CodeOfOperator(char op) {
  switch (op) {
    case 'A':
    case 'a':
      return kTermAnd;
    case 'N':
    case 'n':
      return kTermAndNot;
    case 'X':
    case 'x':
      return kTermXor;
    default:
      return kTermOr;
  }
}

// A term longer than the buffer keeps its first letters; the rest is still consumed.
void CopyTerm(char* term, const char* from, std::size_t length) {
  if (length > static_cast<std::size_t>(kMaxTermLength)) length = kMaxTermLength;
  std::memcpy(term, from, length);
  term[length] = 0;
}

std::size_t WordLength(const char* text) {
  std::size_t length = 0;
  while (text[length] != 0 && text[length] != ' ') ++length;
  return length;
}

bool FoundSets(bool, bool found) { return found; }
bool FoundClears(bool, bool found) { return !found; }
bool FoundToggles(bool matching, bool found) { return matching != found; }

// OR (and a sole AND or XOR, which have no running set to act on) can only add files not
// matching yet; AND and AND NOT can only take away files matching so far; XOR can turn
// any file either way, and so can a sole NOT, which starts from no match at all.
constexpr TermRule kAddFound{TermScope::NotMatching, FoundSets};
constexpr TermRule kKeepFound{TermScope::Matching, FoundSets};
constexpr TermRule kKeepNotFound{TermScope::Matching, FoundClears};
constexpr TermRule kToggleFound{TermScope::Every, FoundToggles};
constexpr TermRule kEveryNotFound{TermScope::Every, FoundClears};

}  // namespace

std::int32_t TakeNextTerm(char* term, char* expression, std::atomic<std::int32_t>& firstTermTaken) {
  term[0] = 0;
  if (expression[0] == 0) return kNoTermLeft;

  if (firstTermTaken.load() == 0 && std::strchr(expression, ' ') == nullptr) {
    CopyTerm(term, expression, std::strlen(expression));
    return kSingleWord;
  }

  // The expression is normalised, so blanks stand alone between words; skipping any
  // extra ones keeps an empty word from becoming a term.
  std::size_t at = 0;
  while (expression[at] == ' ') ++at;
  char op = 'O';
  if (IsOperatorLetter(expression[at]) && expression[at + 1] == ' ') {
    op = expression[at];
    at += 2;
    while (expression[at] == ' ') ++at;
  }
  const std::size_t termLength = WordLength(expression + at);
  CopyTerm(term, expression + at, termLength);
  at += termLength;
  if (expression[at] == ' ') ++at;
  std::memmove(expression, expression + at, std::strlen(expression + at) + 1);

  if (termLength == 0) {
    // Only an operator was left: there is no term to apply.
    expression[0] = 0;
    return kNoTermLeft;
  }

  std::int32_t code = CodeOfOperator(op);
  // A first term counts as standing alone even when a one-letter word follows it.
  if (firstTermTaken.load() == 0 && std::strlen(expression) < 2) {
    code -= kSoleTermOffset;
  }
  firstTermTaken.store(1);
  return code;
}

const TermRule* RuleOfTerm(std::int32_t code) {
  switch (code) {
    case kTermOr:
    case kSoleOr:
    case kSoleAnd:
    case kSoleXor:
      return &kAddFound;
    case kTermAnd:
      return &kKeepFound;
    case kTermAndNot:
      return &kKeepNotFound;
    case kTermXor:
      return &kToggleFound;
    case kSoleAndNot:
      return &kEveryNotFound;
    default:
      return nullptr;
  }
}

bool IsWholeTerm(const char* word) {
  std::size_t length = 0;
  for (; word[length] != 0; ++length) {
    const char c = word[length];
    if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))) return false;
  }
  return length >= 1 && length <= static_cast<std::size_t>(kMaxTermLength);
}
