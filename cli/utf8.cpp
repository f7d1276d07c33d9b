#include "cli/utf8.h"

namespace {

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

}  // namespace

std::size_t DecodeUtf8(const unsigned char* at, const unsigned char* end, char32_t* codePoint) {
  const unsigned char lead = at[0];
  if (lead < 0x80) {
    *codePoint = lead;
    return 1;
  }
  std::size_t length;
  char32_t value;
  char32_t least;  // the smallest code point of this length: below it the form is overlong
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, value = lead & 0x1F, least = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, value = lead & 0x0F, least = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, value = lead & 0x07, least = 0x10000;
  } else {
    return 0;  // a continuation byte, C0, C1 or F5 to FF
  }
  if (static_cast<std::size_t>(end - at) < length) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    if (!IsContinuation(at[i])) return 0;
    value = (value << 6) | (at[i] & 0x3F);
  }
  if (value < least || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return 0;
  *codePoint = value;
  return length;
}
