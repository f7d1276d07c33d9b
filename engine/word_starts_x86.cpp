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

// The same without a branch for blocks of up to two starts, the usual case: two positions
// are written whatever the count (the second, or both, past the end of what is found, at
// most two beyond it), so the loop only runs for more.
__attribute__((target("popcnt"))) inline std::uint32_t EmitMostlyFew(std::uint64_t candidates,
                                                                    std::uint32_t base,
                                                                    std::uint16_t* starts,
                                                                    std::uint32_t found) {
  const auto count = static_cast<std::uint32_t>(__builtin_popcountll(candidates));
  constexpr std::uint64_t kLastBit = std::uint64_t{1} << 63;
  starts[found] = static_cast<std::uint16_t>(base + __builtin_ctzll(candidates | kLastBit));
  candidates &= candidates - 1;
  starts[found + 1] = static_cast<std::uint16_t>(base + __builtin_ctzll(candidates | kLastBit));
  candidates &= candidates - 1;
  if (count > 2) Emit(candidates, base, starts, found + 2);
  return found + count;
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

struct Masks32 {
  std::uint32_t Start;
  std::uint32_t Separator;
};

// Each byte is classed by two table lookups, one by its high four bits and one by its low
// four, whose flags are ANDed: each flag stands for a set of rows (high halves) times a
// set of columns (low halves) of the byte table.
constexpr std::uint8_t kLettersAtoO = 0x01;   // rows 4 and 6, columns 1-15
constexpr std::uint8_t kLettersPtoZ = 0x02;   // rows 5 and 7, columns 0-10
constexpr std::uint8_t kDigits = 0x04;        // row 3, columns 0-9
constexpr std::uint8_t kCaretUnder = 0x08;    // row 5, columns 14-15: ^ _
constexpr std::uint8_t kBackquote = 0x10;     // row 6, column 0: `
constexpr std::uint8_t kStartAtoO = 0x40;     // rows 4 and 6, the columns of start letters
constexpr std::uint8_t kStartPtoZ = 0x80;     // rows 5 and 7, the columns of start letters
constexpr std::uint8_t kWordish = kLettersAtoO | kLettersPtoZ | kDigits | kCaretUnder | kBackquote;
constexpr std::uint8_t kStart = kStartAtoO | kStartPtoZ;

struct NibbleTables {
  alignas(16) std::uint8_t High[16];
  alignas(16) std::uint8_t Low[16];
};

NibbleTables MakeNibbleTables(const StartLetters& letters) {
  NibbleTables tables{};
  tables.High[3] = kDigits;
  tables.High[4] = kLettersAtoO | kStartAtoO;
  tables.High[5] = kLettersPtoZ | kCaretUnder | kStartPtoZ;
  tables.High[6] = kLettersAtoO | kBackquote | kStartAtoO;
  tables.High[7] = kLettersPtoZ | kStartPtoZ;
  for (int column = 0; column < 16; ++column) {
    std::uint8_t flags = 0;
    if (column >= 1) flags |= kLettersAtoO;
    if (column <= 10) flags |= kLettersPtoZ;
    if (column <= 9) flags |= kDigits;
    if (column >= 14) flags |= kCaretUnder;
    if (column == 0) flags |= kBackquote;
    tables.Low[column] = flags;
  }
  for (std::uint32_t k = 0; k < letters.Count; ++k) {
    const int letter = static_cast<std::uint8_t>(letters.Lower[k]);
    if (letter < 0x70) {
      tables.Low[letter - 0x60] |= kStartAtoO;
    } else {
      tables.Low[letter - 0x70] |= kStartPtoZ;
    }
  }
  return tables;
}

__attribute__((target("avx2"))) inline Masks32 Classify32(const std::uint8_t* at,
                                                          __m256i highTable, __m256i lowTable) {
  const __m256i bytes = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at));
  const __m256i fours = _mm256_set1_epi8(0x0F);
  const __m256i high = _mm256_and_si256(_mm256_srli_epi16(bytes, 4), fours);
  const __m256i low = _mm256_and_si256(bytes, fours);
  const __m256i flags = _mm256_and_si256(_mm256_shuffle_epi8(highTable, high),
                                         _mm256_shuffle_epi8(lowTable, low));
  const __m256i zero = _mm256_setzero_si256();
  const __m256i notStart =
      _mm256_cmpeq_epi8(_mm256_and_si256(flags, _mm256_set1_epi8(static_cast<char>(kStart))), zero);
  const __m256i separator =
      _mm256_cmpeq_epi8(_mm256_and_si256(flags, _mm256_set1_epi8(kWordish)), zero);
  return {~static_cast<std::uint32_t>(_mm256_movemask_epi8(notStart)),
          static_cast<std::uint32_t>(_mm256_movemask_epi8(separator))};
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
  return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("popcnt");
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

__attribute__((target("avx2,popcnt"))) std::uint32_t FindWordStartsAvx2(
    const std::uint8_t* bytes, std::uint32_t count, std::uint8_t before,
    const StartLetters& letters, std::uint16_t* starts) {
  const NibbleTables tables = MakeNibbleTables(letters);
  const __m256i highTable =
      _mm256_broadcastsi128_si256(_mm_load_si128(reinterpret_cast<const __m128i*>(tables.High)));
  const __m256i lowTable =
      _mm256_broadcastsi128_si256(_mm_load_si128(reinterpret_cast<const __m128i*>(tables.Low)));
  std::uint64_t carry = kSeparators[before] ? 1 : 0;
  std::uint32_t found = 0;
  std::uint32_t i = 0;
  for (; i + kBlock <= count; i += kBlock) {
    const Masks32 first = Classify32(bytes + i, highTable, lowTable);
    const Masks32 second = Classify32(bytes + i + 32, highTable, lowTable);
    const std::uint64_t start = first.Start | static_cast<std::uint64_t>(second.Start) << 32;
    const std::uint64_t separator =
        first.Separator | static_cast<std::uint64_t>(second.Separator) << 32;
    found = EmitMostlyFew(Candidates(start, separator, carry), i, starts, found);
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
