// A query term prepared for the search: its normalised word, its spelling variants and
// their keys, and the distinct keys that the scanner compares. A plain value: preparing
// one term touches nothing but that term, so terms can be prepared anywhere, side by side.
#pragma once

#include <cstdint>

#include "phonetic/phonetic_key.h"
#include "phonetic/spelling_variants.h"

struct PreparedTerm {
  // The whole normalised word (--explain shows it whole); the spellings are made from its
  // first 62 characters.
  char NormalisedWord[kNormalisedWordSize];
  // The spellings, each zero-terminated, in slot order; the first VariantCount are used.
  char VariantTable[kVariantSlots][kVariantSlotSize];
  std::uint32_t VariantCount;
  // The key of variant i; entries from VariantCount on are 0000.
  PhoneticKey VariantKeys[kVariantSlots];
  // The distinct keys, in the order of their first variant; entries from KeyCount on are
  // 0000.
  PhoneticKey KeyTable[kMaxKeys];
  // At least 1: the scanner always compares at least one key.
  std::uint32_t KeyCount;
  // The index of the first variant whose key is KeyTable[k]; -1 when none.
  int KeyVariant[kMaxKeys];
};

// Turns a query word (1 to 220 ASCII letters, as the query language passes it on) into its
// prepared term: NormaliseQueryWord, GenerateSpellingVariants, ComputeVariantKeys and
// RemoveDuplicateKeys, in that order. Every byte of *term is written, so the same word
// always gives the same bytes. Expects InitialisePhonetics to have run.
void PrepareTerm(const char* word, PreparedTerm* term);
