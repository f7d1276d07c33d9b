// The checks the fuzzers of read texts share: a failed check stops the fuzzer where it
// failed. The fuzzer's thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/text_decoding.h"

inline void Check(bool condition) {
  if (!condition) __builtin_trap();
}

// `text` is valid UTF-8 in whole lines: empty, or ended by a line feed.
inline void CheckUtf8Lines(const std::string& text) {
  Check(text.empty() || text.back() == '\n');
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
  std::size_t i = 0;
  while (i < text.size()) {
    char32_t codePoint;
    const std::size_t left = text.size() - i;
    const int length =
        Utf8Sequence(bytes + i, left > 4 ? 4 : static_cast<std::uint32_t>(left), &codePoint);
    Check(length > 0);
    i += static_cast<std::size_t>(length);
  }
}
