// Eight bytes at a time: which of them are the letters A-Z a-z. Used where a word's letters
// are counted or checked in place, by the word cache and the scored method's short words.
// Pure functions: any thread.
#pragma once

#include <cstdint>

// Bit 7 of each byte of the result is set where `bytes` holds a letter A-Z a-z.
inline std::uint64_t LetterBytes(std::uint64_t bytes) {
  constexpr std::uint64_t kOnes = 0x0101010101010101ull;
  const std::uint64_t folded = (bytes | 0x20 * kOnes) & 0x7F * kOnes;
  const std::uint64_t atLeastA = folded + (0x80 - 'a') * kOnes;
  const std::uint64_t beyondZ = folded + (0x7F - 'z') * kOnes;
  return atLeastA & ~beyondZ & ~bytes & 0x80 * kOnes;
}
