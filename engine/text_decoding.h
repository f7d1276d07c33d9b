// A file's bytes, read after read, decoded into code points, each with the file position of
// its first byte: the text the scanner will cut into words in today's encodings. Fixed-size
// state, no allocation, one decoder per file. Search worker only (tests: any one thread).
//
// How a file is read, decided by its first bytes:
//  - EF BB BF: UTF-8; FF FE: UTF-16 little-endian; FE FF: UTF-16 big-endian. The byte-order
//    mark is not a character, so a file that holds only the mark has none.
//  - Anything else: UTF-8, in which a byte that does not begin a valid sequence (an overlong
//    form, a surrogate, a code point above U+10FFFF, a sequence cut short, a continuation
//    byte on its own) is read alone as a Windows-1252 character: 80 is U+20AC, 9F U+0178,
//    E9 U+00E9. The five bytes that Windows-1252 leaves undefined (81 8D 8F 90 9D) read as
//    the C1 controls of the same value. The bytes after it are read afresh, so one bad
//    byte never hides a good character behind it.
//  - In UTF-16, a surrogate without its partner, and a last odd byte, read as U+FFFD.
// NUL bytes are U+0000 and line feeds U+000A, as any other character. A sequence, a code
// unit, a surrogate pair or the byte-order mark itself may be split between reads in any
// way, down to reads of one byte: the code points and positions are those of the whole
// file decoded at once.
#pragma once

#include <cstdint>

// Code points DecodeText may write beyond its count of bytes, and FinishTextDecoding at
// most: the bytes a decoder holds back between reads.
constexpr std::uint32_t kDecodeSlack = 3;

enum class TextEncoding : std::uint8_t {
  kUndecided,  // too few bytes yet to know
  kUtf8,       // with or without its mark; bytes outside UTF-8 read as Windows-1252
  kUtf16Le,
  kUtf16Be,
};

struct TextDecoder {
  std::int64_t Position;  // of the next byte to be given
  TextEncoding Encoding;
  std::uint8_t HeldCount;  // bytes held back: the start of a mark, a sequence or a unit
  std::uint8_t Held[3];
  bool HasHighSurrogate;  // UTF-16: a high surrogate waits for its partner
  std::uint16_t HighSurrogate;
  std::int64_t HighSurrogatePosition;
};

// Begins a file: the first byte given is at position 0.
void StartTextDecoding(TextDecoder* decoder);

// Begins inside a file read as UTF-8, where a line begins: the first byte given is at
// `position`, and no byte-order mark is looked for there.
void StartTextDecodingInside(TextDecoder* decoder, std::int64_t position);

// Decodes the next `count` bytes of the file: writes each code point that is complete to
// codePoints[i] and the position of its first byte to positions[i], and returns how many.
// Both arrays must have room for count + kDecodeSlack entries; fewer are usually written,
// never more. Bytes that may begin a character completed by the next read are held back.
std::uint32_t DecodeText(TextDecoder* decoder, const std::uint8_t* bytes, std::uint32_t count,
                         char32_t* codePoints, std::int64_t* positions);

// The end of the file: writes what the decoder held back (at most kDecodeSlack code points:
// a UTF-8 sequence cut short as its bytes in Windows-1252, a lone high surrogate or an odd
// byte as U+FFFD) and returns how many. The decoder is then at the start of nothing: call
// StartTextDecoding for another file.
std::uint32_t FinishTextDecoding(TextDecoder* decoder, char32_t* codePoints,
                                 std::int64_t* positions);

// For a read whose bytes are all below 0x80 (FindNonAscii gave `count`): when its code
// points would be its bytes at their own positions (a UTF-8 file, nothing held back), takes
// the read without writing them and returns true; otherwise returns false and changes
// nothing, and the read goes through DecodeText. The scanner's way past ASCII text.
bool SkipAsciiRead(TextDecoder* decoder, std::uint32_t count);

// The UTF-8 sequence at bytes[0..available): its length (1 to 4) with its code point in
// `codePoint`; 0 when the bytes there begin a valid sequence that needs more than
// `available`; -1 when bytes[0] begins none (the ranges of RFC 3629: no overlong form, no
// surrogate, nothing above U+10FFFF). The one reading of UTF-8 of the program: the files'
// decoder below, the query's letters, and tessik-cli's file names. Any thread.
int Utf8Sequence(const std::uint8_t* bytes, std::uint32_t available, char32_t* codePoint);

// The Unicode character of a byte read as Windows-1252 (the five undefined bytes as the C1
// controls of the same value).
char32_t Windows1252ToUnicode(std::uint8_t byte);

// The index of the first byte of bytes[0..count) that is 0x80 or above, or count when the
// read is all ASCII (then every byte is its own code point, at its own position, and a
// UTF-8 read needs no decoding; a UTF-16 file still does). Sixteen bytes at a time with
// SSE2, eight elsewhere.
std::uint32_t FindNonAscii(const std::uint8_t* bytes, std::uint32_t count);
