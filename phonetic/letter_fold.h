// Letter folding: how a word in today's encodings (Latin with diacritics, Cyrillic, Greek)
// reads in the letters a-z that the key coding takes, by the generated table letter_folds.inc
// (tools/make_letter_folds.py). Pure functions over constant tables: any thread.
//
// The readings: a Latin letter folds to its base letter (e-acute e, o-stroke o, sharp s ss,
// ae ae, thorn th), a Latin ligature or full-width letter to its letters (fi-ligature fi); Cyrillic is romanised by BGN/PCGN (Russian values, and the Ukrainian and
// Belarusian ones for the letters only those have), Greek by ELOT 743. The script's
// description lists every rule and what it leaves out.
//
// What a word is: a run of letters (ASCII letters and folded letters) and marks that begins
// with a letter. A mark (a combining diacritic) inside a word belongs to it and is dropped;
// a mark with no letter before it in the run is a separator, like everything the table does
// not list (digits, punctuation, other scripts).
#pragma once

#include <cstdint>

enum class LetterClass : std::uint8_t {
  kSeparator = 0,
  kAsciiLetter = 1,   // A-Z a-z
  kFoldedLetter = 2,  // a letter of the table; it may fold to no letter (the hard sign)
  kMark = 3,          // a combining mark: dropped inside a word, a separator before it
};

// The Unicode version the table was made from ("14.0.0").
const char* LetterFoldsUnicodeVersion();

LetterClass ClassifyNonAscii(char32_t codePoint);

// The class of one code point; for ASCII a comparison, anything else one table look-up.
inline LetterClass ClassifyCodePoint(char32_t codePoint) {
  if (codePoint < 0x80) {
    return (codePoint | 0x20) - 'a' < 26 ? LetterClass::kAsciiLetter : LetterClass::kSeparator;
  }
  return ClassifyNonAscii(codePoint);
}

// Folds the word `word[0..count)` into lower-case letters a-z at `letters`, which has room
// for `room` of them, and returns how many it wrote: at most `room`, nothing is written
// past letters[room - 1] and no terminator is added. The result is always the first `room`
// letters of the word's whole folding (a longer word is cut, never folded differently), so
// a caller that must know whether the word was cut gives room + 1.
//
// Each letter gives its letters of the table, in order, and the rules that depend on the
// letters around it are applied (the letters around are those of `word`; its marks and
// separators are invisible to them):
//  - Cyrillic e and yo read ye at the start of the word and after a vowel, short i, the
//    hard or the soft sign; a word with a letter only Ukrainian has is read as Ukrainian
//    (i reads y, ghe h, e always e: Kyiv's name gives kyyiv), a word with the short u as
//    Belarusian (ghe reads h); the hard and soft signs give no letter.
//  - Greek pairs: gamma before gamma, xi or chi reads n; alpha, epsilon, eta before upsilon
//    read av, ev, iv before a vowel or a voiced consonant and af, ef, if elsewhere, and
//    omicron-upsilon ou, unless the upsilon has a dialytika (also as a combining mark after
//    it) or the first vowel an accent or breathing (also as a mark); mu-pi reads b at the
//    start of the word and mb inside, nu-tau d at the start and nt inside.
// Marks and separators in `word` write nothing: the caller passes one word as the rule
// above finds it. `count` may be any size; the work stops once `room` letters are written.
//
// Most words need none of the rules that look around a letter but the letter just before (no
// Greek pair other than omicron-upsilon, a Cyrillic word read as Russian): they are read by
// one look-up a letter, any other by FoldWordByRules.
std::uint32_t FoldWord(const char32_t* word, std::uint32_t count, char* letters,
                       std::uint32_t room);

// FoldWord for a word written in UTF-8, bytes[0..count), read from its bytes: a word of ASCII
// letters and letters of two bytes below U+0500 with no mark and no pair of the Greek rules
// but omicron-upsilon is folded in one pass, as FoldWord folds its code points (room at most
// 64). For any other bytes (a separator, a mark, a letter of three bytes, a byte that is no
// such UTF-8, another Greek pair) it returns kNotFoldedQuickly: the caller decodes the word.
constexpr std::uint32_t kNotFoldedQuickly = ~std::uint32_t{0};
std::uint32_t FoldTwoByteWordQuickly(const std::uint8_t* bytes, std::uint32_t count,
                                     char* letters, std::uint32_t room);

// The same folding, every letter by its rules: what the quicker reading of FoldWord is held to.
std::uint32_t FoldWordByRules(const char32_t* word, std::uint32_t count, char* letters,
                              std::uint32_t room);

// The letters the folding of a word that begins with `codePoint` can begin with, whatever
// follows it: bit i for the letter 'a' + i (a Cyrillic e gives y and e, a Greek mu m and b,
// a Greek gamma g and n). Every bit for a letter that folds to nothing (its word begins
// with the next letter's letters), and for anything that is no letter (it begins no word).
// A scanner's way to pass over a word, unfolded, that cannot begin with a term's letters.
constexpr std::uint32_t kAnyFirstLetter = (1u << 26) - 1;
std::uint32_t FirstLettersOf(char32_t codePoint);
