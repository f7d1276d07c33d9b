// Phonetic keys: the letter table, the normalisation of a query word and the key coding
// that every word of a file goes through. The letter table is filled once at start-up,
// before any thread starts, and only read after; everything else works on the caller's
// own buffers.
#pragma once

#include <cstdint>
#include <cstring>

// Four characters with no terminator: a lower-case letter or '0', then three digits.
struct PhoneticKey {
  char Bytes[4];
};

inline bool operator==(const PhoneticKey& a, const PhoneticKey& b) {
  return std::memcmp(a.Bytes, b.Bytes, 4) == 0;
}

constexpr int kMaxKeys = 16;

// The size of a normalised word's buffer: up to 255 characters and the terminator.
constexpr int kNormalisedWordSize = 256;

// Soundex digit characters of 'a' to 'z'.
extern char LetterCodeTable[26];

// Start-up initialisation: fills LetterCodeTable.
void InitialisePhonetics();

// Whether the reductions drop `letter` of a word, given the lower-case letters before and
// after it (0 past the end): c before k, c after s or x before e, i or y, and s after x.
// A query word and every word of a file go through the same rule; the normalisation of a
// query word also collapses a doubled letter, which the key coding merges on the file side.
// The scanner asks for each letter of every word it codes.
inline bool DropsLetter(char letter, char previous, char next) {
  if (letter == 'c') {
    if (next == 'k') return true;
    return (previous == 's' || previous == 'x') && (next == 'e' || next == 'i' || next == 'y');
  }
  return letter == 's' && previous == 'x';
}

// Lower-cases and normalises one query term (1 to 220 ASCII letters) into `normalised`,
// which holds kNormalisedWordSize characters: a longer result is cut to 255.
void NormaliseQueryWord(const char* term, char* normalised);

// Codes a zero-terminated word of lower-case letters a to z into its key.
PhoneticKey ComputePhoneticKey(const char* word);
// The same coding of the first `length` characters of `word`, which need not be
// terminated (the file scanner codes its word buffer in place). Bytes other than a to z
// are never coded; an empty word gives 0000.
PhoneticKey ComputePhoneticKey(const char* word, std::uint32_t length);
