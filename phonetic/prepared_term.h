// A query term prepared for the search: its normalised word, its spelling variants and
// their keys, and the distinct keys that the scanner compares. A plain value: preparing
// one term touches nothing but that term, so terms can be prepared anywhere, side by side.
#pragma once

#include "phonetic/term_tables.h"

// Turns a query word (1 to 220 ASCII letters, as the query language passes it on) into its
// prepared term: NormaliseQueryWord, GenerateSpellingVariants, ComputeVariantKeys and
// RemoveDuplicateKeys, in that order. Every byte of *term is written, so the same word
// always gives the same bytes. Expects InitialisePhonetics to have run.
void PrepareTerm(const char* word, PreparedTerm* term);
