#include "engine/result_line.h"

#include <bit>
#include <charconv>
#include <cstdint>
#include <cstring>

#include "platform/character_cut.h"

namespace {

// The result line shows this many letters of a word, then "..." for a word this long.
constexpr std::uint32_t kShownWordLetters = 13;

// Appends to a line being built; what does not fit is dropped at the end.
struct LineBuilder {
  char* Text;
  std::size_t Size;
  std::size_t Length = 0;

  void Add(const char* text, std::size_t length) {
    if (length > Size - 1 - Length) length = Size - 1 - Length;
    std::memcpy(Text + Length, text, length);
    Length += length;
  }
  // A text of known length, copied without a call where it fits.
  template <std::size_t N>
  void Add(const char (&text)[N]) {
    if (N - 1 <= Size - 1 - Length) {
      std::memcpy(Text + Length, text, N - 1);
      Length += N - 1;
    } else {
      Add(text, N - 1);
    }
  }
  template <typename... Format>
  void AddNumber(auto value, Format... format) {
    char digits[400];
    const std::to_chars_result result =
        std::to_chars(digits, digits + sizeof digits, value, format...);
    Add(digits, result.ec == std::errc() ? static_cast<std::size_t>(result.ptr - digits) : 0);
  }
  // A whole number, written in place where the longest fits.
  void AddWhole(std::int64_t value) {
    constexpr std::size_t kLongest = 20;  // -9223372036854775808
    if (Size - 1 - Length < kLongest) {
      AddNumber(value);
      return;
    }
    Length = static_cast<std::size_t>(std::to_chars(Text + Length, Text + Size - 1, value).ptr - Text);
  }
  // A percentage with one decimal, the same characters as std::to_chars(..., fixed, 1)
  // gives (the exact value rounded, a tie to the even tenth), done in integers for the
  // usual values: a listing of many lines spends much of its time here otherwise.
  void AddTenths(double value) {
    const std::uint64_t bits = std::bit_cast<std::uint64_t>(value);
    if (!(value >= 0 && value < 1e9) || (bits >> 63) != 0) {
      AddNumber(value, std::chars_format::fixed, 1);
      return;
    }
    // value = mantissa * 2^exponent, so ten times it is tens * 2^exponent.
    const auto biased = static_cast<int>(bits >> 52);
    const std::uint64_t fraction = bits & ((std::uint64_t{1} << 52) - 1);
    const std::uint64_t mantissa = biased == 0 ? fraction : fraction | std::uint64_t{1} << 52;
    const int exponent = (biased == 0 ? 1 : biased) - 1075;
    const std::uint64_t tens = mantissa * 10;  // below 2^57
    std::uint64_t tenths = 0;
    if (exponent >= 0) {
      tenths = tens << exponent;  // below 10^10: the value is below 10^9
    } else if (exponent > -58) {
      const int shift = -exponent;
      tenths = tens >> shift;
      const std::uint64_t rest = tens & ((std::uint64_t{1} << shift) - 1);
      const std::uint64_t half = std::uint64_t{1} << (shift - 1);
      if (rest > half || (rest == half && (tenths & 1) != 0)) ++tenths;
    }  // else below a twentieth of a tenth: 0.0
    // The digits end halfway through the buffer, so that 16 bytes from the first are ours.
    char digits[32];
    char* end = digits + 16;
    char* at = end;
    *--at = static_cast<char>('0' + tenths % 10);
    *--at = '.';
    std::uint64_t whole = tenths / 10;
    do {
      *--at = static_cast<char>('0' + whole % 10);
      whole /= 10;
    } while (whole != 0);
    const auto length = static_cast<std::size_t>(end - at);
    if (16 <= Size - 1 - Length) {  // 16 bytes copied, `length` of them kept
      std::memcpy(Text + Length, at, 16);
      Length += length;
    } else {
      Add(at, length);
    }
  }
  const char* Finish() {
    if (Length > kLongestResultLine) Length = kLongestResultLine;
    Text[Length] = 0;
    return Text;
  }
};

// The bytes of the first `characters` characters of a word and how many characters it has
// up to there. A word read in today's encodings is UTF-8, whose characters after the first
// byte are bytes 80 to BF; a word of letters A-Z has one byte per character.
std::uint32_t CharacterBytes(const char* word, std::uint32_t length, std::uint32_t characters,
                             std::uint32_t* counted) {
  std::uint32_t bytes = 0;
  *counted = 0;
  while (bytes < length) {
    if ((static_cast<unsigned char>(word[bytes]) & 0xC0) != 0x80) {
      if (*counted == characters) break;
      ++*counted;
    }
    ++bytes;
  }
  return bytes;
}

}  // namespace

void StartResultLines(ResultLine* line, const char* path) {
  const char* name = path;
  for (const char* at = path; *at != 0; ++at) {
    if (*at == '/' || *at == '\\') name = at + 1;
  }
  // A name in UTF-8 is cut between its characters; a byte that begins no character in
  // UTF-8 counts as one, so a name in a code page of one byte per character is cut as ever.
  const std::size_t length = std::strlen(name);
  const std::size_t shown = CharactersPrefix(name, length, kShownNameCharacters);
  std::memcpy(line->ShownName, name, shown);
  if (CountCharacters(name, length) >= kShownNameCharacters) {
    std::memcpy(line->ShownName + shown, "...", 4);
    line->ShownNameLength = shown + 3;
  } else {
    line->ShownName[shown] = '\0';
    line->ShownNameLength = shown;
  }
}

const char* FormatResultLine(ResultLine* line, const FoundOccurrence& occurrence) {
  LineBuilder text{line->Text, sizeof line->Text};
  std::uint32_t characters = 0;
  const std::uint32_t shown =
      CharacterBytes(occurrence.Word, occurrence.WordLength, kShownWordLetters, &characters);
  text.Add(occurrence.Word, shown);
  if (characters >= kShownWordLetters) text.Add("...");
  if (occurrence.Score != kNoScore) {  // a method that scores words shows the score
    text.Add(" (");
    text.AddNumber(occurrence.Score);
    text.Add(")");
  }
  text.Add("\t");
  text.Add(line->ShownName, line->ShownNameLength);
  text.Add("\t");
  text.AddWhole(occurrence.Line);
  text.Add(" (");
  text.AddTenths(occurrence.Percentage);
  text.Add("%)\t");
  text.AddWhole(occurrence.SizeK);
  text.Add(" K");
  return text.Finish();
}
