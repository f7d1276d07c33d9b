#include "support/reference_letters.h"

#include <functional>

#include "phonetic/letter_fold.h"

namespace {

constexpr std::size_t kWordLetters = 62;

// Windows-1252 from 0x80 to 0x9F; the five bytes it leaves out keep their own value.
const char32_t kFrom80[32] = {0x20AC, 0x81,   0x201A, 0x192,  0x201E, 0x2026, 0x2020, 0x2021,
                              0x2C6,  0x2030, 0x160,  0x2039, 0x152,  0x8D,   0x17D,  0x8F,
                              0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                              0x2DC,  0x2122, 0x161,  0x203A, 0x153,  0x9D,   0x17E,  0x178};

char32_t Windows1252(std::uint8_t b) { return b >= 0x80 && b < 0xA0 ? kFrom80[b - 0x80] : b; }

// The length of the valid UTF-8 sequence at bytes[at], with its code point, or 0.
std::size_t Utf8At(const std::string& bytes, std::size_t at, char32_t* codePoint) {
  const auto lead = static_cast<std::uint8_t>(bytes[at]);
  std::size_t length;
  char32_t value;
  if (lead < 0x80) {
    *codePoint = lead;
    return 1;
  } else if ((lead & 0xE0) == 0xC0) {
    length = 2;
    value = lead & 0x1F;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3;
    value = lead & 0x0F;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4;
    value = lead & 0x07;
  } else {
    return 0;
  }
  if (at + length > bytes.size()) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    const auto next = static_cast<std::uint8_t>(bytes[at + i]);
    if ((next & 0xC0) != 0x80) return 0;
    value = value << 6 | (next & 0x3F);
  }
  const char32_t smallest[5] = {0, 0, 0x80, 0x800, 0x10000};
  if (value < smallest[length] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
    return 0;
  }
  *codePoint = value;
  return length;
}

enum class Kind { Letter, Mark, Joiner, Separator };

Kind KindOf(char32_t c) {
  if ((c >= '0' && c <= '9') || c == '^' || c == '_' || c == '`') return Kind::Joiner;
  switch (ClassifyCodePoint(c)) {
    case LetterClass::kAsciiLetter:
    case LetterClass::kFoldedLetter:
      return Kind::Letter;
    case LetterClass::kMark:
      return Kind::Mark;
    default:
      return Kind::Separator;
  }
}

// The runs of letters, their marks and joiners of the text; each run without a joiner is a
// word, given to `match` as its folding (the index matched, or -1).
std::vector<ReferenceFind> WordsMatching(const std::string& bytes,
                                         const std::function<int(const std::string&)>& match) {
  int unit = 1;
  const std::vector<ReferenceCodePoint> text = ReferenceDecode(bytes, &unit);
  std::vector<ReferenceFind> finds;
  std::u32string run;
  bool joined = false;
  std::int64_t start = 0;
  std::int64_t line = 1;
  std::int64_t lineStart = 0;
  auto endRun = [&](std::int64_t end) {
    if (!run.empty() && !joined) {
      std::string folded(kWordLetters, '\0');
      folded.resize(FoldWord(run.data(), static_cast<std::uint32_t>(run.size()), folded.data(),
                             kWordLetters));
      const int key = folded.size() < 2 ? -1 : match(folded);
      if (key >= 0) {
        finds.push_back({start, end, line, lineStart, key, Utf8Of(run.substr(0, kWordLetters))});
      }
    }
    run.clear();
    joined = false;
  };
  Kind before = Kind::Separator;  // of the code point before, a mark as what it was taken for
  for (const ReferenceCodePoint& at : text) {
    Kind kind = KindOf(at.CodePoint);
    // A mark belongs to the letter before it (or to that letter's marks), else separates.
    if (kind == Kind::Mark) kind = before == Kind::Letter ? Kind::Letter : Kind::Separator;
    if (kind == Kind::Separator) {
      endRun(at.Position);
      if (at.CodePoint == U'\n') {
        ++line;
        lineStart = at.Position + unit;
      }
    } else {
      if (run.empty() && !joined) start = at.Position;
      if (kind == Kind::Joiner) joined = true;
      run += at.CodePoint;
    }
    before = kind;
  }
  endRun(static_cast<std::int64_t>(bytes.size()));
  return finds;
}

}  // namespace

std::vector<ReferenceCodePoint> ReferenceDecode(const std::string& bytes, int* unitSize) {
  std::vector<ReferenceCodePoint> text;
  auto startsWith = [&](const char* mark) { return bytes.rfind(mark, 0) == 0; };
  if (startsWith("\xFF\xFE") || startsWith("\xFE\xFF")) {
    *unitSize = 2;
    const bool little = bytes[0] == '\xFF';
    std::size_t at = 2;
    auto unitAt = [&](std::size_t i) -> char32_t {
      const auto a = static_cast<std::uint8_t>(bytes[i]);
      const auto b = static_cast<std::uint8_t>(bytes[i + 1]);
      return little ? static_cast<char32_t>(a | b << 8) : static_cast<char32_t>(a << 8 | b);
    };
    while (at + 1 < bytes.size()) {
      const char32_t unit = unitAt(at);
      const auto position = static_cast<std::int64_t>(at);
      if (unit >= 0xD800 && unit <= 0xDBFF && at + 3 < bytes.size() && unitAt(at + 2) >= 0xDC00 &&
          unitAt(at + 2) <= 0xDFFF) {
        text.push_back({0x10000 + ((unit - 0xD800) << 10) + (unitAt(at + 2) - 0xDC00), position});
        at += 4;
      } else {
        text.push_back({unit >= 0xD800 && unit <= 0xDFFF ? U'\uFFFD' : unit, position});
        at += 2;
      }
    }
    if (at < bytes.size()) text.push_back({U'\uFFFD', static_cast<std::int64_t>(at)});
    return text;
  }
  *unitSize = 1;
  std::size_t at = startsWith("\xEF\xBB\xBF") ? 3 : 0;
  while (at < bytes.size()) {
    char32_t codePoint;
    std::size_t length = Utf8At(bytes, at, &codePoint);
    if (length == 0) {
      codePoint = Windows1252(static_cast<std::uint8_t>(bytes[at]));
      length = 1;
    }
    text.push_back({codePoint, static_cast<std::int64_t>(at)});
    at += length;
  }
  return text;
}

std::vector<ReferenceFind> ReferenceLetterFinds(const std::string& bytes, const PhoneticKey* keys,
                                                std::uint32_t count) {
  return WordsMatching(
      bytes, [&](const std::string& letters) { return ReferenceKeyIndex(letters, keys, count); });
}

std::vector<ReferenceFind> ReferenceLetterCodeFinds(const std::string& bytes, const DmCode* codes,
                                                    int count) {
  return WordsMatching(
      bytes, [&](const std::string& letters) { return ReferenceCodeIndex(letters, codes, count); });
}

std::string Utf8Of(const std::u32string& text) {
  std::string out;
  for (char32_t c : text) {
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | c >> 6);
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | c >> 12);
      out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | c >> 18);
      out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
      out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

std::vector<ReferenceFind> ReferenceLetterFinds(const std::string& bytes, const ReferenceTerm& term) {
  if (!term.Scored.empty()) {
    return WordsMatching(
        bytes, [&](const std::string& letters) { return ReferenceScoreIndex(letters, term.Scored); });
  }
  return term.Codes ? ReferenceLetterCodeFinds(bytes, term.DmCodes.data(),
                                               static_cast<int>(term.DmCodes.size()))
                    : ReferenceLetterFinds(bytes, term.Keys.data(),
                                           static_cast<std::uint32_t>(term.Keys.size()));
}
