// The versions of the word-start and line-feed functions for each instruction set, and
// the byte classes they share. Private to word_starts*.cpp. Search worker only.
#pragma once

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

#include "engine/word_starts.h"

// Whether a byte ends a word (and lets the next letter begin one), as a table.
constexpr std::array<bool, 256> MakeSeparators() {
  std::array<bool, 256> separator{};
  for (int b = 0; b < 256; ++b) {
    const auto byte = static_cast<std::uint8_t>(b);
    separator[b] = !IsWordLetter(byte) && !IsJoiner(byte);
  }
  return separator;
}
inline constexpr std::array<bool, 256> kSeparators = MakeSeparators();

// Whether `next`, the byte after a start whose letter is `first`, is one of that letter's
// followers.
inline bool FollowsItsLetter(const StartLetters& letters, std::uint8_t first, std::uint8_t next) {
  return IsWordLetter(next) && ((letters.FollowersOf[first & 31u] >> (next & 31u)) & 1u) != 0;
}

// Whether the start at bytes[at] passes letters.PairLengths (word_starts.h) by the length of
// its word, counted one byte at a time.
inline bool PairMayMatch(const std::uint8_t* bytes, std::uint32_t at, std::uint32_t count,
                         const std::uint64_t* pairLengths) {
  std::uint32_t length = 1;
  while (length < kLongestPairLength && at + length < count && IsWordLetter(bytes[at + length])) {
    ++length;
  }
  if (length < kLongestPairLength && at + length == count) return true;  // it may go on
  const std::uint32_t pair = (bytes[at] & 31u) << 5 | (bytes[at + 1] & 31u);
  return ((pairLengths[pair] >> (length - 1)) & 1) != 0;
}

// The one-byte-at-a-time rule, for a whole read or for what is left after the last full
// vector: positions are `base` plus the index in `bytes`.
inline std::uint32_t FindWordStartsByByte(const std::uint8_t* bytes, std::uint32_t count,
                                          std::uint8_t before, const StartLetters& letters,
                                          std::uint32_t base, std::uint16_t* starts) {
  std::uint32_t found = 0;
  std::uint8_t previous = before;
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::uint8_t byte = bytes[i];
    if (letters.IsStart[byte] && kSeparators[previous] &&
        (!letters.FollowersOnly || i + 1 == count ||
         FollowsItsLetter(letters, byte, bytes[i + 1])) &&
        (letters.PairLengths == nullptr ||
         PairMayMatch(bytes, i, count, letters.PairLengths))) {
      starts[found++] = static_cast<std::uint16_t>(base + i);
    }
    previous = byte;
  }
  return found;
}

// Marks with its high bit each byte of `word` that is a line feed, and no other: a byte equal
// to '\n' becomes zero, and this test for a zero byte lets no carry run from one byte into
// the next (unlike the shorter test, which may mark a byte above a zero).
inline std::uint64_t LineFeedBytes(std::uint64_t word) {
  constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7FULL;
  word ^= 0x0A0A0A0A0A0A0A0AULL;
  return ~(((word & kLow7) + kLow7) | word | kLow7);
}

// Eight bytes at a time, then one at a time: the rest after a kernel's last whole vector
// is up to 31 bytes, and a listing scan counts the lines up to each match it lists.
inline std::uint32_t CountLineFeedsByWord(const std::uint8_t* bytes, std::uint32_t count) {
  std::uint32_t lines = 0;
  std::uint32_t i = 0;
  for (; i + 8 <= count; i += 8) {
    std::uint64_t word;
    std::memcpy(&word, bytes + i, sizeof word);
    // One bit a line feed, at the bottom of its byte; the product adds the bytes up in
    // its top byte (at most 8, so nothing carries out).
    lines += static_cast<std::uint32_t>(((LineFeedBytes(word) >> 7) * 0x0101010101010101ULL) >> 56);
  }
  for (; i < count; ++i) lines += bytes[i] == '\n' ? 1 : 0;
  return lines;
}

// From the end, eight bytes at a time.
inline std::uint32_t LastLineFeedByWord(const std::uint8_t* bytes, std::uint32_t count) {
  std::uint32_t end = count;
  while (end >= 8) {
    std::uint64_t word;
    std::memcpy(&word, bytes + end - 8, sizeof word);
    const std::uint64_t zero = LineFeedBytes(word);
    if (zero != 0) {
      // The highest marked byte is the last in memory on a little-endian processor; on
      // another the lowest is.
      if constexpr (std::endian::native == std::endian::little) {
        return end - 8 + (63 - static_cast<std::uint32_t>(std::countl_zero(zero))) / 8;
      } else {
        return end - 1 - static_cast<std::uint32_t>(std::countr_zero(zero)) / 8;
      }
    }
    end -= 8;
  }
  while (end > 0) {
    if (bytes[--end] == '\n') return end;
  }
  return count;
}

inline std::uint32_t CountLineFeedsNotingHighByByte(const std::uint8_t* bytes,
                                                    std::uint32_t count, bool* high) {
  std::uint32_t lines = 0;
  std::uint8_t any = 0;
  for (std::uint32_t i = 0; i < count; ++i) {
    lines += bytes[i] == '\n' ? 1 : 0;
    any |= bytes[i];
  }
  if ((any & 0x80) != 0) *high = true;
  return lines;
}

#if defined(__x86_64__) || defined(__i386__)
#define TESSIK_X86_KERNELS 1
bool ProcessorHasSse2();
bool ProcessorHasAvx2();
std::uint32_t FindWordStartsSse2(const std::uint8_t* bytes, std::uint32_t count,
                                 std::uint8_t before, const StartLetters& letters,
                                 std::uint16_t* starts);
std::uint32_t CountLineFeedsSse2(const std::uint8_t* bytes, std::uint32_t count);
std::uint32_t LastLineFeedSse2(const std::uint8_t* bytes, std::uint32_t count);
std::uint32_t CountLineFeedsNotingHighSse2(const std::uint8_t* bytes, std::uint32_t count,
                                           bool* high);
std::uint32_t FindWordStartsAvx2(const std::uint8_t* bytes, std::uint32_t count,
                                 std::uint8_t before, const StartLetters& letters,
                                 std::uint16_t* starts);
std::uint32_t CountLineFeedsAvx2(const std::uint8_t* bytes, std::uint32_t count);
std::uint32_t LastLineFeedAvx2(const std::uint8_t* bytes, std::uint32_t count);
std::uint32_t CountLineFeedsNotingHighAvx2(const std::uint8_t* bytes, std::uint32_t count,
                                           bool* high);
// AVX-512 with its byte lookups (BW and VBMI), for a set with ByteTables and no PairLengths.
bool ProcessorHasAvx512Vbmi();
std::uint32_t FindWordStartsAvx512Vbmi(const std::uint8_t* bytes, std::uint32_t count,
                                       std::uint8_t before, const StartLetters& letters,
                                       std::uint16_t* starts);
#endif
