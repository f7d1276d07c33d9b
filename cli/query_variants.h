// For tessik-cli --json: the spelling variants of a one-word query and their keys, so
// that each occurrence can say which variant it sounded like. The search itself keeps
// only the distinct keys of the term, so the variants are worked out again here, the way
// the search takes and codes the word. Calling thread of tessik-cli, before the search.
#pragma once

#include "phonetic/phonetic_key.h"

// Works out the variants of `searchText` when the search will take it as one word;
// otherwise there are none. Expects InitialisePhonetics to have run.
void PrepareQueryVariants(const char* searchText);

// The first variant, in the order the search codes them, whose key is `key`; nullptr
// when none is.
const char* VariantWithKey(const PhoneticKey& key);
