// The decoding of a file's bytes, cut into reads of random sizes (some all-ASCII reads
// passed by without decoding), against a plain decoding of the whole file at once written
// here: the same code points at the same positions, and never more written than the header
// allows. Then every word of the text, as the letter table cuts words, is folded into
// buffers of random sizes: nothing past the buffer, only a-z, and always the first letters
// of the word's whole folding.
//
// Input: four bytes, the seed of the read sizes and buffer sizes, then the file.
#include <cstddef>
#include <cstdint>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "engine/text_decoding.h"
#include "phonetic/letter_fold.h"

namespace {

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

using Decoded = std::vector<std::pair<char32_t, std::int64_t>>;

constexpr char32_t kCp1252[32] = {0x20AC, 0x81,   0x201A, 0x192,  0x201E, 0x2026, 0x2020, 0x2021,
                                  0x2C6,  0x2030, 0x160,  0x2039, 0x152,  0x8D,   0x17D,  0x8F,
                                  0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                  0x2DC,  0x2122, 0x161,  0x203A, 0x153,  0x9D,   0x17E,  0x178};

char32_t Cp1252(std::uint8_t byte) {
  return byte >= 0x80 && byte < 0xA0 ? kCp1252[byte - 0x80] : byte;
}

void ReferenceUtf16(const std::uint8_t* b, std::size_t n, bool little, Decoded& out) {
  std::vector<std::pair<char32_t, std::int64_t>> units;
  for (std::size_t i = 2; i + 1 < n; i += 2) {
    units.emplace_back(little ? b[i] | b[i + 1] << 8 : b[i] << 8 | b[i + 1], i);
  }
  for (std::size_t k = 0; k < units.size(); ++k) {
    const char32_t unit = units[k].first;
    if (unit >= 0xD800 && unit < 0xDC00 && k + 1 < units.size() && units[k + 1].first >= 0xDC00 &&
        units[k + 1].first < 0xE000) {
      out.emplace_back(0x10000 + (unit - 0xD800) * 0x400 + (units[k + 1].first - 0xDC00),
                       units[k].second);
      ++k;
    } else {
      out.emplace_back(unit >= 0xD800 && unit < 0xE000 ? 0xFFFD : unit, units[k].second);
    }
  }
  if (n % 2 == 1) out.emplace_back(0xFFFD, n - 1);
}

// The whole file at once: a mark, then each character whole or its first byte in 1252.
Decoded Reference(const std::uint8_t* b, std::size_t n) {
  Decoded out;
  if (n >= 2 && ((b[0] == 0xFF && b[1] == 0xFE) || (b[0] == 0xFE && b[1] == 0xFF))) {
    ReferenceUtf16(b, n, b[0] == 0xFF, out);
    return out;
  }
  std::size_t i = n >= 3 && b[0] == 0xEF && b[1] == 0xBB && b[2] == 0xBF ? 3 : 0;
  static const char32_t kLeast[5] = {0, 0, 0x80, 0x800, 0x10000};
  while (i < n) {
    const std::uint8_t lead = b[i];
    const std::size_t length = lead < 0x80   ? 1
                               : lead < 0xC0 ? 0
                               : lead < 0xE0 ? 2
                               : lead < 0xF0 ? 3
                               : lead < 0xF8 ? 4
                                             : 0;
    bool whole = length != 0 && i + length <= n;
    char32_t value = length == 1 ? lead : lead & (0x7F >> length);
    for (std::size_t k = 1; whole && k < length; ++k) {
      whole = (b[i + k] & 0xC0) == 0x80;
      value = value << 6 | (b[i + k] & 0x3F);
    }
    if (whole && length > 1) {
      whole = value >= kLeast[length] && value <= 0x10FFFF && (value < 0xD800 || value > 0xDFFF);
    }
    out.emplace_back(whole ? value : Cp1252(lead), i);
    i += whole ? length : 1;
  }
  return out;
}

Decoded Streamed(const std::uint8_t* b, std::size_t n, std::minstd_rand& random) {
  TextDecoder decoder;
  StartTextDecoding(&decoder);
  Decoded out;
  std::vector<char32_t> codePoints;
  std::vector<std::int64_t> positions;
  auto take = [&](std::uint32_t room, std::uint32_t written) {
    Check(written <= room);
    for (std::uint32_t i = room; i < codePoints.size(); ++i) {
      Check(codePoints[i] == 0xDEAD && positions[i] == -1);
    }
    for (std::uint32_t i = 0; i < written; ++i) out.emplace_back(codePoints[i], positions[i]);
  };
  std::size_t at = 0;
  while (at < n) {
    const std::uint32_t pick = random() % 8;
    std::size_t size = pick == 0 ? 1 + random() % 5000 : 1 + random() % (pick == 1 ? 64 : 6);
    if (size > n - at) size = n - at;
    const std::uint8_t* read = b + at;
    const auto count = static_cast<std::uint32_t>(size);
    std::uint32_t ascii = 0;
    while (ascii < count && read[ascii] < 0x80) ++ascii;
    Check(FindNonAscii(read, count) == ascii);
    if (ascii == count && random() % 2 == 0 && SkipAsciiRead(&decoder, count)) {
      for (std::uint32_t i = 0; i < count; ++i) out.emplace_back(read[i], at + i);
    } else {
      codePoints.assign(count + kDecodeSlack + 4, 0xDEAD);
      positions.assign(count + kDecodeSlack + 4, -1);
      take(count + kDecodeSlack,
           DecodeText(&decoder, read, count, codePoints.data(), positions.data()));
    }
    at += size;
  }
  codePoints.assign(kDecodeSlack + 4, 0xDEAD);
  positions.assign(kDecodeSlack + 4, -1);
  take(kDecodeSlack, FinishTextDecoding(&decoder, codePoints.data(), positions.data()));
  return out;
}

void CheckFolding(const std::u32string& word, std::minstd_rand& random) {
  const auto count = static_cast<std::uint32_t>(word.size());
  const std::uint32_t most = 4 * count;  // a code point gives at most four letters
  std::string whole(most, '\0');
  const std::uint32_t length = FoldWord(word.data(), count, whole.data(), most);
  Check(length <= most);
  whole.resize(length);
  for (char c : whole) Check(c >= 'a' && c <= 'z');
  const std::uint32_t room = random() % 3 == 0 ? length : random() % 40;
  std::string cut(room + 8, '#');
  const std::uint32_t written = FoldWord(word.data(), count, cut.data(), room);
  Check(written == (room < length ? room : length));
  Check(cut.compare(0, written, whole, 0, written) == 0);
  for (std::uint32_t i = room; i < room + 8; ++i) Check(cut[i] == '#');
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 4) return 0;
  std::minstd_rand random(data[0] | data[1] << 8 | data[2] << 16 |
                          static_cast<std::uint32_t>(data[3]) << 24);
  const std::uint8_t* file = data + 4;
  const std::size_t length = size - 4;

  const Decoded expected = Reference(file, length);
  const Decoded decoded = Streamed(file, length, random);
  Check(decoded == expected);

  // Words: a letter begins one, letters and marks continue it.
  std::u32string word;
  for (const auto& [codePoint, position] : decoded) {
    const LetterClass c = ClassifyCodePoint(codePoint);
    if (!word.empty() && c != LetterClass::kSeparator) {
      word += codePoint;
    } else if (c == LetterClass::kAsciiLetter || c == LetterClass::kFoldedLetter) {
      word.assign(1, codePoint);
    } else if (!word.empty()) {
      CheckFolding(word, random);
      word.clear();
    }
  }
  if (!word.empty()) CheckFolding(word, random);
  return 0;
}
