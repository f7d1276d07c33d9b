// The word reading of today's encodings, with each instruction set, over any bytes cut into
// reads of random sizes, against a plain reading of the whole file at once
// (tests/support/reference_letters.h): the same matches at the same places, lines, keys and
// shown letters, and a first-match scan that answers whether there is one. Runs of zero bytes
// may be given as holes instead of being read.
//
// Input: fourteen bytes of settings, then the file.
//   0      bit 0: zero runs are holes; bit 1: the Daitch-Mokotoff method; bit 2: keys made of
//          bytes 6-13 instead of a name (the program's own method)
//   1-4    seed of the read sizes
//   5      which name is searched for
//   6-13   two keys: a first character (a-z or 0) and three digits each
#include <cstddef>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "engine/letter_scanner.h"
#include "engine/sound_method.h"
#include "engine/soundex_method.h"
#include "engine/word_starts.h"
#include "phonetic/phonetic_key.h"
#include "support/reference_letters.h"
#include "support/scan_in_reads.h"

namespace {

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

constexpr std::size_t kSettings = 14;

const char* const kNames[] = {"Muller", "Ivanov",    "Ioannis", "Moses",  "Peterson",
                              "Kohn",   "Aaron",     "Ellen",   "Psalm",  "Schwarz",
                              "Evanov", "Jorgensen", "Ha",      "Yelena", "Ahmed"};

Collected listed;

LetterScan scan;  // too large for the stack, as in the search

int Scan(const HeardTerm& term, bool listAll, const std::string& text, std::uint32_t seed,
         bool holes) {
  std::minstd_rand random(seed);
  scan.Start(term, listAll, 1, CollectFind, &listed);
  return FeedInReads(
      scan, text,
      [&random] {
        return std::size_t{random() % 3 == 0 ? 1 + random() % 65536 : 1 + random() % 80};
      },
      holes);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static bool ready = false;
  if (!ready) {
    InitialisePhonetics();
    ready = true;
  }
  if (size < kSettings) return 0;
  const std::string text(reinterpret_cast<const char*>(data) + kSettings, size - kSettings);
  const bool holes = (data[0] & 1) != 0;
  const std::uint32_t seed =
      data[1] | data[2] << 8 | data[3] << 16 | static_cast<std::uint32_t>(data[4]) << 24;

  static std::unique_ptr<HeardTerm> term;
  std::vector<ReferenceFind> expected;
  if ((data[0] & 4) != 0) {
    PhoneticKey keys[2];
    for (int k = 0; k < 2; ++k) {
      const std::uint8_t* raw = data + 6 + 4 * k;
      keys[k].Bytes[0] = raw[0] % 27 == 26 ? '0' : static_cast<char>('a' + raw[0] % 27);
      for (int d = 1; d < 4; ++d) keys[k].Bytes[d] = static_cast<char>('0' + raw[d] % 7);
    }
    const std::uint32_t count = keys[0] == keys[1] ? 1 : 2;
    term = HearSoundexKeys(keys, count);
    expected = ReferenceLetterFinds(text, keys, count);
  } else {
    // Bit 1: the name's Daitch-Mokotoff codes instead of its keys.
    const bool codes = (data[0] & 2) != 0;
    const char* name = kNames[data[5] % std::size(kNames)];
    term = (codes ? DaitchMokotoffMethod() : SoundexMethod()).Hear(name);
    expected = ReferenceLetterFinds(text, MakeReferenceTerm(name, codes));
  }

  const ScanInstructions best = CurrentScanInstructions();
  for (ScanInstructions set : {ScanInstructions::Portable, ScanInstructions::Avx2}) {
    if (!UseScanInstructions(set)) continue;
    listed.Finds.clear();
    Check(Scan(*term, true, text, seed, holes) == kScanGoOn);
    Check(listed.Finds == expected);
    listed.Finds.clear();
    Check(Scan(*term, false, text, seed, holes) ==
          (expected.empty() ? kScanGoOn : kScanMatchFound));
    Check(listed.Finds.empty());
  }
  UseScanInstructions(best);
  return 0;
}
