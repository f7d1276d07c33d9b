// A plain reading of a file in today's encodings: the whole file decoded at once by a decoder
// of its own, cut into words one code point at a time, each word folded whole and coded as
// reference_words.h codes a word. The matches the letter reading must find, for its tests and
// fuzzer. Any thread.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "phonetic/daitch_mokotoff.h"
#include "phonetic/phonetic_key.h"
#include "support/reference_words.h"

struct ReferenceCodePoint {
  char32_t CodePoint;
  std::int64_t Position;  // of its first byte
};

// The code points of a whole file: UTF-8, UTF-16 LE or BE by the byte-order mark (which is
// no character), else UTF-8 in which a byte that begins no valid sequence is read alone as
// Windows-1252; in UTF-16 a lone surrogate and a last odd byte are U+FFFD. `unitSize` gets
// the size of a code unit (1 or 2).
std::vector<ReferenceCodePoint> ReferenceDecode(const std::string& bytes, int* unitSize);

// Every word of the file whose folding (its first 62 letters) has one of the first `count`
// of `keys`, in file order; Letters holds the word's first 62 code points in UTF-8.
std::vector<ReferenceFind> ReferenceLetterFinds(const std::string& bytes, const PhoneticKey* keys,
                                                std::uint32_t count);

// The same for the first `count` of Daitch-Mokotoff `codes`.
std::vector<ReferenceFind> ReferenceLetterCodeFinds(const std::string& bytes, const DmCode* codes,
                                                    int count);

// The UTF-8 of code points (tests build their texts with it).
// ReferenceLetterFinds or ReferenceLetterCodeFinds of the term.
std::vector<ReferenceFind> ReferenceLetterFinds(const std::string& bytes,
                                                const ReferenceTerm& term);

std::string Utf8Of(const std::u32string& text);
