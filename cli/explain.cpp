#include "cli/explain.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "engine/given_name_term.h"
#include "engine/query_letters.h"
#include "query/term_evaluation.h"
#include "texts/given_name_file.h"

namespace {

// The word as the search reads it: folded to a-z with `readUnicode`, in `folded` (256
// characters); nullptr, after saying so on standard error, when it is no query word.
const char* ReadWord(const char* given, bool readUnicode, char* folded) {
  const char* word = given;
  if (readUnicode && given != nullptr && std::strlen(given) < 256 &&
      FoldQueryLetters(given, folded) == kQueryLettersFolded) {
    word = folded;
  }
  if (word == nullptr || !IsWholeTerm(word)) {
    std::fprintf(stderr,
                 readUnicode ? "tessik-cli --explain: WORD must be 1 to %d letters, got \"%s\"\n"
                             : "tessik-cli --explain: WORD must be 1 to %d ASCII letters (a-z, "
                               "A-Z), got \"%s\"\n",
                 kMaxTermLength, given == nullptr ? "" : given);
    return nullptr;
  }
  return word;
}

}  // namespace

int RunExplain(const char* given, const char* givenOther, const SoundMethod& method,
               bool readUnicode, bool givenNames) {
  char folded[256];
  char foldedOther[256];
  const char* word = ReadWord(given, readUnicode, folded);
  if (word == nullptr) return 2;
  const char* other = nullptr;
  if (givenOther != nullptr) {
    other = ReadWord(givenOther, readUnicode, foldedOther);
    if (other == nullptr) return 2;
    givenNames = false;  // two names are compared as they are
  }
  GivenNameExtras userGivenNames;
  if (givenNames) {
    std::vector<std::string> problems;
    LoadUserGivenNames(&userGivenNames, &problems);
    for (const std::string& problem : problems) std::fprintf(stderr, "tessik-cli: %s\n", problem.c_str());
  }
  const std::unique_ptr<HeardTerm> term =
      givenNames ? HearWithGivenNames(method, word, &userGivenNames) : method.Hear(word);
  if (term == nullptr) {
    std::fputs("tessik-cli --explain: not enough memory\n", stderr);
    return 1;
  }
  if (word != given && std::strcmp(word, given) != 0) std::printf("folded\t%s\n", word);
  std::string text;
  if (other != nullptr) {
    if (other != givenOther && std::strcmp(other, givenOther) != 0)
      std::printf("folded\t%s\n", other);
    term->ExplainMatch(other, &text);
  } else {
    term->Explain(&text);
  }
  std::fwrite(text.data(), 1, text.size(), stdout);
  return 0;  // the caller checks that standard output took it all
}
