#include "engine/query_letters.h"

#include <cstdint>
#include <cstring>

#include "engine/text_decoding.h"
#include "phonetic/letter_fold.h"

namespace {

constexpr std::uint32_t kMaxQueryBytes = kFoldedQuerySize - 1;

bool IsWordPart(LetterClass kind) { return kind != LetterClass::kSeparator; }
bool IsLetter(LetterClass kind) {
  return kind == LetterClass::kAsciiLetter || kind == LetterClass::kFoldedLetter;
}

}  // namespace

int FoldQueryLetters(const char* searchFor, char* folded) {
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(searchFor);
  const std::uint32_t count = static_cast<std::uint32_t>(strnlen(searchFor, kMaxQueryBytes));
  char32_t codePoints[kMaxQueryBytes + 2 * kDecodeSlack];
  std::int64_t positions[kMaxQueryBytes + 2 * kDecodeSlack];
  TextDecoder decoder;
  StartTextDecoding(&decoder);
  // The text is a whole file of its own: a byte-order mark at its start would be read as
  // one, and a text cannot have one typed, so none is looked for.
  std::uint32_t decoded = DecodeText(&decoder, bytes, count, codePoints, positions);
  decoded += FinishTextDecoding(&decoder, codePoints + decoded, positions + decoded);

  std::uint32_t written = 0;
  auto put = [&](const char* text, std::uint32_t length) {
    if (written + length > kMaxQueryBytes) return false;
    std::memcpy(folded + written, text, length);
    written += length;
    return true;
  };
  std::uint32_t i = 0;
  while (i < decoded) {
    const LetterClass kind = ClassifyCodePoint(codePoints[i]);
    if (!IsLetter(kind)) {
      // Not a word: its bytes as they stand.
      const std::int64_t from = positions[i];
      const std::int64_t to = i + 1 < decoded ? positions[i + 1] : count;
      if (!put(searchFor + from, static_cast<std::uint32_t>(to - from))) break;
      ++i;
      continue;
    }
    std::uint32_t end = i + 1;
    bool beyondAscii = kind != LetterClass::kAsciiLetter;
    while (end < decoded && IsWordPart(ClassifyCodePoint(codePoints[end]))) {
      beyondAscii = beyondAscii || codePoints[end] >= 0x80;
      ++end;
    }
    const std::int64_t from = positions[i];
    const std::int64_t to = end < decoded ? positions[end] : count;
    if (!beyondAscii) {
      if (!put(searchFor + from, static_cast<std::uint32_t>(to - from))) break;
    } else {
      char letters[kMaxQueryBytes + 1];
      const std::uint32_t length = FoldWord(codePoints + i, end - i, letters, sizeof letters);
      if (!put(letters, length)) break;
    }
    i = end;
  }
  folded[written] = '\0';
  return i < decoded ? kQueryLettersTooLong : kQueryLettersFolded;
}
