#include "platform/character_cut.h"

namespace {

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

}  // namespace

std::size_t CharacterLength(const char* text, std::size_t length) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(text);
  const unsigned char lead = bytes[0];
  std::size_t needed;
  if (lead >= 0xC2 && lead <= 0xDF) {
    needed = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    needed = 3;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    needed = 4;
  } else {
    return 1;  // ASCII, a continuation byte, C0, C1 or F5 to FF
  }
  if (length < needed) return 1;
  for (std::size_t i = 1; i < needed; ++i) {
    if (!IsContinuation(bytes[i])) return 1;
  }
  // The second byte's range rules out the overlong forms, the surrogates and the code
  // points past U+10FFFF.
  const unsigned char second = bytes[1];
  if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second > 0x9F) ||
      (lead == 0xF0 && second < 0x90) || (lead == 0xF4 && second > 0x8F)) {
    return 1;
  }
  return needed;
}

std::size_t CharactersPrefix(const char* text, std::size_t length, std::size_t characters) {
  std::size_t at = 0;
  for (std::size_t counted = 0; counted < characters && at < length; ++counted) {
    at += CharacterLength(text + at, length - at);
  }
  return at;
}

std::size_t WholeCharactersWithin(const char* text, std::size_t length, std::size_t bytes) {
  if (length <= bytes) return length;
  std::size_t at = 0;
  for (;;) {
    const std::size_t next = at + CharacterLength(text + at, length - at);
    if (next > bytes) return at;
    at = next;
  }
}

std::size_t CountCharacters(const char* text, std::size_t length) {
  std::size_t counted = 0;
  for (std::size_t at = 0; at < length; ++counted) at += CharacterLength(text + at, length - at);
  return counted;
}
