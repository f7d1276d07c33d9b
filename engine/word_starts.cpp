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

}  // namespace

StartLetters MakeStartLetters(const char* list) {
  StartLetters letters{};
  for (const char* at = list; at != nullptr && *at != 0; ++at) {
    const char c = *at;
    if (c < 'a' || c > 'z' || letters.IsStart[static_cast<unsigned char>(c)]) continue;
    letters.IsStart[static_cast<unsigned char>(c)] = true;
    letters.IsStart[static_cast<unsigned char>(c - 'a' + 'A')] = true;
    letters.Lower[letters.Count++] = c;
  }
  return letters;
}

std::uint32_t FindWordStarts(const std::uint8_t* bytes, std::uint32_t count,
                             std::uint8_t before, const StartLetters& letters,
                             std::uint16_t* starts) {
  if (letters.Count == 0) return 0;
  switch (Chosen()) {
#ifdef TESSIK_X86_KERNELS
    case ScanInstructions::Avx2:
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
      return CountLineFeedsByByte(bytes, count);
  }
}

ScanInstructions CurrentScanInstructions() { return Chosen(); }

bool UseScanInstructions(ScanInstructions set) {
  if (!Available(set)) return false;
  Chosen() = set;
  return true;
}
