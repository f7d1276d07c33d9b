#include "engine/legacy_charsets.h"

namespace {
#include "engine/legacy_charsets_table.inc"
}  // namespace

char32_t Cp437ToUnicode(std::uint8_t byte) { return byte < 0x80 ? byte : kCp437Upper[byte - 0x80]; }

char32_t MacRomanToUnicode(std::uint8_t byte) {
  return byte < 0x80 ? byte : kMacRomanUpper[byte - 0x80];
}

char32_t AnselToUnicode(std::uint8_t byte) { return byte < 0x80 ? byte : kAnselUpper[byte - 0x80]; }
