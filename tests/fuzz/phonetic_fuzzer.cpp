// Feeds query terms of 1 to 220 characters through the whole preparation of a term and
// traps on any key, variant or count out of shape. Each input is taken twice: spelt in
// letters (weighted towards those the spelling rules look at), and as it stands, any byte
// but the terminator, which a term never holds but the preparation must survive.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "phonetic/duplicate_keys.h"
#include "phonetic/phonetic_key.h"
#include "phonetic/prepared_term.h"
#include "phonetic/spelling_variants.h"

namespace {

constexpr std::size_t kMaxTermLetters = 220;

// Weighted towards the letters that the spelling rules look at.
constexpr char kLetters[] = "cChHjJkKsSxXzZgGtTiIpPdDeEyYaAoOuUwWbBfFlLmMnNqQrRvV";

bool IsKeyDigit(char c) { return c >= '0' && c <= '6'; }

bool IsWellFormedKey(const PhoneticKey& key) {
  const char first = key.Bytes[0];
  // A vowel or y never stands in front: those words begin with 0.
  const bool letter = first >= 'a' && first <= 'z' && std::strchr("aeiouy", first) == nullptr;
  if (!letter && first != '0') return false;
  bool ended = false;
  for (int i = 1; i < 4; ++i) {
    if (!IsKeyDigit(key.Bytes[i])) return false;
    // Once a 0 fills a position, every later one is 0 as well.
    if (ended && key.Bytes[i] != '0') return false;
    ended = key.Bytes[i] == '0';
  }
  return true;
}

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

// `letters`: the term is made of letters, as every term the query language gives is. Of
// any other bytes the preparation promises less: a byte that lower-cases to a zero byte
// (0xE0) may end the normalised word early, even leave it empty.
// The steps one by one, each checked, then PrepareTerm, which must give the same term.
void Prepare(const char* term, bool letters) {
  static PreparedTerm steps;
  NormaliseQueryWord(term, steps.NormalisedWord);
  const char* normalised = steps.NormalisedWord;
  const std::size_t normalisedLength = strnlen(normalised, kNormalisedWordSize);
  Check(normalisedLength < kNormalisedWordSize);
  const bool someWord = normalisedLength >= 1;
  Check(someWord || !letters);
  Check(ComputePhoneticKey(normalised) ==
        ComputePhoneticKey(normalised, static_cast<std::uint32_t>(normalisedLength)));

  GenerateSpellingVariants(&steps);
  // The word stays whole; the spellings are made from its first 62 characters.
  Check(strnlen(normalised, kNormalisedWordSize) == normalisedLength);
  const std::uint32_t variants = steps.VariantCount;
  Check(variants == 1 || variants == 2 || variants == 4 || variants == 8 || variants == 16);
  for (std::uint32_t i = 0; i < variants; ++i) {
    Check(std::memchr(steps.VariantTable[i], '\0', 63) != nullptr);
    Check(steps.VariantTable[i][0] != '\0' || !someWord);
  }

  ComputeVariantKeys(&steps);
  for (const PhoneticKey& key : steps.VariantKeys) Check(IsWellFormedKey(key));

  RemoveDuplicateKeys(&steps);
  const std::uint32_t keys = steps.KeyCount;
  Check(keys >= 1 && keys <= 16 && keys <= variants);
  for (std::uint32_t i = 0; i < keys; ++i) {
    for (std::uint32_t j = 0; j < i; ++j) Check(!(steps.KeyTable[i] == steps.KeyTable[j]));
    // Each key is that of its first variant, and of no variant before it.
    const int first = steps.KeyVariant[i];
    Check(first >= 0 && static_cast<std::uint32_t>(first) < variants);
    Check(steps.VariantKeys[first] == steps.KeyTable[i]);
    for (int v = 0; v < first; ++v) Check(!(steps.VariantKeys[v] == steps.KeyTable[i]));
  }

  static PreparedTerm whole;
  PrepareTerm(term, &whole);
  Check(std::strcmp(whole.NormalisedWord, normalised) == 0);
  Check(whole.VariantCount == variants && whole.KeyCount == keys);
  for (std::uint32_t i = 0; i < variants; ++i) {
    Check(std::strcmp(whole.VariantTable[i], steps.VariantTable[i]) == 0);
  }
  Check(std::memcmp(whole.VariantKeys, steps.VariantKeys, sizeof whole.VariantKeys) == 0);
  Check(std::memcmp(whole.KeyTable, steps.KeyTable, sizeof whole.KeyTable) == 0);
  Check(std::memcmp(whole.KeyVariant, steps.KeyVariant, sizeof whole.KeyVariant) == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static bool initialised = false;
  if (!initialised) {
    InitialisePhonetics();
    initialised = true;
  }
  const std::size_t length = size < kMaxTermLetters ? size : kMaxTermLetters;
  if (length == 0) return 0;
  // Each term on the heap with exactly its terminator, so that a read past it is caught.
  char* term = static_cast<char*>(std::malloc(length + 1));
  for (std::size_t i = 0; i < length; ++i) term[i] = kLetters[data[i] % (sizeof(kLetters) - 1)];
  term[length] = '\0';
  Prepare(term, true);
  std::free(term);

  const std::size_t rawLength = strnlen(reinterpret_cast<const char*>(data), length);
  if (rawLength == 0) return 0;
  term = static_cast<char*>(std::malloc(rawLength + 1));
  std::memcpy(term, data, rawLength);
  term[rawLength] = '\0';
  Prepare(term, false);
  std::free(term);
  return 0;
}
