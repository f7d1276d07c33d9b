// The SSE2 and AVX2 versions of the word-start and line-feed functions. Each function
// carries its own target, so the file builds for any x86 processor and a version runs
// only where the processor has its instructions (word_starts.cpp asks first).
//
// A byte is a word start when it is one of the start letters and the byte before is a
// separator. Per block of 64 bytes, both tests give a bit mask; the separator mask moved
// up by one bit, with the last bit of the block before carried in, lines the previous
// byte's class up with each byte.
#include "engine/word_starts_kernels.h"

#ifdef TESSIK_X86_KERNELS

#include <immintrin.h>

namespace {

constexpr std::uint32_t kBlock = 64;

// Bit i of the result is set when start letter, and separator before, hold for byte i.
inline std::uint64_t Candidates(std::uint64_t start, std::uint64_t separator,
                                std::uint64_t& carry) {
  const std::uint64_t previousIsSeparator = (separator << 1) | carry;
  carry = separator >> 63;
  return start & previousIsSeparator;
}

inline std::uint32_t Emit(std::uint64_t candidates, std::uint32_t base, std::uint16_t* starts,
                          std::uint32_t found) {
  while (candidates != 0) {
    starts[found++] = static_cast<std::uint16_t>(base + __builtin_ctzll(candidates));
    candidates &= candidates - 1;
  }
  return found;
}

// ---- SSE2: 16 bytes a vector ----

__attribute__((target("sse2"))) inline __m128i InRange128(__m128i bytes, char low,
                                                          char span) {
  const __m128i shifted = _mm_sub_epi8(bytes, _mm_set1_epi8(low));
  return _mm_cmpeq_epi8(_mm_min_epu8(shifted, _mm_set1_epi8(span)), shifted);
}

struct Masks16 {
  std::uint32_t Start;
  std::uint32_t Separator;
};

__attribute__((target("sse2"))) inline Masks16 Classify16(const std::uint8_t* at,
                                                          const __m128i* lower,
                                                          std::uint32_t letterCount) {
  const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
  const __m128i folded = _mm_or_si128(bytes, _mm_set1_epi8(0x20));
  __m128i start = _mm_setzero_si128();
  for (std::uint32_t k = 0; k < letterCount; ++k) {
    start = _mm_or_si128(start, _mm_cmpeq_epi8(folded, lower[k]));
  }
  const __m128i wordish =
      _mm_or_si128(InRange128(folded, 'a', 25),
                   _mm_or_si128(InRange128(bytes, '0', 9), InRange128(bytes, '^', 2)));
  return {static_cast<std::uint32_t>(_mm_movemask_epi8(start)),
          static_cast<std::uint32_t>(~_mm_movemask_epi8(wordish)) & 0xFFFFu};
}

// ---- AVX2: 32 bytes a vector ----

__attribute__((target("avx2"))) inline __m256i InRange256(__m256i bytes, char low, char span) {
  const __m256i shifted = _mm256_sub_epi8(bytes, _mm256_set1_epi8(low));
  return _mm256_cmpeq_epi8(_mm256_min_epu8(shifted, _mm256_set1_epi8(span)), shifted);
}

struct Masks32 {
  std::uint32_t Start;
  std::uint32_t Separator;
};

// The start letters are looked up by the low four bits of the byte folded to lower case,
// in one table for 0x60-0x6F and one for 0x70-0x7F, whatever their number.
__attribute__((target("avx2"))) inline Masks32 Classify32(const std::uint8_t* at,
                                                          __m256i lowTable, __m256i highTable) {
  const __m256i bytes = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at));
  const __m256i folded = _mm256_or_si256(bytes, _mm256_set1_epi8(0x20));
  const __m256i nibble = _mm256_and_si256(folded, _mm256_set1_epi8(0x0F));
  const __m256i high = _mm256_cmpeq_epi8(_mm256_and_si256(folded, _mm256_set1_epi8(0x10)),
                                         _mm256_set1_epi8(0x10));
  const __m256i looked = _mm256_blendv_epi8(_mm256_shuffle_epi8(lowTable, nibble),
                                            _mm256_shuffle_epi8(highTable, nibble), high);
  const __m256i inLetterRows =
      _mm256_cmpeq_epi8(_mm256_and_si256(folded, _mm256_set1_epi8(static_cast<char>(0xE0))),
                        _mm256_set1_epi8(0x60));
  const __m256i start = _mm256_and_si256(looked, inLetterRows);
  const __m256i wordish =
      _mm256_or_si256(InRange256(folded, 'a', 25),
                      _mm256_or_si256(InRange256(bytes, '0', 9), InRange256(bytes, '^', 2)));
  return {static_cast<std::uint32_t>(_mm256_movemask_epi8(start)),
          ~static_cast<std::uint32_t>(_mm256_movemask_epi8(wordish))};
}

}  // namespace

bool ProcessorHasSse2() {
#ifdef __x86_64__
  return true;
#else
  __builtin_cpu_init();
  return __builtin_cpu_supports("sse2");
#endif
}

bool ProcessorHasAvx2() {
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx2");
}

__attribute__((target("sse2"))) std::uint32_t FindWordStartsSse2(
    const std::uint8_t* bytes, std::uint32_t count, std::uint8_t before,
    const StartLetters& letters, std::uint16_t* starts) {
  __m128i lower[26];
  for (std::uint32_t k = 0; k < letters.Count; ++k) lower[k] = _mm_set1_epi8(letters.Lower[k]);
  std::uint64_t carry = kSeparators[before] ? 1 : 0;
  std::uint32_t found = 0;
  std::uint32_t i = 0;
  for (; i + kBlock <= count; i += kBlock) {
    std::uint64_t start = 0;
    std::uint64_t separator = 0;
    for (std::uint32_t part = 0; part < 4; ++part) {
      const Masks16 masks = Classify16(bytes + i + 16 * part, lower, letters.Count);
      start |= static_cast<std::uint64_t>(masks.Start) << (16 * part);
      separator |= static_cast<std::uint64_t>(masks.Separator) << (16 * part);
    }
    found = Emit(Candidates(start, separator, carry), i, starts, found);
  }
  const std::uint8_t last = i > 0 ? bytes[i - 1] : before;
  return found + FindWordStartsByByte(bytes + i, count - i, last, letters, i, starts + found);
}

__attribute__((target("sse2"))) std::uint32_t CountLineFeedsSse2(const std::uint8_t* bytes,
                                                                 std::uint32_t count) {
  const __m128i lineFeed = _mm_set1_epi8('\n');
  std::uint32_t lines = 0;
  std::uint32_t i = 0;
  while (i + 16 <= count) {
    // Each byte of `sums` counts up to 255 line feeds before it is added up.
    __m128i sums = _mm_setzero_si128();
    for (std::uint32_t round = 0; round < 255 && i + 16 <= count; ++round, i += 16) {
      const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + i));
      sums = _mm_sub_epi8(sums, _mm_cmpeq_epi8(v, lineFeed));
    }
    const __m128i total = _mm_sad_epu8(sums, _mm_setzero_si128());
    lines += static_cast<std::uint32_t>(_mm_cvtsi128_si32(total)) +
             static_cast<std::uint32_t>(_mm_cvtsi128_si32(_mm_srli_si128(total, 8)));
  }
  return lines + CountLineFeedsByByte(bytes + i, count - i);
}

__attribute__((target("avx2"))) std::uint32_t FindWordStartsAvx2(
    const std::uint8_t* bytes, std::uint32_t count, std::uint8_t before,
    const StartLetters& letters, std::uint16_t* starts) {
  alignas(16) std::uint8_t low[16] = {};
  alignas(16) std::uint8_t high[16] = {};
  for (std::uint32_t k = 0; k < letters.Count; ++k) {
    const std::uint8_t c = static_cast<std::uint8_t>(letters.Lower[k]);
    (c < 0x70 ? low[c - 0x60] : high[c - 0x70]) = 0xFF;
  }
  const __m256i lowTable =
      _mm256_broadcastsi128_si256(_mm_load_si128(reinterpret_cast<const __m128i*>(low)));
  const __m256i highTable =
      _mm256_broadcastsi128_si256(_mm_load_si128(reinterpret_cast<const __m128i*>(high)));
  std::uint64_t carry = kSeparators[before] ? 1 : 0;
  std::uint32_t found = 0;
  std::uint32_t i = 0;
  for (; i + kBlock <= count; i += kBlock) {
    const Masks32 first = Classify32(bytes + i, lowTable, highTable);
    const Masks32 second = Classify32(bytes + i + 32, lowTable, highTable);
    const std::uint64_t start = first.Start | static_cast<std::uint64_t>(second.Start) << 32;
    const std::uint64_t separator =
        first.Separator | static_cast<std::uint64_t>(second.Separator) << 32;
    found = Emit(Candidates(start, separator, carry), i, starts, found);
  }
  const std::uint8_t last = i > 0 ? bytes[i - 1] : before;
  return found + FindWordStartsByByte(bytes + i, count - i, last, letters, i, starts + found);
}

__attribute__((target("avx2"))) std::uint32_t CountLineFeedsAvx2(const std::uint8_t* bytes,
                                                                 std::uint32_t count) {
  const __m256i lineFeed = _mm256_set1_epi8('\n');
  std::uint32_t lines = 0;
  std::uint32_t i = 0;
  while (i + 32 <= count) {
    __m256i sums = _mm256_setzero_si256();
    for (std::uint32_t round = 0; round < 255 && i + 32 <= count; ++round, i += 32) {
      const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(bytes + i));
      sums = _mm256_sub_epi8(sums, _mm256_cmpeq_epi8(v, lineFeed));
    }
    alignas(32) std::uint64_t parts[4];
    _mm256_store_si256(reinterpret_cast<__m256i*>(parts),
                       _mm256_sad_epu8(sums, _mm256_setzero_si256()));
    lines += static_cast<std::uint32_t>(parts[0] + parts[1] + parts[2] + parts[3]);
  }
  return lines + CountLineFeedsByByte(bytes + i, count - i);
}

#endif
