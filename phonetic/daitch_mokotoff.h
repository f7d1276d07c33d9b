// Daitch-Mokotoff Soundex: the six-digit codes of a word, and the file scanner's test of a
// word against the codes of a query term. Pure functions of their arguments with no state of
// their own: any thread may call them.
//
// The coding follows the Daitch-Mokotoff Soundex coding chart of Gary Mokotoff and Randy
// Daitch (1985), as Gary Mokotoff publishes it with its rules in "Soundexing and Genealogy"
// (Avotaynu) and JewishGen publishes it in its Soundex coding pages:
//  - The word is cut into letter groups from left to right, always taking the longest group
//    of the chart that starts at the current letter (Mintz is M-I-N-TZ, not M-I-N-T-Z).
//  - A group is coded one way as the first group of the word, another right before a vowel
//    (a, e, i, o, u, and y, which the chart and its notes class with them: H is coded before
//    Y, Whyldman 758366) and a third anywhere else; some of these codings are "not coded".
//  - CH, CK, C, J, RS and RZ have two codings in some positions; the word then has a code for
//    every combination, which is why a word may have several codes.
//  - A coded group whose sound repeats the sound coded just before it adds nothing (Topf is
//    T-PF, 370000), except that MN and NM code both letters (Kleinman 586660). A group that
//    is not coded (a vowel, an uncoded H or J) separates: Lipshitz codes both of its 4s.
//  - Codes are six digits, padded with 0 and cut at six.
//
// Two points the chart leaves open, as this coder settles them:
//  - "The same sound" is compared digit by digit: the first digit of a group's coding is
//    dropped when it equals the last digit coded, so KS (54) then Z (4) give 54, and the
//    double S of Grosstadt codes like the single one of Grostadt.
//  - Bytes other than the letters A-Z and a-z are skipped, and the letters on both sides of
//    them code as one word, the way the chart codes Ben Aron as Benaron. A word with no
//    letter has no code.
#pragma once

#include <cstdint>
#include <cstring>

constexpr int kDmCodeLength = 6;

// Six digit characters '0' to '9', with no terminator.
struct DmCode {
  char Digits[kDmCodeLength];
};

inline bool operator==(const DmCode& a, const DmCode& b) {
  return std::memcmp(a.Digits, b.Digits, kDmCodeLength) == 0;
}

// The most codes one word can have. A word's codes are the ways of choosing one coding for
// each of its two-way groups, so their number depends on how the chart's two-way codings
// (5 or 4, 5 or 45, 94 or 4, none or 4) can follow each other within six digits, not on the
// word's length; names have a handful (Jackson 4, Rosochowaciec 8), contrived letter strings
// many more, because a repeated J or C adds codes whose digits merge away.
constexpr int kMaxDmCodes = 512;

// Writes every distinct code of the first `length` bytes of `letters` (which need not be
// terminated) to `codes`, which has room for kMaxDmCodes, in ascending order, and returns
// how many there are: 0 for a word with no letter.
int DaitchMokotoffCodes(const char* letters, std::uint32_t length, DmCode* codes);

// Whether the word has one of the `count` codes in `wanted`: returns the lowest index i such
// that wanted[i] is a code of the word, or -1. It allocates nothing and follows a branch of
// the word's codings only while its digits so far begin some wanted code, so a word whose
// first group fits no wanted code costs one group look-up.
int MatchDaitchMokotoff(const char* letters, std::uint32_t length, const DmCode* wanted, int count);

// The letters a word that has one of the `count` codes in `wanted` can begin with: bit L is
// set for the letter 'a' + L. The file scanner looks only at words that begin with them.
std::uint32_t DaitchMokotoffFirstLetters(const DmCode* wanted, int count);
