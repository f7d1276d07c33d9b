#include "cli/explain.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "engine/given_name_term.h"
#include "engine/query_letters.h"
#include "query/term_evaluation.h"
#include "ui/given_name_file.h"

int RunExplain(const char* given, const SoundMethod& method, bool readUnicode, bool givenNames) {
  const char* word = given;
  char folded[256];
  if (readUnicode && given != nullptr && std::strlen(given) < sizeof folded &&
      FoldQueryLetters(given, folded) == kQueryLettersFolded) {
    word = folded;
  }
  if (word == nullptr || !IsWholeTerm(word)) {
    std::fprintf(stderr,
                 readUnicode ? "tessik-cli --explain: WORD must be 1 to %d letters, got \"%s\"\n"
                             : "tessik-cli --explain: WORD must be 1 to %d ASCII letters (a-z, "
                               "A-Z), got \"%s\"\n",
                 kMaxTermLength, given == nullptr ? "" : given);
    return 2;
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
  term->Explain(&text);
  std::fwrite(text.data(), 1, text.size(), stdout);
  return 0;  // the caller checks that standard output took it all
}
