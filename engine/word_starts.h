// The byte-level work of the file scanner, done many bytes at a time: where in a read a
// word may begin that can match the current term, and how many line feeds lie in a stretch
// of it. The instruction set is chosen when the program runs: AVX2 where the processor
// has it (with AVX-512's byte lookups for start letters that only some letters may follow,
// where it has those too), SSE2 on x86 processors that have that, and a portable loop
// everywhere else; all give the same answers. Search worker only (tests: their own thread,
// while no search runs).
#pragma once

#include <cstdint>

// The classes of a byte in a text: a letter (A-Z a-z, nothing from 0x80 up) belongs to a
// word; a joiner (a digit, ^ _ `) spoils the word it touches; anything else separates.
constexpr bool IsWordLetter(std::uint8_t byte) {
  return static_cast<std::uint8_t>((byte | 0x20) - 'a') < 26;
}
constexpr bool IsJoiner(std::uint8_t byte) {
  return (byte >= '0' && byte <= '9') || byte == '^' || byte == '_' || byte == '`';
}

// The letters that can begin a matching word, in both cases, as a table of the 256 byte
// values and as the list of its lower-case letters; and, where it narrows the search, the
// letters that can come second in such a word; and, where it narrows the search further, which
// lengths a word may have by its first two bytes.
constexpr std::uint32_t kLongestPairLength = 62;  // longer words count as this long
struct StartLetters {
  bool IsStart[256];
  char Lower[26];
  std::uint32_t Count;
  bool FollowersOnly;  // a start counts only before one of its letter's followers
  // The followers of all the start letters together.
  bool MayFollow[256];
  char FollowerLower[26];
  std::uint32_t FollowerCount;
  // Bit (s & 31) of FollowersOf[f & 31] is set when letter s may follow start letter f (a
  // letter's low five bits are the same in both cases: 1 for a, 26 for z). Unless
  // FollowersByLetter, every start letter has all the followers above.
  bool FollowersByLetter;
  std::uint32_t FollowersOf[32];
  // nullptr, or 32 * 32 entries: bit L - 1 of entry 32 * (a & 31) + (b & 31) is set when a
  // word of L letters (at most kLongestPairLength) whose first two bytes are a and b may
  // match. Bit 0 is clear in every entry: a word of one letter never does. Owned by whoever
  // made the set.
  const std::uint64_t* PairLengths;
  // With FollowersOnly, when the start letters have at most kMostByteGroups sets of
  // followers (ByteTables): the bytes below 0x80 classed for a lookup of one byte at a
  // time. The start letters with the same followers make group g; bit 7 of ByteClass[b] is
  // set when b is no separator, bit g when it is a start letter of group g; bit g of
  // ByteFollowers[b] when b is a letter that may follow those of group g.
  bool ByteTables;
  std::uint8_t ByteClass[128];
  std::uint8_t ByteFollowers[128];
};
constexpr std::uint32_t kMostByteGroups = 7;

// Makes the set from a list of lower-case letters, and the letters that may follow them
// from `followers` (nullptr: any byte may); anything else in a list is ignored.
StartLetters MakeStartLetters(const char* letters, const char* followers = nullptr);

// Makes the set from a list of lower-case letters, each with followers of its own: bit s of
// followersOf[f] lets letter s (0: a) follow start letter f (0: a).
StartLetters MakeStartLettersByLetter(const char* letters, const std::uint32_t* followersOf);

// Writes to `starts` the position (from `bytes`) of every byte of `bytes[0..count)` that
// is a letter of `letters` and follows a separator: a byte that is neither a letter
// A-Z a-z, nor a digit, nor one of ^ _ `. With FollowersOnly, a start whose next byte lies
// in bytes[0..count) counts only when that byte is one of its letter's followers. `before` is the
// byte that precedes bytes[0]. `count` is at most 65536; `starts` has room for
// count / 2 + 3 positions (the two beyond any that can be found are scratch). With
// PairLengths, a start whose word (its run of letters A-Z a-z) ends before bytes[count], or
// holds kLongestPairLength letters before it, counts only when the entry of its first two
// bytes has the bit of its length (kLongestPairLength at most); a word that may go on past
// bytes[count] is not judged. Returns how
// many were written, in ascending order.
std::uint32_t FindWordStarts(const std::uint8_t* bytes, std::uint32_t count,
                             std::uint8_t before, const StartLetters& letters,
                             std::uint16_t* starts);

// The number of line feeds (byte 10) in bytes[0..count).
std::uint32_t CountLineFeeds(const std::uint8_t* bytes, std::uint32_t count);

// Where the last line feed of bytes[0..count) is, or `count` when it has none. Asked from the
// end, so its time goes with the distance from the end, not with `count`.
std::uint32_t LastLineFeed(const std::uint8_t* bytes, std::uint32_t count);

// The same, in the same pass setting *high when any of the bytes is from 0x80 up (and leaving
// it alone otherwise): the letter reading learns so whether a read is all ASCII.
std::uint32_t CountLineFeedsNotingHigh(const std::uint8_t* bytes, std::uint32_t count,
                                       bool* high);

enum class ScanInstructions { Portable, Sse2, Avx2 };

// The instruction set the functions above use: the best the processor has, unless a test
// chose another.
ScanInstructions CurrentScanInstructions();

// Makes the functions above use `set` from now on; false, and nothing changed, when the
// processor (or the build's target) does not have it. Tests only.
bool UseScanInstructions(ScanInstructions set);

// Whether the AVX2 set finds the starts of a set with ByteTables by AVX-512's byte lookups
// (VBMI), as it does where the processor has them; false, and nothing changed, when asked
// for them without. Tests only.
bool UseByteLookups(bool use);
