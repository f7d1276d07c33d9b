// The word reading of the file scanner, with every instruction set the processor has, over
// random bytes cut into reads of random sizes, against a plain reading one byte at a time
// (tests/support/reference_words.h): the same matches at the same places, lines and keys,
// and a first-match scan that answers whether there is one. Runs of zero bytes may be
// given as holes instead of being read.
//
// Input: thirteen bytes of settings, then the text.
//   0      bit 0: keys made of bytes 5-12 instead of a word of the text; bit 1: zero runs
//          are holes; bit 2: the word's Daitch-Mokotoff codes instead of its keys
//   1-4    seed of the read sizes
//   5-12   two keys: a first character (a-z or 0) and three digits each
//   the word searched for is the first run of letters of the text, when bit 0 is clear
#include <cstddef>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "engine/chunk_scanner.h"
#include "engine/sound_method.h"
#include "engine/soundex_method.h"
#include "engine/word_starts.h"
#include "phonetic/phonetic_key.h"
#include "support/reference_words.h"
#include "support/scan_in_reads.h"

namespace {

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

constexpr std::size_t kSettings = 13;

Collected listed;

int Scan(const HeardTerm& term, bool listAll, const std::string& text, std::uint32_t seed,
         bool holes) {
  std::minstd_rand random(seed);
  ChunkScan scan;
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
  const bool holes = (data[0] & 2) != 0;
  const std::uint32_t seed =
      data[1] | data[2] << 8 | data[3] << 16 | static_cast<std::uint32_t>(data[4]) << 24;

  static std::unique_ptr<HeardTerm> term;
  ReferenceTerm reference;
  if ((data[0] & 1) != 0) {
    PhoneticKey keys[2];
    for (int k = 0; k < 2; ++k) {
      const std::uint8_t* raw = data + 5 + 4 * k;
      keys[k].Bytes[0] = raw[0] % 27 == 26 ? '0' : static_cast<char>('a' + raw[0] % 27);
      for (int d = 1; d < 4; ++d) keys[k].Bytes[d] = static_cast<char>('0' + raw[d] % 7);
    }
    const std::uint32_t count = keys[0] == keys[1] ? 1 : 2;
    term = HearSoundexKeys(keys, count);
    reference.Keys.assign(keys, keys + count);
  } else {
    std::string word;
    for (char c : text) {
      const bool letter = (c | 0x20) >= 'a' && (c | 0x20) <= 'z';
      if (letter && word.size() < 40) word += c;
      if (!letter && !word.empty()) break;
    }
    if (word.empty()) word = "moses";
    // Bit 2: the word's Daitch-Mokotoff codes instead of its keys.
    const bool codes = (data[0] & 4) != 0;
    term = (codes ? DaitchMokotoffMethod() : SoundexMethod()).Hear(word.c_str());
    reference = MakeReferenceTerm(word.c_str(), codes);
  }
  const std::vector<ReferenceFind> expected = ReferenceFinds(text, reference);

  const ScanInstructions best = CurrentScanInstructions();
  for (ScanInstructions set :
       {ScanInstructions::Portable, ScanInstructions::Sse2, ScanInstructions::Avx2}) {
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
