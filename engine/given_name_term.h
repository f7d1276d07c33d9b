// A query word with its given-name equivalents (phonetic/given_names.h): the word as the
// search's method hears it, each heard member of its family (nicknames, names, Latin forms)
// as the same method hears it, and the family's abbreviations, matched by their letters in
// any case. A word of a file is tried against the query word first, then the members in the
// family's order, then the abbreviations, so a word the query word finds by itself is found
// with the same key and spelling as without equivalents. Made and read as any heard term
// (engine/sound_method.h).
#pragma once

#include <memory>

#include "engine/sound_method.h"
#include "phonetic/given_names.h"

class GivenNameExtras;

// The term of `word` (as the query passes it on) with its family, for `method`; the plain
// term of the method when the word has no family. `extras` (may be nullptr) adds the user's
// links. nullptr when there is no memory for it.
std::unique_ptr<HeardTerm> HearWithGivenNames(const SoundMethod& method, const char* word,
                                              const GivenNameExtras* extras);
