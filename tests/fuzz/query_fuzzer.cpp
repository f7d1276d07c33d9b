// The "Search for:" text, any bytes, through the query language: normalisation, the check
// of an expression, the taking apart into terms and the rule of each term over a set of
// files. Each step is held against a plain reference written here from the rules of the
// language: blanks between words, operators as words of their own before a word, terms
// read strictly from left to right, each term a set operation on the running set.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "query/query_validation.h"
#include "query/term_codes.h"
#include "query/term_evaluation.h"

namespace {

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

constexpr std::size_t kMaxQueryCharacters = 255;
constexpr std::size_t kMaxTermCharacters = kTermBufferSize - 1;

bool IsParenthesis(char c) { return c == '(' || c == ')'; }
bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool IsOperatorWord(const std::string& word) {
  return word.size() == 1 && std::strchr("AaNnOoXx", word[0]) != nullptr;
}

std::vector<std::string> Words(const std::string& text) {
  std::vector<std::string> words;
  std::size_t at = 0;
  while (at <= text.size()) {
    std::size_t blank = text.find(' ', at);
    if (blank == std::string::npos) blank = text.size();
    words.push_back(text.substr(at, blank - at));
    at = blank + 1;
  }
  return words;
}

// What the normalisation must give: the text's first 255 characters without their blanks,
// and one blank where a run of blanks stood between two characters neither of which is a
// parenthesis.
std::string ReferenceNormalised(const std::string& text) {
  const std::string taken = text.substr(0, kMaxQueryCharacters);
  std::string out;
  bool blankBefore = false;
  for (char c : taken) {
    if (c == ' ') {
      blankBefore = true;
      continue;
    }
    if (blankBefore && !out.empty() && !IsParenthesis(out.back()) && !IsParenthesis(c)) {
      out += ' ';
    }
    out += c;
    blankBefore = false;
  }
  return out;
}

// The check of a normalised text, word by word: only letters and blanks; an operator word
// followed by another word is an operator, and may not follow one; a text may not end in
// an operator word.
int ReferenceValidation(const std::string& expression) {
  for (char c : expression) {
    if (c != ' ' && !IsLetter(c)) return kQueryInvalidCharacters;
  }
  const std::vector<std::string> words = Words(expression);
  bool afterOperator = false;
  for (std::size_t i = 0; i < words.size(); ++i) {
    if (!IsOperatorWord(words[i])) {
      afterOperator = false;
      continue;
    }
    if (i + 1 == words.size()) return kQueryOperatorAtEnd;
    if (afterOperator) return kQueryOperatorAfterOperator;
    afterOperator = true;
  }
  return kQueryAccepted;
}

struct Term {
  std::string Text;
  std::int32_t Code;
};

// The terms of an accepted expression: one word alone is the single-word search;
// otherwise each word with the operator word before it, if any (OR without).
std::vector<Term> ReferenceTerms(const std::string& expression) {
  const std::vector<std::string> words = Words(expression);
  if (words.size() == 1) return {{words[0].substr(0, kMaxTermCharacters), kSingleWord}};
  std::vector<Term> terms;
  std::size_t i = 0;
  while (i < words.size()) {
    char op = 'o';
    if (IsOperatorWord(words[i])) {
      op = static_cast<char>(words[i][0] | 0x20);
      ++i;
    }
    const std::string& word = words[i++];
    std::int32_t code = op == 'a' ? kTermAnd : op == 'n' ? kTermAndNot : op == 'x' ? kTermXor
                                                                                 : kTermOr;
    // What is left of the expression after this term and its blank.
    std::size_t left = 0;
    for (std::size_t j = i; j < words.size(); ++j) left += words[j].size() + (j > i ? 1 : 0);
    if (terms.empty() && left < 2) code -= kSoleTermOffset;
    terms.push_back({word.substr(0, kMaxTermCharacters), code});
  }
  return terms;
}

// Which of eight files hold a word of the term: a fixed scatter of its text.
std::uint8_t FilesHolding(const std::string& term) {
  std::uint32_t hash = 2166136261u;
  for (char c : term) hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
  return static_cast<std::uint8_t>(hash ^ (hash >> 8) ^ (hash >> 16) ^ (hash >> 24));
}

// The running set after a term, as a set operation.
std::uint8_t ReferenceApply(std::int32_t code, std::uint8_t running, std::uint8_t found) {
  switch (code) {
    case kTermOr:
    case kSoleOr:
    case kSoleAnd:
    case kSoleXor:
      return running | found;
    case kTermAnd:
      return running & found;
    case kTermAndNot:
      return running & static_cast<std::uint8_t>(~found);
    case kTermXor:
      return running ^ found;
    case kSoleAndNot:
      return static_cast<std::uint8_t>(~found);
    default:
      __builtin_trap();
  }
}

// The running set after a term, file by file through the term's rule.
std::uint8_t ApplyByRule(std::int32_t code, std::uint8_t running, std::uint8_t found) {
  const TermRule* rule = RuleOfTerm(code);
  Check(rule != nullptr && rule->NewFlag != nullptr);
  std::uint8_t after = 0;
  for (int file = 0; file < 8; ++file) {
    const bool matching = (running >> file) & 1;
    const bool holds = (found >> file) & 1;
    const bool scanned = rule->Scope == TermScope::Every ||
                         (rule->Scope == TermScope::Matching && matching) ||
                         (rule->Scope == TermScope::NotMatching && !matching);
    const bool flag = scanned ? rule->NewFlag(matching, holds) : matching;
    after |= static_cast<std::uint8_t>(flag) << file;
  }
  return after;
}

// Takes every term of `expression` (a normalised text, accepted or not): each call must
// give a term within the buffer, shorten the expression, and the loop must end with the
// expression used up. Returns the terms.
std::vector<Term> TakeAll(const std::string& expressionText) {
  char* expression = static_cast<char*>(std::malloc(kQueryExpressionSize));
  char* term = static_cast<char*>(std::malloc(kTermBufferSize));
  std::memcpy(expression, expressionText.c_str(), expressionText.size() + 1);
  std::atomic<std::int32_t> firstTermTaken{0};
  std::vector<Term> terms;
  for (std::size_t round = 0;; ++round) {
    Check(round <= expressionText.size() + 1);
    const std::size_t before = std::strlen(expression);
    const std::int32_t code = TakeNextTerm(term, expression, firstTermTaken);
    const std::size_t termLength = strnlen(term, kTermBufferSize);
    Check(termLength < kTermBufferSize);
    Check(std::strchr(term, ' ') == nullptr);
    if (code == kNoTermLeft) {
      Check(termLength == 0);
      Check(expression[0] == '\0');
      break;
    }
    Check(termLength > 0);
    terms.push_back({term, code});
    if (code == kSingleWord) {
      // The whole text is the one word, and stays for the single-word pass.
      Check(terms.size() == 1 && firstTermTaken.load() == 0);
      Check(std::strlen(expression) == before);
      break;
    }
    Check(IsExpressionTerm(code));
    Check(IsSoleTerm(code) == (terms.size() == 1 && std::strlen(expression) < 2));
    Check(firstTermTaken.load() == 1);
    Check(std::strlen(expression) < before);
  }
  std::free(expression);
  std::free(term);
  return terms;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // The text as the edit field gives it: up to its first zero byte.
  const char* bytes = reinterpret_cast<const char*>(data);
  const std::string text(bytes, strnlen(bytes, size));
  char* searchText = static_cast<char*>(std::malloc(text.size() + 1));
  std::memcpy(searchText, text.c_str(), text.size() + 1);
  char* expression = static_cast<char*>(std::malloc(kQueryExpressionSize));
  NormaliseQuery(searchText, expression);
  const std::string normalised(expression, strnlen(expression, kQueryExpressionSize));
  Check(normalised.size() <= kMaxQueryCharacters);
  Check(normalised == ReferenceNormalised(text));
  // Normalising twice changes nothing.
  char* again = static_cast<char*>(std::malloc(kQueryExpressionSize));
  NormaliseQuery(expression, again);
  Check(normalised == again);
  std::free(again);

  // The check of any text gives one of its codes, each with its message.
  const int rawCode = ValidateQuery(searchText);
  Check(rawCode == kQueryAccepted || rawCode == kQueryInvalidCharacters ||
        rawCode == kQueryOperatorAfterOperator || rawCode == kQueryOperatorAtEnd);
  Check((QueryRefusalMessage(rawCode) == nullptr) == (rawCode == kQueryAccepted));
  std::free(searchText);

  if (normalised.empty()) {
    // Blanks only: the files are listed, nothing is checked or taken.
    std::free(expression);
    return 0;
  }
  const int code = ValidateQuery(expression);
  std::free(expression);
  Check(code == ReferenceValidation(normalised));

  // Any normalised text is taken apart without harm; an accepted one into its terms.
  const std::vector<Term> terms = TakeAll(normalised);
  if (code != kQueryAccepted) return 0;
  for (char c : normalised) Check(c == ' ' || IsLetter(c));
  const std::vector<Term> expected = ReferenceTerms(normalised);
  Check(terms.size() == expected.size());
  for (std::size_t i = 0; i < terms.size(); ++i) {
    Check(terms[i].Text == expected[i].Text);
    Check(terms[i].Code == expected[i].Code);
    for (char c : terms[i].Text) Check(IsLetter(c));
  }

  // The terms over eight files, left to right from the empty set.
  if (terms[0].Code == kSingleWord) {
    Check(RuleOfTerm(kSingleWord) == nullptr);
    return 0;
  }
  std::uint8_t byRule = 0;
  std::uint8_t bySets = 0;
  for (const Term& term : terms) {
    const std::uint8_t found = FilesHolding(term.Text);
    byRule = ApplyByRule(term.Code, byRule, found);
    bySets = ReferenceApply(term.Code, bySets, found);
    Check(byRule == bySets);
  }
  Check(RuleOfTerm(kNoTermLeft) == nullptr);
  const auto anyCode = static_cast<std::int32_t>(size);
  Check((RuleOfTerm(anyCode) != nullptr) == IsExpressionTerm(anyCode));
  return 0;
}
