// Chooses the instruction set once and passes each call to its version.
#include "engine/word_starts.h"

#include <cstring>

#include "engine/word_starts_kernels.h"

namespace {

ScanInstructions Best() {
#ifdef TESSIK_X86_KERNELS
  if (ProcessorHasAvx2()) return ScanInstructions::Avx2;
  if (ProcessorHasSse2()) return ScanInstructions::Sse2;
#endif
  return ScanInstructions::Portable;
}

bool Available(ScanInstructions set) {
  switch (set) {
    case ScanInstructions::Portable:
      return true;
#ifdef TESSIK_X86_KERNELS
    case ScanInstructions::Sse2:
      return ProcessorHasSse2();
    case ScanInstructions::Avx2:
      return ProcessorHasAvx2();
#endif
    default:
      return false;
  }
}

// Set before the first search (or by a test while none runs) and only read by the worker.
ScanInstructions& Chosen() {
  static ScanInstructions chosen = Best();
  return chosen;
}

bool HasByteLookups() {
#ifdef TESSIK_X86_KERNELS
  return ProcessorHasAvx512Vbmi();
#else
  return false;
#endif
}

// The same for the AVX2 set's byte lookups.
bool& ByteLookups() {
  static bool chosen = HasByteLookups();
  return chosen;
}

}  // namespace

namespace {

// Adds the lower-case letters of `list`, in both cases, to a table and a list.
void AddLetters(const char* list, bool* table, char* lower, std::uint32_t& count) {
  for (const char* at = list; at != nullptr && *at != 0; ++at) {
    const char c = *at;
    if (c < 'a' || c > 'z' || table[static_cast<unsigned char>(c)]) continue;
    table[static_cast<unsigned char>(c)] = true;
    table[static_cast<unsigned char>(c - 'a' + 'A')] = true;
    lower[count++] = c;
  }
}

// Groups the start letters by their followers and classes the bytes below 0x80 for them
// (StartLetters::ByteTables); leaves ByteTables false for more than kMostByteGroups groups.
void MakeByteTables(StartLetters& letters) {
  std::uint32_t sets[kMostByteGroups];
  std::uint32_t groups = 0;
  for (int b = 0; b < 128; ++b) {
    letters.ByteClass[b] = kSeparators[b] ? 0 : 0x80;
    letters.ByteFollowers[b] = 0;
  }
  for (std::uint32_t i = 0; i < letters.Count; ++i) {
    const char lower = letters.Lower[i];
    const std::uint32_t followers = letters.FollowersOf[lower & 31];
    std::uint32_t g = 0;
    while (g < groups && sets[g] != followers) ++g;
    if (g == groups) {
      if (groups == kMostByteGroups) return;
      sets[groups++] = followers;
    }
    letters.ByteClass[static_cast<unsigned char>(lower)] |= static_cast<std::uint8_t>(1u << g);
    letters.ByteClass[static_cast<unsigned char>(lower - 'a' + 'A')] |=
        static_cast<std::uint8_t>(1u << g);
  }
  for (int b = 0; b < 128; ++b) {
    if (!IsWordLetter(static_cast<std::uint8_t>(b))) continue;
    for (std::uint32_t g = 0; g < groups; ++g) {
      if (((sets[g] >> (b & 31)) & 1u) != 0)
        letters.ByteFollowers[b] |= static_cast<std::uint8_t>(1u << g);
    }
  }
  letters.ByteTables = true;
}

}  // namespace

StartLetters MakeStartLetters(const char* list, const char* followers) {
  StartLetters letters{};
  AddLetters(list, letters.IsStart, letters.Lower, letters.Count);
  letters.FollowersOnly = followers != nullptr;
  AddLetters(followers, letters.MayFollow, letters.FollowerLower, letters.FollowerCount);
  std::uint32_t all = 0;
  for (std::uint32_t i = 0; i < letters.FollowerCount; ++i)
    all |= 1u << (letters.FollowerLower[i] & 31);
  for (std::uint32_t i = 0; i < letters.Count; ++i)
    letters.FollowersOf[letters.Lower[i] & 31] = all;
  if (letters.FollowersOnly) MakeByteTables(letters);
  return letters;
}

StartLetters MakeStartLettersByLetter(const char* list, const std::uint32_t* followersOf) {
  StartLetters letters{};
  AddLetters(list, letters.IsStart, letters.Lower, letters.Count);
  letters.FollowersOnly = true;
  std::uint32_t all = 0;
  for (std::uint32_t i = 0; i < letters.Count; ++i) {
    const int first = letters.Lower[i] - 'a';
    const std::uint32_t own = followersOf[first] & 0x3FFFFFFu;
    letters.FollowersOf[first + 1] = own << 1;
    letters.FollowersByLetter = letters.FollowersByLetter || (i > 0 && own != all);
    all |= own;
  }
  char followers[27];
  int count = 0;
  for (int next = 0; next < 26; ++next) {
    if (((all >> next) & 1u) != 0) followers[count++] = static_cast<char>('a' + next);
  }
  followers[count] = 0;
  AddLetters(followers, letters.MayFollow, letters.FollowerLower, letters.FollowerCount);
  MakeByteTables(letters);
  return letters;
}

std::uint32_t FindWordStarts(const std::uint8_t* bytes, std::uint32_t count,
                             std::uint8_t before, const StartLetters& letters,
                             std::uint16_t* starts) {
  if (letters.Count == 0) return 0;
  switch (Chosen()) {
#ifdef TESSIK_X86_KERNELS
    case ScanInstructions::Avx2:
      if (letters.ByteTables && letters.PairLengths == nullptr && ByteLookups())
        return FindWordStartsAvx512Vbmi(bytes, count, before, letters, starts);
      return FindWordStartsAvx2(bytes, count, before, letters, starts);
    case ScanInstructions::Sse2:
      return FindWordStartsSse2(bytes, count, before, letters, starts);
#endif
    default:
      return FindWordStartsByByte(bytes, count, before, letters, 0, starts);
  }
}

std::uint32_t CountLineFeeds(const std::uint8_t* bytes, std::uint32_t count) {
  switch (Chosen()) {
#ifdef TESSIK_X86_KERNELS
    case ScanInstructions::Avx2:
      return CountLineFeedsAvx2(bytes, count);
    case ScanInstructions::Sse2:
      return CountLineFeedsSse2(bytes, count);
#endif
    default:
      return CountLineFeedsByWord(bytes, count);
  }
}

std::uint32_t LastLineFeed(const std::uint8_t* bytes, std::uint32_t count) {
  switch (Chosen()) {
#ifdef TESSIK_X86_KERNELS
    case ScanInstructions::Avx2:
      return LastLineFeedAvx2(bytes, count);
    case ScanInstructions::Sse2:
      return LastLineFeedSse2(bytes, count);
#endif
    default:
      return LastLineFeedByWord(bytes, count);
  }
}

std::uint32_t CountLineFeedsNotingHigh(const std::uint8_t* bytes, std::uint32_t count,
                                       bool* high) {
  switch (Chosen()) {
#ifdef TESSIK_X86_KERNELS
    case ScanInstructions::Avx2:
      return CountLineFeedsNotingHighAvx2(bytes, count, high);
    case ScanInstructions::Sse2:
      return CountLineFeedsNotingHighSse2(bytes, count, high);
#endif
    default:
      return CountLineFeedsNotingHighByByte(bytes, count, high);
  }
}

ScanInstructions CurrentScanInstructions() { return Chosen(); }

bool UseByteLookups(bool use) {
  if (use && !HasByteLookups()) return false;
  ByteLookups() = use;
  return true;
}

bool UseScanInstructions(ScanInstructions set) {
  if (!Available(set)) return false;
  Chosen() = set;
  return true;
}
