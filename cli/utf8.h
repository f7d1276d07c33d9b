// UTF-8 as tessik-cli reads the bytes of a file name: which sequences are valid (the
// --json text beside its base64 bytes) and how wide a name stands on a terminal (the
// progress line), through the program's one UTF-8 reading (engine/text_decoding.h). Any
// thread.
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/text_decoding.h"

// The length of the valid UTF-8 sequence at `at` (1 to 4), with its code point in
// `*codePoint`; 0 when the bytes there are not one (an overlong form, a surrogate, a
// code point past U+10FFFF, a sequence cut short by `end`). `at` is before `end`.
inline std::size_t DecodeUtf8(const unsigned char* at, const unsigned char* end,
                              char32_t* codePoint) {
  const std::size_t available = static_cast<std::size_t>(end - at);
  const int length =
      Utf8Sequence(at, static_cast<std::uint32_t>(available < 4 ? available : 4), codePoint);
  return length > 0 ? static_cast<std::size_t>(length) : 0;
}

// Columns a terminal may give the character: 2 from U+1100 on (where wide characters
// begin; counting some narrow ones as wide only shortens the line), else 1.
inline int TerminalWidth(char32_t codePoint) { return codePoint >= 0x1100 ? 2 : 1; }
