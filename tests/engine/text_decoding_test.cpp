#include "engine/text_decoding.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace {

using Decoded = std::vector<std::pair<char32_t, std::int64_t>>;  // code point, position

constexpr char32_t kGuardCodePoint = 0x5A5A5A5A;

// Decodes `bytes` in reads that end at each of `cuts` (ascending) and at the end. Every call
// gets exactly the room the header asks for, followed by guard entries that must stay.
Decoded Decode(const std::string& bytes, const std::vector<std::size_t>& cuts) {
  TextDecoder decoder;
  StartTextDecoding(&decoder);
  Decoded decoded;
  auto collect = [&](const std::uint8_t* read, std::uint32_t count, bool finish) {
    const std::uint32_t room = finish ? kDecodeSlack : count + kDecodeSlack;
    std::vector<char32_t> codePoints(room + 8, kGuardCodePoint);
    std::vector<std::int64_t> positions(room + 8, -7);
    const std::uint32_t written =
        finish ? FinishTextDecoding(&decoder, codePoints.data(), positions.data())
               : DecodeText(&decoder, read, count, codePoints.data(), positions.data());
    EXPECT_LE(written, room);
    for (std::uint32_t i = room; i < room + 8; ++i) {
      EXPECT_EQ(codePoints[i], kGuardCodePoint);
      EXPECT_EQ(positions[i], -7);
    }
    for (std::uint32_t i = 0; i < written && i < room; ++i) {
      decoded.emplace_back(codePoints[i], positions[i]);
    }
  };
  const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
  std::size_t at = 0;
  for (std::size_t cut : cuts) {
    collect(data + at, static_cast<std::uint32_t>(cut - at), false);
    at = cut;
  }
  collect(data + at, static_cast<std::uint32_t>(bytes.size() - at), false);
  collect(nullptr, 0, true);
  return decoded;
}

// The bytes of a literal, NULs included.
template <std::size_t N>
std::string Bytes(const char (&literal)[N]) {
  return std::string(literal, N - 1);
}

struct DecodeCase {
  const char* name;
  std::string bytes;
  Decoded expected;
};

void PrintTo(const DecodeCase& c, std::ostream* os) { *os << c.name; }

class DecodeFiles : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeFiles, InOneRead) { EXPECT_EQ(Decode(GetParam().bytes, {}), GetParam().expected); }

TEST_P(DecodeFiles, InTwoReadsWhereverTheCutFalls) {
  for (std::size_t cut = 0; cut <= GetParam().bytes.size(); ++cut) {
    EXPECT_EQ(Decode(GetParam().bytes, {cut}), GetParam().expected) << "cut at " << cut;
  }
}

TEST_P(DecodeFiles, InReadsOfOneByte) {
  std::vector<std::size_t> cuts;
  for (std::size_t cut = 1; cut < GetParam().bytes.size(); ++cut) cuts.push_back(cut);
  EXPECT_EQ(Decode(GetParam().bytes, cuts), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Utf8, DecodeFiles,
    ::testing::Values(
        DecodeCase{"Empty", Bytes(""), {}},
        DecodeCase{"Ascii", Bytes("Ab\n"), {{U'A', 0}, {U'b', 1}, {U'\n', 2}}},
        DecodeCase{"Nul", Bytes("A\0B"), {{U'A', 0}, {0, 1}, {U'B', 2}}},
        DecodeCase{"MarkOnly", Bytes("\xEF\xBB\xBF"), {}},
        DecodeCase{"MarkThenText", Bytes("\xEF\xBB\xBF\x41\xC3\xA9"), {{U'A', 3}, {0xE9, 4}}},
        DecodeCase{"SecondMarkIsACharacter", Bytes("\xEF\xBB\xBF\xEF\xBB\xBF"), {{0xFEFF, 3}}},
        DecodeCase{"AllLengths",
                   Bytes("a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\x62"),
                   {{U'a', 0}, {0xE9, 1}, {0x20AC, 3}, {0x1F600, 6}, {U'b', 10}}},
        DecodeCase{"LargestCodePoint", Bytes("\xF4\x8F\xBF\xBF"), {{0x10FFFF, 0}}},
        // what is not UTF-8 reads byte by byte as Windows-1252, the bytes after it afresh
        DecodeCase{"CutShortAtTheEnd", Bytes("\xE2\x82"), {{0xE2, 0}, {0x201A, 1}}},
        DecodeCase{"CutShortInside", Bytes("\xE2\x82\x41"), {{0xE2, 0}, {0x201A, 1}, {U'A', 2}}},
        DecodeCase{"FourCutShort",
                   Bytes("\xF0\x9F\x98\x41"),
                   {{0xF0, 0}, {0x178, 1}, {0x2DC, 2}, {U'A', 3}}},
        DecodeCase{"CutShortBeforeAGoodOne", Bytes("\xC3\xC3\xA9"), {{0xC3, 0}, {0xE9, 1}}},
        DecodeCase{"Overlong",
                   Bytes("\xC0\xAF\xE0\x80\x80"),
                   {{0xC0, 0}, {0xAF, 1}, {0xE0, 2}, {0x20AC, 3}, {0x20AC, 4}}},
        DecodeCase{"Surrogate", Bytes("\xED\xA0\x80"), {{0xED, 0}, {0xA0, 1}, {0x20AC, 2}}},
        DecodeCase{"AboveTheLast",
                   Bytes("\xF4\x90\x80\x80"),
                   {{0xF4, 0}, {0x90, 1}, {0x20AC, 2}, {0x20AC, 3}}},
        DecodeCase{"StrayContinuation", Bytes("\x80\x41\xBF"), {{0x20AC, 0}, {U'A', 1}, {0xBF, 2}}},
        DecodeCase{"Windows1252",
                   Bytes("M\xFCller \x8A\x9A\x8C\x9C\x8E\x9E\x9F\x83"),
                   {{U'M', 0},
                    {0xFC, 1},
                    {U'l', 2},
                    {U'l', 3},
                    {U'e', 4},
                    {U'r', 5},
                    {U' ', 6},
                    {0x160, 7},
                    {0x161, 8},
                    {0x152, 9},
                    {0x153, 10},
                    {0x17D, 11},
                    {0x17E, 12},
                    {0x178, 13},
                    {0x192, 14}}},
        DecodeCase{"Undefined1252",
                   Bytes("\x81\x8D\x8F\x90\x9D"),
                   {{0x81, 0}, {0x8D, 1}, {0x8F, 2}, {0x90, 3}, {0x9D, 4}}},
        // first bytes that only begin to look like a mark
        DecodeCase{"HalfAMark", Bytes("\xEF\xBB"), {{0xEF, 0}, {0xBB, 1}}},
        DecodeCase{"HalfAMarkThenText", Bytes("\xEF\xBB\x41"), {{0xEF, 0}, {0xBB, 1}, {U'A', 2}}},
        DecodeCase{"MarkLikeCharacter", Bytes("\xEF\xBB\xBE"), {{0xFEFE, 0}}},
        DecodeCase{"MarkThenCutShort", Bytes("\xEF\xBB\xBF\xC3"), {{0xC3, 3}}},
        DecodeCase{"LoneFF", Bytes("\xFF"), {{0xFF, 0}}},
        DecodeCase{"FFThenText", Bytes("\xFF\x41"), {{0xFF, 0}, {U'A', 1}}},
        DecodeCase{"FEThenFE", Bytes("\xFE\xFE"), {{0xFE, 0}, {0xFE, 1}}}));

INSTANTIATE_TEST_SUITE_P(
    Utf16, DecodeFiles,
    ::testing::Values(
        DecodeCase{
            "LittleEndian", Bytes("\xFF\xFE\x41\0\xE9\0\n\0"), {{U'A', 2}, {0xE9, 4}, {U'\n', 6}}},
        DecodeCase{"BigEndian", Bytes("\xFE\xFF\0A\x04\x16"), {{U'A', 2}, {0x416, 4}}},
        DecodeCase{"MarkOnlyLittle", Bytes("\xFF\xFE"), {}},
        DecodeCase{"MarkOnlyBig", Bytes("\xFE\xFF"), {}},
        DecodeCase{"Nul", Bytes("\xFF\xFE\0\0"), {{0, 2}}},
        DecodeCase{"Pair", Bytes("\xFF\xFE\x3D\xD8\x00\xDE"), {{0x1F600, 2}}},
        DecodeCase{"PairBig", Bytes("\xFE\xFF\xD8\x3D\xDE\x00"), {{0x1F600, 2}}},
        DecodeCase{"LoneHigh", Bytes("\xFF\xFE\x3D\xD8\x41\0"), {{0xFFFD, 2}, {U'A', 4}}},
        DecodeCase{
            "HighThenPair", Bytes("\xFE\xFF\xD8\x3D\xD8\x3D\xDE\x00"), {{0xFFFD, 2}, {0x1F600, 4}}},
        DecodeCase{"LoneLow", Bytes("\xFF\xFE\x00\xDE\x41\0"), {{0xFFFD, 2}, {U'A', 4}}},
        DecodeCase{"HighAtTheEnd", Bytes("\xFF\xFE\x3D\xD8"), {{0xFFFD, 2}}},
        DecodeCase{"OddByteAfterTheMark", Bytes("\xFF\xFE\x41"), {{0xFFFD, 2}}},
        DecodeCase{"OddByteAtTheEnd", Bytes("\xFE\xFF\0A\x42"), {{U'A', 2}, {0xFFFD, 4}}},
        DecodeCase{"HighThenOddByte", Bytes("\xFF\xFE\x3D\xD8\x41"), {{0xFFFD, 2}, {0xFFFD, 4}}}));

TEST(SkipAsciiRead, TakesAsciiOnlyWhereItReadsAsItself) {
  TextDecoder decoder;
  StartTextDecoding(&decoder);
  ASSERT_TRUE(SkipAsciiRead(&decoder, 5));  // the first byte is no mark: UTF-8
  char32_t codePoints[8];
  std::int64_t positions[8];
  const auto* e = reinterpret_cast<const std::uint8_t*>("\xC3\xA9\xC3");
  ASSERT_EQ(DecodeText(&decoder, e, 3, codePoints, positions), 1u);
  EXPECT_EQ(positions[0], 5);
  EXPECT_FALSE(SkipAsciiRead(&decoder, 2));  // half a character is held back

  StartTextDecoding(&decoder);
  const auto* mark = reinterpret_cast<const std::uint8_t*>("\xFF\xFE");
  ASSERT_EQ(DecodeText(&decoder, mark, 2, codePoints, positions), 0u);
  EXPECT_FALSE(SkipAsciiRead(&decoder, 4));  // UTF-16
}

TEST(FindNonAscii, FindsTheFirstHighByteAtAnyPlaceAndAlignment) {
  std::vector<std::uint8_t> bytes(80 + 16, 'a');
  for (std::uint32_t offset = 0; offset < 16; ++offset) {
    for (std::uint32_t count = 0; count <= 80; ++count) {
      const std::uint8_t* read = bytes.data() + offset;
      bytes[offset + count] = 0xFF;  // past the read
      EXPECT_EQ(FindNonAscii(read, count), count);
      bytes[offset + count] = 'a';
      for (std::uint32_t high = 0; high < count; ++high) {
        bytes[offset + high] = 0x80;
        bytes[offset + count - 1] |= 0xC0;  // a later high byte never wins
        EXPECT_EQ(FindNonAscii(read, count), high) << offset << " " << count;
        bytes[offset + high] = 'a';
        bytes[offset + count - 1] = 'a';
      }
    }
  }
}

}  // namespace
