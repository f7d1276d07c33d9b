// Spelling variants of a query term and their keys.
#pragma once

#include "phonetic/term_tables.h"

// Expands the term's NormalisedWord, as far as its first 62 characters, into its
// VariantTable and VariantCount: each slot one zero-terminated spelling of at most 62
// characters. The word itself is left whole.
void GenerateSpellingVariants(PreparedTerm* term);

// Fills the term's VariantKeys: entry i is the key of variant i, entries from VariantCount
// on 0000.
void ComputeVariantKeys(PreparedTerm* term);
