#include "engine/text_decoding.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

int Utf8Sequence(const std::uint8_t* bytes, std::uint32_t available, char32_t* codePoint) {
  const std::uint8_t lead = bytes[0];
  if (lead < 0x80) {
    *codePoint = lead;
    return 1;
  }
  std::uint32_t length;
  char32_t value;
  std::uint8_t low = 0x80;  // the range of the second byte; the later ones are 80-BF
  std::uint8_t high = 0xBF;
  if (lead < 0xC2) {
    return -1;
  } else if (lead < 0xE0) {
    length = 2;
    value = lead & 0x1Fu;
  } else if (lead < 0xF0) {
    length = 3;
    value = lead & 0x0Fu;
    if (lead == 0xE0) low = 0xA0;   // overlong below
    if (lead == 0xED) high = 0x9F;  // surrogates above
  } else if (lead < 0xF5) {
    length = 4;
    value = lead & 0x07u;
    if (lead == 0xF0) low = 0x90;   // overlong below
    if (lead == 0xF4) high = 0x8F;  // beyond U+10FFFF above
  } else {
    return -1;
  }
  for (std::uint32_t i = 1; i < length; ++i) {
    if (i >= available) return 0;
    if (bytes[i] < low || bytes[i] > high) return -1;
    low = 0x80;
    high = 0xBF;
    value = value << 6 | (bytes[i] & 0x3Fu);
  }
  *codePoint = value;
  return static_cast<int>(length);
}

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Windows-1252 from 0x80 to 0x9F; the bytes it leaves undefined keep their own value.
constexpr char32_t kWindows1252From80[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88-8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98-9F
};

struct Output {
  char32_t* CodePoints;
  std::int64_t* Positions;
  std::uint32_t Count;

  void Put(char32_t codePoint, std::int64_t position) {
    CodePoints[Count] = codePoint;
    Positions[Count] = position;
    ++Count;
  }
};

void DropHeld(TextDecoder* decoder, std::uint32_t count) {
  decoder->HeldCount = static_cast<std::uint8_t>(decoder->HeldCount - count);
  std::memmove(decoder->Held, decoder->Held + count, decoder->HeldCount);
}

// Gathers the first bytes of the file until they tell whether it begins with a mark;
// returns how many of `bytes` it took. The bytes that are not a mark stay held, to be read
// as UTF-8.
std::uint32_t ReadMark(TextDecoder* decoder, const std::uint8_t* bytes, std::uint32_t count) {
  std::uint32_t used = 0;
  while (decoder->Encoding == TextEncoding::kUndecided && used < count) {
    decoder->Held[decoder->HeldCount++] = bytes[used++];
    const std::uint8_t* held = decoder->Held;
    if (held[0] != 0xEF && held[0] != 0xFF && held[0] != 0xFE) {
      decoder->Encoding = TextEncoding::kUtf8;
    } else if (decoder->HeldCount == 2 && held[0] == 0xFF && held[1] == 0xFE) {
      decoder->Encoding = TextEncoding::kUtf16Le;
      decoder->HeldCount = 0;
    } else if (decoder->HeldCount == 2 && held[0] == 0xFE && held[1] == 0xFF) {
      decoder->Encoding = TextEncoding::kUtf16Be;
      decoder->HeldCount = 0;
    } else if (decoder->HeldCount == 2 && (held[0] != 0xEF || held[1] != 0xBB)) {
      decoder->Encoding = TextEncoding::kUtf8;
    } else if (decoder->HeldCount == 3) {
      decoder->Encoding = TextEncoding::kUtf8;
      if (held[2] == 0xBF) decoder->HeldCount = 0;
    }
  }
  return used;
}

// Reads the held bytes as UTF-8, taking what they need of bytes[used..count); returns the
// new `used`. When the held bytes and all the rest still begin a valid sequence, the rest
// joins them. `final`: no byte follows, so a sequence cut short is read byte by byte.
std::uint32_t ReadHeldUtf8(TextDecoder* decoder, const std::uint8_t* bytes, std::uint32_t count,
                           std::uint32_t used, std::int64_t base, bool final, Output* out) {
  while (decoder->HeldCount > 0) {
    std::uint8_t window[4];
    const std::uint32_t held = decoder->HeldCount;
    std::uint32_t taken = count - used;
    if (taken > 4 - held) taken = 4 - held;
    std::memcpy(window, decoder->Held, held);
    if (taken != 0) std::memcpy(window + held, bytes + used, taken);
    const std::int64_t start = base + used - held;
    char32_t codePoint;
    const int length = Utf8Sequence(window, held + taken, &codePoint);
    if (length > 0) {
      out->Put(codePoint, start);
      const std::uint32_t fromHeld =
          static_cast<std::uint32_t>(length) < held ? static_cast<std::uint32_t>(length) : held;
      used += static_cast<std::uint32_t>(length) - fromHeld;
      DropHeld(decoder, fromHeld);
    } else if (length == 0 && !final) {
      // Fewer than four bytes in all, so everything left of the read fits beside them.
      std::memcpy(decoder->Held + held, bytes + used, taken);
      decoder->HeldCount = static_cast<std::uint8_t>(held + taken);
      return count;
    } else {
      out->Put(Windows1252ToUnicode(window[0]), start);
      DropHeld(decoder, 1);
    }
  }
  return used;
}

void DecodeUtf8(TextDecoder* decoder, const std::uint8_t* bytes, std::uint32_t count,
                std::uint32_t used, std::int64_t base, Output* out) {
  used = ReadHeldUtf8(decoder, bytes, count, used, base, false, out);
  while (used < count) {
    if (bytes[used] < 0x80) {
      // A run of ASCII: each byte its own code point, in a loop the compiler can widen.
      const std::uint32_t run = FindNonAscii(bytes + used, count - used);
      char32_t* codePoints = out->CodePoints + out->Count;
      std::int64_t* positions = out->Positions + out->Count;
      for (std::uint32_t k = 0; k < run; ++k) {
        codePoints[k] = bytes[used + k];
        positions[k] = base + used + k;
      }
      out->Count += run;
      used += run;
      continue;
    }
    char32_t codePoint;
    const int length = Utf8Sequence(bytes + used, count - used, &codePoint);
    if (length > 0) {
      out->Put(codePoint, base + used);
      used += static_cast<std::uint32_t>(length);
    } else if (length < 0) {
      out->Put(Windows1252ToUnicode(bytes[used]), base + used);
      ++used;
    } else {
      decoder->HeldCount = static_cast<std::uint8_t>(count - used);  // at most three
      std::memcpy(decoder->Held, bytes + used, count - used);
      used = count;
    }
  }
}

void PutUtf16Unit(TextDecoder* decoder, std::uint16_t unit, std::int64_t position, Output* out) {
  const bool high = unit >= 0xD800 && unit <= 0xDBFF;
  const bool low = unit >= 0xDC00 && unit <= 0xDFFF;
  if (decoder->HasHighSurrogate) {
    decoder->HasHighSurrogate = false;
    if (low) {
      const char32_t codePoint = 0x10000 +
                                 ((static_cast<char32_t>(decoder->HighSurrogate) - 0xD800) << 10) +
                                 (unit - 0xDC00u);
      out->Put(codePoint, decoder->HighSurrogatePosition);
      return;
    }
    out->Put(kReplacement, decoder->HighSurrogatePosition);
  }
  if (high) {
    decoder->HasHighSurrogate = true;
    decoder->HighSurrogate = unit;
    decoder->HighSurrogatePosition = position;
  } else {
    out->Put(low ? kReplacement : unit, position);
  }
}

void DecodeUtf16(TextDecoder* decoder, const std::uint8_t* bytes, std::uint32_t count,
                 std::uint32_t used, std::int64_t base, Output* out) {
  const bool littleEndian = decoder->Encoding == TextEncoding::kUtf16Le;
  while (used < count) {
    std::uint8_t first;
    std::int64_t position;
    if (decoder->HeldCount == 1) {
      first = decoder->Held[0];
      position = base + used - 1;
      decoder->HeldCount = 0;
    } else if (used + 1 < count) {
      first = bytes[used++];
      position = base + used - 1;
    } else {
      decoder->Held[0] = bytes[used++];
      decoder->HeldCount = 1;
      break;
    }
    const std::uint8_t second = bytes[used++];
    const std::uint16_t unit = littleEndian ? static_cast<std::uint16_t>(first | second << 8)
                                            : static_cast<std::uint16_t>(first << 8 | second);
    PutUtf16Unit(decoder, unit, position, out);
  }
}

}  // namespace

void StartTextDecoding(TextDecoder* decoder) {
  *decoder = TextDecoder{};
  decoder->Encoding = TextEncoding::kUndecided;
}

void StartTextDecodingInside(TextDecoder* decoder, std::int64_t position) {
  *decoder = TextDecoder{};
  decoder->Encoding = TextEncoding::kUtf8;
  decoder->Position = position;
}

std::uint32_t DecodeText(TextDecoder* decoder, const std::uint8_t* bytes, std::uint32_t count,
                         char32_t* codePoints, std::int64_t* positions) {
  Output out{codePoints, positions, 0};
  const std::int64_t base = decoder->Position;
  decoder->Position += count;
  std::uint32_t used = 0;
  if (decoder->Encoding == TextEncoding::kUndecided) used = ReadMark(decoder, bytes, count);
  if (decoder->Encoding == TextEncoding::kUtf8) {
    DecodeUtf8(decoder, bytes, count, used, base, &out);
  } else if (decoder->Encoding != TextEncoding::kUndecided) {
    DecodeUtf16(decoder, bytes, count, used, base, &out);
  }
  return out.Count;
}

std::uint32_t FinishTextDecoding(TextDecoder* decoder, char32_t* codePoints,
                                 std::int64_t* positions) {
  Output out{codePoints, positions, 0};
  if (decoder->Encoding == TextEncoding::kUndecided) decoder->Encoding = TextEncoding::kUtf8;
  if (decoder->Encoding == TextEncoding::kUtf8) {
    ReadHeldUtf8(decoder, nullptr, 0, 0, decoder->Position, true, &out);
  } else {
    if (decoder->HasHighSurrogate) out.Put(kReplacement, decoder->HighSurrogatePosition);
    if (decoder->HeldCount == 1) out.Put(kReplacement, decoder->Position - 1);
  }
  decoder->HeldCount = 0;
  decoder->HasHighSurrogate = false;
  return out.Count;
}

bool SkipAsciiRead(TextDecoder* decoder, std::uint32_t count) {
  if (decoder->HeldCount != 0) return false;
  if (decoder->Encoding == TextEncoding::kUndecided) {
    if (count == 0) return true;
    decoder->Encoding = TextEncoding::kUtf8;  // an ASCII first byte begins no mark
  } else if (decoder->Encoding != TextEncoding::kUtf8) {
    return false;
  }
  decoder->Position += count;
  return true;
}

char32_t Windows1252ToUnicode(std::uint8_t byte) {
  return byte >= 0x80 && byte < 0xA0 ? kWindows1252From80[byte - 0x80] : byte;
}

std::uint32_t FindNonAscii(const std::uint8_t* bytes, std::uint32_t count) {
  std::uint32_t i = 0;
#if defined(__SSE2__)
  for (; i + 16 <= count; i += 16) {
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + i));
    const int high = _mm_movemask_epi8(block);
    if (high != 0) return i + static_cast<std::uint32_t>(__builtin_ctz(high));
  }
#else
  for (; i + 8 <= count; i += 8) {
    std::uint64_t word;
    std::memcpy(&word, bytes + i, 8);
    if ((word & 0x8080808080808080u) != 0) break;  // the byte loop finds which
  }
#endif
  for (; i < count; ++i) {
    if (bytes[i] >= 0x80) return i;
  }
  return count;
}
