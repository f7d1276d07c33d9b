// The tables of a prepared query term: its normalised word, its spelling variants and their
// keys, and its distinct keys. A plain value; the steps that fill it (spelling_variants.h,
// duplicate_keys.h) and the whole preparation (prepared_term.h) work on the caller's. Any
// thread.
#pragma once

#include <cstdint>

#include "phonetic/phonetic_key.h"

constexpr int kVariantSlots = 16;
constexpr int kVariantSlotSize = 64;

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
