// Feeds query terms of 1 to 220 characters through the whole preparation of a term and
// traps on any key, variant or count out of shape. Each input is taken twice: spelt in
// letters (weighted towards those the spelling rules look at), and as it stands, any byte
// but the terminator, which a term never holds but the preparation must survive.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "phonetic/phonetic_key.h"
#include "phonetic/spelling_variants.h"
#include "query/duplicate_keys.h"

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
void Prepare(const char* term, bool letters) {
  NormaliseQueryWord(term);
  const std::size_t normalisedLength = strnlen(NormalisedWord, sizeof(NormalisedWord));
  Check(normalisedLength < sizeof(NormalisedWord));
  const bool someWord = normalisedLength >= 1;
  Check(someWord || !letters);
  Check(ComputePhoneticKey(NormalisedWord) ==
        ComputePhoneticKey(NormalisedWord, static_cast<std::uint32_t>(normalisedLength)));

  GenerateSpellingVariants();
  const std::uint32_t variants = VariantCount;
  Check(variants == 1 || variants == 2 || variants == 4 || variants == 8 || variants == 16);
  for (std::uint32_t i = 0; i < variants; ++i) {
    Check(std::memchr(VariantTable[i], '\0', 63) != nullptr);
    Check(VariantTable[i][0] != '\0' || !someWord);
  }

  ComputeVariantKeys();
  for (const PhoneticKey& key : KeyTable) Check(IsWellFormedKey(key));

  RemoveDuplicateKeys();
  const std::uint32_t keys = KeyCount;
  Check(keys >= 1 && keys <= 16 && keys <= variants);
  for (std::uint32_t i = 0; i < keys; ++i) {
    for (std::uint32_t j = 0; j < i; ++j) Check(!(KeyTable[i] == KeyTable[j]));
  }
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
