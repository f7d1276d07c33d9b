#include "cli/explain.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "engine/query_letters.h"
#include "phonetic/daitch_mokotoff.h"
#include "phonetic/phonetic_key.h"
#include "phonetic/prepared_term.h"

namespace {

// The longest term the query language passes on; longer ones are cut before coding.
constexpr std::size_t kMaxTermLetters = 220;

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

void PrintKey(const PhoneticKey& key) { std::fwrite(key.Bytes, 1, sizeof(key.Bytes), stdout); }

}  // namespace

int RunExplain(const char* given, PhoneticMethod method, bool readUnicode) {
  const char* word = given;
  char folded[256];
  if (readUnicode && given != nullptr && std::strlen(given) < sizeof folded &&
      FoldQueryLetters(given, folded) == kQueryLettersFolded) {
    word = folded;
  }
  const std::size_t length = word == nullptr ? 0 : std::strlen(word);
  bool letters = length >= 1 && length <= kMaxTermLetters;
  for (std::size_t i = 0; letters && i < length; ++i) letters = IsAsciiLetter(word[i]);
  if (!letters) {
    std::fprintf(stderr,
                 readUnicode ? "tessik-cli --explain: WORD must be 1 to %zu letters, got \"%s\"\n"
                             : "tessik-cli --explain: WORD must be 1 to %zu ASCII letters (a-z, "
                               "A-Z), got \"%s\"\n",
                 kMaxTermLetters, given == nullptr ? "" : given);
    return 2;
  }
  if (word != given && std::strcmp(word, given) != 0) std::printf("folded\t%s\n", word);
  if (method == PhoneticMethod::DaitchMokotoff) {
    // The chart codes the word as typed (see PrepareSearchTerm).
    std::fputs("word\t", stdout);
    for (std::size_t i = 0; i < length; ++i) std::fputc(word[i] | 0x20, stdout);
    DmCode codes[kMaxDmCodes];
    const int count = DaitchMokotoffCodes(word, static_cast<std::uint32_t>(length), codes);
    std::fputs("\ncodes\t", stdout);
    for (int i = 0; i < count; ++i) {
      if (i > 0) std::fputc(' ', stdout);
      std::fwrite(codes[i].Digits, 1, kDmCodeLength, stdout);
    }
    std::fputc('\n', stdout);
    return 0;
  }
  PreparedTerm term;
  PrepareTerm(word, &term);
  std::printf("normalised\t%s\n", term.NormalisedWord);
  for (std::uint32_t i = 0; i < term.VariantCount && i < kVariantSlots; ++i) {
    std::printf("variant\t%s\t", term.VariantTable[i]);
    PrintKey(term.VariantKeys[i]);
    std::fputc('\n', stdout);
  }
  std::fputs("keys\t", stdout);
  for (std::uint32_t i = 0; i < term.KeyCount && i < kMaxKeys; ++i) {
    if (i > 0) std::fputc(' ', stdout);
    PrintKey(term.KeyTable[i]);
  }
  std::fputc('\n', stdout);
  return 0;  // the caller checks that standard output took it all
}
