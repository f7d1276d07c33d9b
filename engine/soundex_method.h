// The program's own method beside its query words: a term of given keys, for the tests and
// fuzzers that scan for keys no word of theirs needs to make. Any thread.
#pragma once

#include <cstdint>
#include <memory>

#include "engine/sound_method.h"
#include "phonetic/phonetic_key.h"

// A term of the program's own method with exactly the first `count` (at most kMaxKeys) of
// `keys`, and no spellings behind them; nullptr when there is no memory for it.
std::unique_ptr<HeardTerm> HearSoundexKeys(const PhoneticKey* keys, std::uint32_t count);
