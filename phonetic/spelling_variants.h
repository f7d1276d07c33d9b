// Spelling variants of a query term and their keys. Runs on the search worker only.
#pragma once

#include <cstdint>

constexpr int kVariantSlots = 16;
constexpr int kVariantSlotSize = 64;

// Slot i holds one zero-terminated spelling of at most 62 characters; the first
// VariantCount slots are the variants of the current term.
extern char VariantTable[kVariantSlots][kVariantSlotSize];
extern std::uint32_t VariantCount;

// Expands NormalisedWord (which it may shorten) into VariantTable and VariantCount.
void GenerateSpellingVariants();

// Fills KeyTable: entry i is the key of variant i, entries from VariantCount on 0000.
void ComputeVariantKeys();
