// Reduces the keys of a query term's spelling variants to its distinct keys.
#pragma once

#include "phonetic/term_tables.h"

// Puts the distinct keys among the first VariantCount entries of the term's VariantKeys
// into its KeyTable, in the order of their first occurrence, each with the index of that
// occurrence in KeyVariant, and sets KeyCount. The scanner always compares at least one
// key: with no variant, KeyCount is 1 and the key is VariantKeys[0] (0000 once
// ComputeVariantKeys has run), with no variant of its own (-1). Entries from KeyCount on
// are 0000 with -1.
void RemoveDuplicateKeys(PreparedTerm* term);
