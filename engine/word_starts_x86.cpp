// The SSE2 and AVX2 versions of the word-start and line-feed functions. Each function
// carries its own target, so the file builds for any x86 processor and a version runs
// only where the processor has its instructions (word_starts.cpp asks first).
//
// A byte is a word start when it is one of the start letters and the byte before is a
// separator. Per block of 64 bytes, both tests give a bit mask; the separator mask moved
// up by one bit, with the last bit of the block before carried in, lines the previous
// byte's class up with each byte. Where only some letters may follow a start, their mask
// moved down by one bit, with the first byte of the next block looked up, does the same
// for the byte after. With AVX-512's byte lookups, a byte's class and the classes of the
// byte after come from the tables of 128 bytes of the set (StartLetters::ByteTables).
#include "engine/word_starts_kernels.h"

#ifdef TESSIK_X86_KERNELS

#include <immintrin.h>

#include <initializer_list>

namespace {

constexpr std::uint32_t kBlock = 64;

// Bit i of the result is set when start letter, and separator before, hold for byte i.
inline std::uint64_t Candidates(std::uint64_t start, std::uint64_t separator,
                                std::uint64_t& carry) {
  const std::uint64_t previousIsSeparator = (separator << 1) | carry;
  carry = separator >> 63;
  return start & previousIsSeparator;
}

// The candidates of the block at bytes[i] whose next byte may follow a start, one at a time.
inline std::uint64_t KeepFollowed(std::uint64_t candidates, const std::uint8_t* bytes,
                                  std::uint32_t i, std::uint32_t count,
                                  const StartLetters& letters) {
  std::uint64_t kept = 0;
  for (std::uint64_t rest = candidates; rest != 0; rest &= rest - 1) {
    const std::uint32_t at = i + static_cast<std::uint32_t>(__builtin_ctzll(rest));
    if (at + 1 == count || FollowsItsLetter(letters, bytes[at], bytes[at + 1])) {
      kept |= rest & (0 - rest);
    }
  }
  return kept;
}

// The candidates of the block at bytes[i] that pass letters.PairLengths, one at a time.
inline std::uint64_t KeepPaired(std::uint64_t candidates, const std::uint8_t* bytes,
                                std::uint32_t i, std::uint32_t count,
                                const StartLetters& letters) {
  std::uint64_t kept = 0;
  for (std::uint64_t rest = candidates; rest != 0; rest &= rest - 1) {
    const std::uint32_t at = i + static_cast<std::uint32_t>(__builtin_ctzll(rest));
    if (PairMayMatch(bytes, at, count, letters.PairLengths)) kept |= rest & (0 - rest);
  }
  return kept;
}

// The candidates of a block whose words all end within the bytes, given which bytes of the
// block (`notLetters`) and of the next 64 (`nextNotLetters`) are no letters, written to
// `starts` when they pass letters.PairLengths, without a branch on the answer: a position is
// always written and counted only when it passes.
inline std::uint32_t EmitPaired(std::uint64_t candidates, const std::uint8_t* block,
                                std::uint32_t base, std::uint64_t notLetters,
                                std::uint64_t nextNotLetters, const std::uint64_t* pairLengths,
                                std::uint16_t* starts, std::uint32_t found) {
  constexpr std::uint64_t kLongest = std::uint64_t{1} << kLongestPairLength;
  for (; candidates != 0; candidates &= candidates - 1) {
    const auto at = static_cast<std::uint32_t>(__builtin_ctzll(candidates));
    // The bytes from the start on: bit k is set when byte at + k is no letter.
    const std::uint64_t ahead = notLetters >> at | (nextNotLetters << 1) << (63 - at);
    const auto length = static_cast<std::uint32_t>(__builtin_ctzll(ahead | kLongest));
    const std::uint32_t pair = (block[at] & 31u) << 5 | (block[at + 1] & 31u);
    starts[found] = static_cast<std::uint16_t>(base + at);
    found += static_cast<std::uint32_t>((pairLengths[pair] >> (length - 1)) & 1);
  }
  return found;
}

// How far ahead of the block being classed its bytes are asked for. The processor fetches
// ahead by itself only within a page, and a mapped file comes page by page; a prefetch never
// faults, so asking past the end of the bytes is harmless.
constexpr std::uint32_t kPrefetchDistance = 2048;

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
  std::uint32_t Follower;
  std::uint32_t NotLetter;
};

// Each byte is classed by two table lookups, one by its high four bits and one by its low
// four, whose flags are ANDed: each flag stands for a set of rows (high halves) times a
// set of columns (low halves) of the byte table.
constexpr std::uint8_t kLettersAtoO = 0x01;     // rows 4 and 6, columns 1-15
constexpr std::uint8_t kLettersPtoZ = 0x02;     // rows 5 and 7, columns 0-10
constexpr std::uint8_t kDigitsBackquote = 0x04; // rows 3 and 6, columns 0-9 (a-i are letters)
constexpr std::uint8_t kCaretUnder = 0x08;      // row 5, columns 14-15: ^ _
constexpr std::uint8_t kFollowerAtoO = 0x10;    // rows 4 and 6, the columns of followers
constexpr std::uint8_t kFollowerPtoZ = 0x20;    // rows 5 and 7, the columns of followers
constexpr std::uint8_t kStartAtoO = 0x40;       // rows 4 and 6, the columns of start letters
constexpr std::uint8_t kStartPtoZ = 0x80;       // rows 5 and 7, the columns of start letters
constexpr std::uint8_t kWordish = kLettersAtoO | kLettersPtoZ | kDigitsBackquote | kCaretUnder;
constexpr std::uint8_t kFollower = kFollowerAtoO | kFollowerPtoZ;
constexpr std::uint8_t kStart = kStartAtoO | kStartPtoZ;

struct NibbleTables {
  alignas(16) std::uint8_t High[16];
  alignas(16) std::uint8_t Low[16];
};

// Sets `atoO` or `pToZ` in the low table's column of each letter of a list.
void MarkColumns(const char* lower, std::uint32_t count, std::uint8_t atoO, std::uint8_t pToZ,
                 NibbleTables& tables) {
  for (std::uint32_t k = 0; k < count; ++k) {
    const int letter = static_cast<std::uint8_t>(lower[k]);
    if (letter < 0x70) {
      tables.Low[letter - 0x60] |= atoO;
    } else {
      tables.Low[letter - 0x70] |= pToZ;
    }
  }
}

// Where words begin with letters of the table, most need a few letters to match: the letters
// whose words may have fewer than Shortest letters, and that length (1: all may).
struct ShortWords {
  char Lower[26];
  std::uint32_t Count;
  std::uint32_t Shortest;
};

ShortWords ShortWordsOf(const std::uint64_t* pairLengths) {
  constexpr std::uint32_t kFew = 4;  // most words of fewer letters are common words
  constexpr std::uint32_t kLongestAsked = 8;
  std::uint32_t least[26];
  ShortWords words{};
  words.Shortest = kLongestAsked;
  for (std::uint32_t f = 0; f < 26; ++f) {
    std::uint64_t lengths = 0;
    for (std::uint32_t s = 0; s < 32; ++s) lengths |= pairLengths[32 * (f + 1) + s];
    least[f] = lengths == 0 ? 64 : static_cast<std::uint32_t>(__builtin_ctzll(lengths)) + 1;
    if (least[f] >= kFew && least[f] < words.Shortest) words.Shortest = least[f];
  }
  for (std::uint32_t f = 0; f < 26; ++f) {
    if (least[f] < words.Shortest) words.Lower[words.Count++] = static_cast<char>('a' + f);
  }
  return words;
}

NibbleTables MakeNibbleTables(const StartLetters& letters, const ShortWords* shortWords = nullptr) {
  NibbleTables tables{};
  constexpr std::uint8_t kRowsAtoO = kLettersAtoO | kFollowerAtoO | kStartAtoO;
  constexpr std::uint8_t kRowsPtoZ = kLettersPtoZ | kFollowerPtoZ | kStartPtoZ;
  tables.High[3] = kDigitsBackquote;
  tables.High[4] = kRowsAtoO;
  tables.High[5] = kRowsPtoZ | kCaretUnder;
  tables.High[6] = kRowsAtoO | kDigitsBackquote;
  tables.High[7] = kRowsPtoZ;
  for (int column = 0; column < 16; ++column) {
    std::uint8_t flags = 0;
    if (column >= 1) flags |= kLettersAtoO;
    if (column <= 10) flags |= kLettersPtoZ;
    if (column <= 9) flags |= kDigitsBackquote;
    if (column >= 14) flags |= kCaretUnder;
    tables.Low[column] = flags;
  }
  MarkColumns(letters.Lower, letters.Count, kStartAtoO, kStartPtoZ, tables);
  if (shortWords != nullptr) {  // in the place of the followers, which are not asked then
    MarkColumns(shortWords->Lower, shortWords->Count, kFollowerAtoO, kFollowerPtoZ, tables);
  } else {
    MarkColumns(letters.FollowerLower, letters.FollowerCount, kFollowerAtoO, kFollowerPtoZ, tables);
  }
  return tables;
}

// Bit i is set when byte i has none of the flags of `mask`.
__attribute__((target("avx2"))) inline std::uint32_t Without(__m256i flags, std::uint8_t mask) {
  const __m256i some = _mm256_and_si256(flags, _mm256_set1_epi8(static_cast<char>(mask)));
  return static_cast<std::uint32_t>(
      _mm256_movemask_epi8(_mm256_cmpeq_epi8(some, _mm256_setzero_si256())));
}

template <bool kFollowers, bool kPairs>
__attribute__((target("avx2"))) inline Masks32 Classify32(const std::uint8_t* at,
                                                          __m256i highTable, __m256i lowTable) {
  const __m256i bytes = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at));
  const __m256i fours = _mm256_set1_epi8(0x0F);
  const __m256i high = _mm256_and_si256(_mm256_srli_epi16(bytes, 4), fours);
  const __m256i low = _mm256_and_si256(bytes, fours);
  const __m256i flags = _mm256_and_si256(_mm256_shuffle_epi8(highTable, high),
                                         _mm256_shuffle_epi8(lowTable, low));
  return {~Without(flags, kStart), Without(flags, kWordish),
          kFollowers ? ~Without(flags, kFollower) : 0,
          kPairs ? Without(flags, kLettersAtoO | kLettersPtoZ) : 0};
}

// With kPairs, the candidates of a block are judged by letters.PairLengths once the next
// block is classed too (a word of the longest length that counts, begun in the block, ends
// within the two); those of the last whole block, and the bytes after it, one byte at a time.
// Without followers, the words too short for their first letter are passed over first, by
// the masks of the two blocks (the follower flags class the first letters then).
template <bool kFollowers, bool kPairs>
__attribute__((target("avx2,popcnt"))) std::uint32_t FindWordStartsAvx2With(
    const std::uint8_t* bytes, std::uint32_t count, std::uint8_t before,
    const StartLetters& letters, std::uint16_t* starts) {
  constexpr bool kShortWords = kPairs && !kFollowers;
  ShortWords shortWords{};
  if constexpr (kShortWords) shortWords = ShortWordsOf(letters.PairLengths);
  const NibbleTables tables = MakeNibbleTables(letters, kShortWords ? &shortWords : nullptr);
  const __m256i highTable =
      _mm256_broadcastsi128_si256(_mm_load_si128(reinterpret_cast<const __m128i*>(tables.High)));
  const __m256i lowTable =
      _mm256_broadcastsi128_si256(_mm_load_si128(reinterpret_cast<const __m128i*>(tables.Low)));
  std::uint64_t carry = kSeparators[before] ? 1 : 0;
  std::uint32_t found = 0;
  std::uint32_t i = 0;
  std::uint64_t waiting = 0;  // kPairs: the candidates of the block before, not yet judged
  std::uint64_t waitingNotLetters = 0;
  std::uint64_t waitingShort = 0;  // kShortWords: the candidates that may be short words
  for (; i + kBlock <= count; i += kBlock) {
    _mm_prefetch(reinterpret_cast<const char*>(bytes + i + kPrefetchDistance), _MM_HINT_T0);
    const Masks32 first =
        Classify32<kFollowers || kShortWords, kPairs>(bytes + i, highTable, lowTable);
    const Masks32 second =
        Classify32<kFollowers || kShortWords, kPairs>(bytes + i + 32, highTable, lowTable);
    const std::uint64_t start = first.Start | static_cast<std::uint64_t>(second.Start) << 32;
    const std::uint64_t separator =
        first.Separator | static_cast<std::uint64_t>(second.Separator) << 32;
    std::uint64_t candidates = Candidates(start, separator, carry);
    if constexpr (kFollowers) {
      const std::uint64_t follower =
          first.Follower | static_cast<std::uint64_t>(second.Follower) << 32;
      // A start at the very end of the bytes has no next byte to ask.
      const std::uint64_t nextFollows = i + kBlock < count ? letters.MayFollow[bytes[i + kBlock]] : 1;
      candidates &= (follower >> 1) | (nextFollows << 63);
    }
    if constexpr (kPairs) {
      const std::uint64_t notLetters =
          first.NotLetter | static_cast<std::uint64_t>(second.NotLetter) << 32;
      if (i > 0) {
        if constexpr (kShortWords) {
          // Starts followed by at least Shortest letters, in this block or the next.
          const std::uint64_t inWord = ~waitingNotLetters;
          const std::uint64_t nextInWord = ~notLetters;
          std::uint64_t longEnough = inWord;
          for (std::uint32_t k = 1; k < shortWords.Shortest; ++k) {
            longEnough &= inWord >> k | nextInWord << (64 - k);
          }
          waiting &= waitingShort | longEnough;
        }
        found = EmitPaired(waiting, bytes + i - kBlock, i - kBlock, waitingNotLetters, notLetters,
                           letters.PairLengths, starts, found);
      }
      waiting = candidates;
      waitingNotLetters = notLetters;
      if constexpr (kShortWords) {
        waitingShort = first.Follower | static_cast<std::uint64_t>(second.Follower) << 32;
      }
    } else {
      found = EmitMostlyFew(candidates, i, starts, found);
    }
  }
  if constexpr (kPairs) {
    if (i > 0) {
      waiting = KeepPaired(waiting, bytes, i - kBlock, count, letters);
      found = Emit(waiting, i - kBlock, starts, found);
    }
  }
  const std::uint8_t last = i > 0 ? bytes[i - 1] : before;
  return found + FindWordStartsByByte(bytes + i, count - i, last, letters, i, starts + found);
}

// ---- AVX2, with followers of each start letter ----
//
// The start letters with the same followers make a group, of at most four. Which groups a
// byte begins comes from two lookups by its halves, as its class does (bit g for the letters
// a-o of group g, bit g + 4 for p-z); which groups' followers the next byte is, from two
// more over the bytes one further on. A start counts where the two share a group.
constexpr std::uint32_t kMostGroups = 4;

struct GroupTables {
  NibbleTables Starts;
  NibbleTables Followers;
};

// False when the start letters have more than kMostGroups sets of followers.
bool MakeGroupTables(const StartLetters& letters, GroupTables* tables) {
  *tables = {};
  std::uint32_t sets[kMostGroups];
  std::uint32_t groups = 0;
  for (std::uint32_t i = 0; i < letters.Count; ++i) {
    const char letter = letters.Lower[i];
    const std::uint32_t followers = letters.FollowersOf[letter & 31];
    std::uint32_t g = 0;
    while (g < groups && sets[g] != followers) ++g;
    if (g == groups) {
      if (groups == kMostGroups) return false;
      sets[groups++] = followers;
    }
    MarkColumns(&letter, 1, static_cast<std::uint8_t>(1u << g),
                static_cast<std::uint8_t>(1u << (g + 4)), tables->Starts);
  }
  for (std::uint32_t g = 0; g < groups; ++g) {
    char lower[26];
    std::uint32_t count = 0;
    for (std::uint32_t next = 1; next <= 26; ++next) {
      if (((sets[g] >> next) & 1u) != 0) lower[count++] = static_cast<char>('a' + next - 1);
    }
    MarkColumns(lower, count, static_cast<std::uint8_t>(1u << g),
                static_cast<std::uint8_t>(1u << (g + 4)), tables->Followers);
  }
  for (NibbleTables* table : {&tables->Starts, &tables->Followers}) {
    table->High[4] = table->High[6] = 0x0F;  // the rows of A-O and a-o
    table->High[5] = table->High[7] = 0xF0;  // the rows of P-Z and p-z
  }
  return true;
}

struct GroupVectors {
  __m256i ClassHigh, ClassLow, StartHigh, StartLow, FollowerHigh, FollowerLow;
};

__attribute__((target("avx2"))) inline __m256i Broadcast(const std::uint8_t* table) {
  return _mm256_broadcastsi128_si256(_mm_load_si128(reinterpret_cast<const __m128i*>(table)));
}

// The starts of the 32 bytes at `at` (bit i: byte i begins a group whose followers byte
// i + 1 is), and the separators among them. Reads the byte after the 32.
__attribute__((target("avx2"))) inline Masks32 ClassifyGroups32(const std::uint8_t* at,
                                                                const GroupVectors& v) {
  const __m256i fours = _mm256_set1_epi8(0x0F);
  const __m256i bytes = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at));
  const __m256i high = _mm256_and_si256(_mm256_srli_epi16(bytes, 4), fours);
  const __m256i low = _mm256_and_si256(bytes, fours);
  const __m256i flags = _mm256_and_si256(_mm256_shuffle_epi8(v.ClassHigh, high),
                                         _mm256_shuffle_epi8(v.ClassLow, low));
  __m256i begins = _mm256_and_si256(_mm256_shuffle_epi8(v.StartHigh, high),
                                    _mm256_shuffle_epi8(v.StartLow, low));
  begins = _mm256_or_si256(begins, _mm256_srli_epi16(begins, 4));
  const __m256i next = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at + 1));
  const __m256i nextHigh = _mm256_and_si256(_mm256_srli_epi16(next, 4), fours);
  const __m256i nextLow = _mm256_and_si256(next, fours);
  __m256i follows = _mm256_and_si256(_mm256_shuffle_epi8(v.FollowerHigh, nextHigh),
                                     _mm256_shuffle_epi8(v.FollowerLow, nextLow));
  follows = _mm256_or_si256(follows, _mm256_srli_epi16(follows, 4));
  const __m256i shared = _mm256_and_si256(_mm256_and_si256(begins, follows), fours);
  const auto none = static_cast<std::uint32_t>(
      _mm256_movemask_epi8(_mm256_cmpeq_epi8(shared, _mm256_setzero_si256())));
  return {~none, Without(flags, kWordish), 0, 0};
}

__attribute__((target("avx2,popcnt"))) std::uint32_t FindWordStartsAvx2ByLetter(
    const std::uint8_t* bytes, std::uint32_t count, std::uint8_t before,
    const StartLetters& letters, const GroupTables& groups, std::uint16_t* starts) {
  const NibbleTables tables = MakeNibbleTables(letters);
  const GroupVectors v{Broadcast(tables.High),          Broadcast(tables.Low),
                       Broadcast(groups.Starts.High),    Broadcast(groups.Starts.Low),
                       Broadcast(groups.Followers.High), Broadcast(groups.Followers.Low)};
  std::uint64_t carry = kSeparators[before] ? 1 : 0;
  std::uint32_t found = 0;
  std::uint32_t i = 0;
  // Each block reads the byte after it, so the last is left to the byte rule.
  for (; i + kBlock < count; i += kBlock) {
    _mm_prefetch(reinterpret_cast<const char*>(bytes + i + kPrefetchDistance), _MM_HINT_T0);
    const Masks32 first = ClassifyGroups32(bytes + i, v);
    const Masks32 second = ClassifyGroups32(bytes + i + 32, v);
    const std::uint64_t start = first.Start | static_cast<std::uint64_t>(second.Start) << 32;
    const std::uint64_t separator =
        first.Separator | static_cast<std::uint64_t>(second.Separator) << 32;
    found = EmitMostlyFew(Candidates(start, separator, carry), i, starts, found);
  }
  const std::uint8_t last = i > 0 ? bytes[i - 1] : before;
  return found + FindWordStartsByByte(bytes + i, count - i, last, letters, i, starts + found);
}

// Keeps the starts, found with the followers of all the letters, whose next byte follows
// their own letter, without a branch on the answer.
std::uint32_t KeepFollowedByLetter(const std::uint8_t* bytes, std::uint32_t count,
                                   const StartLetters& letters, std::uint16_t* starts,
                                   std::uint32_t found) {
  std::uint32_t kept = 0;
  for (std::uint32_t i = 0; i < found; ++i) {
    const std::uint32_t at = starts[i];
    starts[kept] = static_cast<std::uint16_t>(at);
    kept += at + 1 == count || FollowsItsLetter(letters, bytes[at], bytes[at + 1]) ? 1 : 0;
  }
  return kept;
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
    _mm_prefetch(reinterpret_cast<const char*>(bytes + i + kPrefetchDistance), _MM_HINT_T0);
    std::uint64_t start = 0;
    std::uint64_t separator = 0;
    for (std::uint32_t part = 0; part < 4; ++part) {
      const Masks16 masks = Classify16(bytes + i + 16 * part, lower, letters.Count);
      start |= static_cast<std::uint64_t>(masks.Start) << (16 * part);
      separator |= static_cast<std::uint64_t>(masks.Separator) << (16 * part);
    }
    std::uint64_t candidates = Candidates(start, separator, carry);
    if (letters.FollowersOnly) candidates = KeepFollowed(candidates, bytes, i, count, letters);
    if (letters.PairLengths != nullptr) candidates = KeepPaired(candidates, bytes, i, count, letters);
    found = Emit(candidates, i, starts, found);
  }
  const std::uint8_t last = i > 0 ? bytes[i - 1] : before;
  return found + FindWordStartsByByte(bytes + i, count - i, last, letters, i, starts + found);
}

// Counts the line feeds; with NoteHigh, also sets *high when a byte is from 0x80 up.
template <bool NoteHigh>
__attribute__((target("sse2"))) std::uint32_t CountLineFeedsSse2With(const std::uint8_t* bytes,
                                                                     std::uint32_t count,
                                                                     bool* high) {
  const __m128i lineFeed = _mm_set1_epi8('\n');
  __m128i any = _mm_setzero_si128();
  std::uint32_t lines = 0;
  std::uint32_t i = 0;
  while (i + 16 <= count) {
    // Each byte of `sums` counts up to 255 line feeds before it is added up.
    __m128i sums = _mm_setzero_si128();
    for (std::uint32_t round = 0; round < 255 && i + 16 <= count; ++round, i += 16) {
      const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + i));
      sums = _mm_sub_epi8(sums, _mm_cmpeq_epi8(v, lineFeed));
      if (NoteHigh) any = _mm_or_si128(any, v);
    }
    const __m128i total = _mm_sad_epu8(sums, _mm_setzero_si128());
    lines += static_cast<std::uint32_t>(_mm_cvtsi128_si32(total)) +
             static_cast<std::uint32_t>(_mm_cvtsi128_si32(_mm_srli_si128(total, 8)));
  }
  if (!NoteHigh) return lines + CountLineFeedsByWord(bytes + i, count - i);
  if (_mm_movemask_epi8(any) != 0) *high = true;
  return lines + CountLineFeedsNotingHighByByte(bytes + i, count - i, high);
}

std::uint32_t CountLineFeedsSse2(const std::uint8_t* bytes, std::uint32_t count) {
  return CountLineFeedsSse2With<false>(bytes, count, nullptr);
}

std::uint32_t CountLineFeedsNotingHighSse2(const std::uint8_t* bytes, std::uint32_t count,
                                           bool* high) {
  return CountLineFeedsSse2With<true>(bytes, count, high);
}

__attribute__((target("sse2"))) std::uint32_t LastLineFeedSse2(const std::uint8_t* bytes,
                                                                std::uint32_t count) {
  const __m128i lineFeed = _mm_set1_epi8('\n');
  std::uint32_t end = count;
  for (; end >= 16; end -= 16) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + end - 16));
    const auto found = static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, lineFeed)));
    if (found != 0) return end - 16 + 31 - static_cast<std::uint32_t>(__builtin_clz(found));
  }
  const std::uint32_t last = LastLineFeedByWord(bytes, end);
  return last < end ? last : count;
}

std::uint32_t FindWordStartsAvx2(const std::uint8_t* bytes, std::uint32_t count,
                                 std::uint8_t before, const StartLetters& letters,
                                 std::uint16_t* starts) {
  if (letters.FollowersOnly && letters.FollowersByLetter) {
    GroupTables groups;
    if (letters.PairLengths == nullptr && MakeGroupTables(letters, &groups)) {
      return FindWordStartsAvx2ByLetter(bytes, count, before, letters, groups, starts);
    }
    // Too many sets of followers: the starts before a follower of any letter, then each
    // asked about its own.
    const std::uint32_t found =
        letters.PairLengths != nullptr
            ? FindWordStartsAvx2With<true, true>(bytes, count, before, letters, starts)
            : FindWordStartsAvx2With<true, false>(bytes, count, before, letters, starts);
    return KeepFollowedByLetter(bytes, count, letters, starts, found);
  }
  if (letters.PairLengths != nullptr) {
    return letters.FollowersOnly
               ? FindWordStartsAvx2With<true, true>(bytes, count, before, letters, starts)
               : FindWordStartsAvx2With<false, true>(bytes, count, before, letters, starts);
  }
  return letters.FollowersOnly
             ? FindWordStartsAvx2With<true, false>(bytes, count, before, letters, starts)
             : FindWordStartsAvx2With<false, false>(bytes, count, before, letters, starts);
}

template <bool NoteHigh>
__attribute__((target("avx2"))) std::uint32_t CountLineFeedsAvx2With(const std::uint8_t* bytes,
                                                                     std::uint32_t count,
                                                                     bool* high) {
  const __m256i lineFeed = _mm256_set1_epi8('\n');
  __m256i any = _mm256_setzero_si256();
  std::uint32_t lines = 0;
  std::uint32_t i = 0;
  while (i + 32 <= count) {
    __m256i sums = _mm256_setzero_si256();
    for (std::uint32_t round = 0; round < 255 && i + 32 <= count; ++round, i += 32) {
      const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(bytes + i));
      sums = _mm256_sub_epi8(sums, _mm256_cmpeq_epi8(v, lineFeed));
      if (NoteHigh) any = _mm256_or_si256(any, v);
    }
    alignas(32) std::uint64_t parts[4];
    _mm256_store_si256(reinterpret_cast<__m256i*>(parts),
                       _mm256_sad_epu8(sums, _mm256_setzero_si256()));
    lines += static_cast<std::uint32_t>(parts[0] + parts[1] + parts[2] + parts[3]);
  }
  if (!NoteHigh) return lines + CountLineFeedsByWord(bytes + i, count - i);
  if (_mm256_movemask_epi8(any) != 0) *high = true;
  return lines + CountLineFeedsNotingHighByByte(bytes + i, count - i, high);
}

std::uint32_t CountLineFeedsAvx2(const std::uint8_t* bytes, std::uint32_t count) {
  return CountLineFeedsAvx2With<false>(bytes, count, nullptr);
}

__attribute__((target("avx2"))) std::uint32_t LastLineFeedAvx2(const std::uint8_t* bytes,
                                                                std::uint32_t count) {
  const __m256i lineFeed = _mm256_set1_epi8('\n');
  std::uint32_t end = count;
  for (; end >= 32; end -= 32) {
    const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(bytes + end - 32));
    const auto found =
        static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(v, lineFeed)));
    if (found != 0) return end - 32 + 31 - static_cast<std::uint32_t>(__builtin_clz(found));
  }
  const std::uint32_t last = LastLineFeedByWord(bytes, end);
  return last < end ? last : count;
}

std::uint32_t CountLineFeedsNotingHighAvx2(const std::uint8_t* bytes, std::uint32_t count,
                                           bool* high) {
  return CountLineFeedsAvx2With<true>(bytes, count, high);
}

bool ProcessorHasAvx512Vbmi() {
  __builtin_cpu_init();
  return ProcessorHasAvx2() && __builtin_cpu_supports("avx512f") &&
         __builtin_cpu_supports("avx512bw") && __builtin_cpu_supports("avx512vbmi");
}

// ---- AVX-512 with byte lookups: 64 bytes a vector ----

// Each byte below 0x80 is looked up in ByteClass, and the byte after it in ByteFollowers
// (vpermi2b takes the low seven bits of each byte as its place in the two halves of a
// table): a start counts where the two share a group's bit. A byte from 0x80 up is a
// separator, and neither a start nor a follower. Each block reads the byte after it, so the
// last is left to the byte rule.
__attribute__((target("avx512f,avx512bw,avx512vbmi,popcnt"))) std::uint32_t
FindWordStartsAvx512Vbmi(const std::uint8_t* bytes, std::uint32_t count, std::uint8_t before,
                         const StartLetters& letters, std::uint16_t* starts) {
  const __m512i classLow = _mm512_loadu_si512(letters.ByteClass);
  const __m512i classHigh = _mm512_loadu_si512(letters.ByteClass + 64);
  const __m512i followerLow = _mm512_loadu_si512(letters.ByteFollowers);
  const __m512i followerHigh = _mm512_loadu_si512(letters.ByteFollowers + 64);
  const __m512i wordish = _mm512_set1_epi8(static_cast<char>(0x80));
  std::uint64_t carry = kSeparators[before] ? 1 : 0;
  std::uint32_t found = 0;
  std::uint32_t i = 0;
  for (; i + kBlock < count; i += kBlock) {
    _mm_prefetch(reinterpret_cast<const char*>(bytes + i + kPrefetchDistance), _MM_HINT_T0);
    const __m512i here = _mm512_loadu_si512(bytes + i);
    const __m512i next = _mm512_loadu_si512(bytes + i + 1);
    const __m512i classes = _mm512_permutex2var_epi8(classLow, here, classHigh);
    const __m512i followers = _mm512_permutex2var_epi8(followerLow, next, followerHigh);
    const std::uint64_t high = _mm512_movepi8_mask(here);
    const std::uint64_t nextHigh = _mm512_movepi8_mask(next);
    const std::uint64_t separator = ~(_mm512_test_epi8_mask(classes, wordish) & ~high);
    const std::uint64_t start = _mm512_test_epi8_mask(classes, followers) & ~(high | nextHigh);
    found = EmitMostlyFew(Candidates(start, separator, carry), i, starts, found);
  }
  const std::uint8_t last = i > 0 ? bytes[i - 1] : before;
  return found + FindWordStartsByByte(bytes + i, count - i, last, letters, i, starts + found);
}

#endif
