#include "engine/gedcom_text.h"

#include <cstring>
#include <string>

#include "engine/legacy_charsets.h"
#include "engine/text_decoding.h"

namespace {

// How far into a file its header's CHAR line is looked for.
constexpr std::size_t kHeaderReach = 65536;
// Marks that ANSEL puts before one letter and that are kept for it; more are dropped.
constexpr int kMostMarks = 8;

std::size_t MarkLength(const std::uint8_t* bytes, std::size_t count, GedcomCharset* unicode) {
  if (count >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) {
    if (unicode != nullptr) *unicode = GedcomCharset::kUtf8;
    return 3;
  }
  if (count >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) {
    if (unicode != nullptr) *unicode = GedcomCharset::kUtf16Le;
    return 2;
  }
  if (count >= 2 && bytes[0] == 0xFE && bytes[1] == 0xFF) {
    if (unicode != nullptr) *unicode = GedcomCharset::kUtf16Be;
    return 2;
  }
  // UTF-16 without its mark: the level digit and a zero byte.
  if (count >= 2 && bytes[0] == '0' && bytes[1] == 0) {
    if (unicode != nullptr) *unicode = GedcomCharset::kUtf16Le;
    return 0;
  }
  if (count >= 2 && bytes[0] == 0 && bytes[1] == '0') {
    if (unicode != nullptr) *unicode = GedcomCharset::kUtf16Be;
    return 0;
  }
  return 0;
}

// Reads the file's code points one by one, each with the position of its first byte.
class Decoder {
 public:
  Decoder(const std::uint8_t* bytes, std::size_t count, GedcomCharset charset)
      : bytes_(bytes), count_(count), charset_(charset) {
    position_ = MarkLength(bytes, count, nullptr);
  }

  // False at the end of the file.
  bool Next(char32_t* codePoint, std::int64_t* position) {
    if (markCount_ > 0) {  // the marks of the ANSEL letter given last
      *codePoint = marks_[markNext_++];
      *position = markPosition_;
      if (markNext_ == markCount_) markCount_ = markNext_ = 0;
      return true;
    }
    if (position_ >= count_) return false;
    *position = static_cast<std::int64_t>(position_);
    switch (charset_) {
      case GedcomCharset::kUtf16Le:
      case GedcomCharset::kUtf16Be:
        *codePoint = NextUtf16();
        return true;
      case GedcomCharset::kAnsel:
        *codePoint = NextAnsel();
        return true;
      case GedcomCharset::kAnsi:
        *codePoint = Windows1252ToUnicode(bytes_[position_++]);
        return true;
      case GedcomCharset::kIbmPc:
        *codePoint = Cp437ToUnicode(bytes_[position_++]);
        return true;
      case GedcomCharset::kMacintosh:
        *codePoint = MacRomanToUnicode(bytes_[position_++]);
        return true;
      case GedcomCharset::kUtf8:
      case GedcomCharset::kAscii:
        break;
    }
    const std::size_t left = count_ - position_;
    const int length = Utf8Sequence(bytes_ + position_,
                                    left > 4 ? 4 : static_cast<std::uint32_t>(left), codePoint);
    if (length <= 0) {
      *codePoint = Windows1252ToUnicode(bytes_[position_++]);
    } else {
      position_ += static_cast<std::size_t>(length);
    }
    return true;
  }

 private:
  char32_t NextUtf16() {
    if (count_ - position_ < 2) {
      position_ = count_;
      return 0xFFFD;
    }
    const auto unit = [&](std::size_t at) -> char32_t {
      return charset_ == GedcomCharset::kUtf16Le ? bytes_[at] | (bytes_[at + 1] << 8)
                                                 : (bytes_[at] << 8) | bytes_[at + 1];
    };
    const char32_t first = unit(position_);
    position_ += 2;
    if (first < 0xD800 || first > 0xDFFF) return first;
    if (first >= 0xDC00 || count_ - position_ < 2) return 0xFFFD;
    const char32_t second = unit(position_);
    if (second < 0xDC00 || second > 0xDFFF) return 0xFFFD;
    position_ += 2;
    return 0x10000 + ((first - 0xD800) << 10) + (second - 0xDC00);
  }

  // A letter with the marks written before it: the letter now, its marks after it.
  char32_t NextAnsel() {
    const std::size_t markStart = position_;
    int marks = 0;
    while (position_ < count_ && IsAnselMark(bytes_[position_])) {
      if (marks < kMostMarks) marks_[marks++] = AnselToUnicode(bytes_[position_]);
      ++position_;
    }
    if (marks > 0) {
      // Marks with no letter after them (at a line's end) stand alone.
      const bool letterFollows =
          position_ < count_ && bytes_[position_] != '\r' && bytes_[position_] != '\n';
      if (!letterFollows) {
        markCount_ = marks;
        markNext_ = 1;
        markPosition_ = static_cast<std::int64_t>(markStart);
        if (markCount_ == 1) markCount_ = markNext_ = 0;
        return marks_[0];
      }
      markCount_ = marks;
      markNext_ = 0;
      markPosition_ = static_cast<std::int64_t>(position_);
    }
    return AnselToUnicode(bytes_[position_++]);
  }

  const std::uint8_t* bytes_;
  std::size_t count_;
  GedcomCharset charset_;
  std::size_t position_ = 0;
  char32_t marks_[kMostMarks];
  int markCount_ = 0;
  int markNext_ = 0;
  std::int64_t markPosition_ = 0;
};

bool SameLetters(const char* text, std::size_t length, const char* word) {
  if (std::strlen(word) != length) return false;
  for (std::size_t i = 0; i < length; ++i) {
    char c = text[i];
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (c != word[i]) return false;
  }
  return true;
}

// The parts of a line "LEVEL [@XREF@] TAG [VALUE]" as far as the reading needs them.
struct LineParts {
  bool Valid = false;
  int Level = -1;
  std::size_t XrefStart = 0, XrefLength = 0;
  std::size_t TagStart = 0, TagLength = 0;
  std::size_t ValueStart = 0;  // the byte after the tag and its one delimiter
};

LineParts ParseLine(const std::string& line) {
  LineParts parts;
  std::size_t i = 0;
  while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
  if (i >= line.size() || line[i] < '0' || line[i] > '9') return parts;
  int level = 0;
  while (i < line.size() && line[i] >= '0' && line[i] <= '9') {
    if (level < 1000) level = level * 10 + (line[i] - '0');
    ++i;
  }
  while (i < line.size() && line[i] == ' ') ++i;
  if (i < line.size() && line[i] == '@') {
    const std::size_t end = line.find('@', i + 1);
    if (end != std::string::npos) {
      parts.XrefStart = i;
      parts.XrefLength = end + 1 - i;
      i = end + 1;
      while (i < line.size() && line[i] == ' ') ++i;
    }
  }
  parts.TagStart = i;
  while (i < line.size() && line[i] != ' ') ++i;
  parts.TagLength = i - parts.TagStart;
  if (i < line.size()) ++i;  // the one delimiter; a value's own leading blanks stay
  parts.ValueStart = i;
  parts.Level = level;
  parts.Valid = parts.TagLength > 0;
  return parts;
}

}  // namespace

bool LooksLikeGedcom(const std::uint8_t* bytes, std::size_t count) {
  GedcomCharset unicode = GedcomCharset::kUtf8;
  std::size_t at = MarkLength(bytes, count, &unicode);
  const std::size_t step = unicode == GedcomCharset::kUtf8 ? 1 : 2;
  const std::size_t low = unicode == GedcomCharset::kUtf16Be ? 1 : 0;
  const char* head = "0 HEAD";
  for (std::size_t i = 0; i < 6; ++i, at += step) {
    if (at + step > count) return false;
    if (step == 2 && bytes[at + 1 - low] != 0) return false;
    if (bytes[at + low] != static_cast<std::uint8_t>(head[i])) return false;
  }
  if (at + step > count) return true;  // the file ends with it
  const std::uint8_t next = bytes[at + low];
  if (step == 2 && bytes[at + 1 - low] != 0) return false;
  return next == '\r' || next == '\n' || next == ' ';
}

GedcomCharset GedcomCharsetOf(const std::uint8_t* bytes, std::size_t count) {
  GedcomCharset unicode = GedcomCharset::kUtf8;
  const std::size_t mark = MarkLength(bytes, count, &unicode);
  if (mark > 0 || unicode != GedcomCharset::kUtf8) return unicode;
  // The header's lines, read as ASCII, up to the next record.
  const std::size_t end = count < kHeaderReach ? count : kHeaderReach;
  std::size_t i = 0;
  bool first = true;
  while (i < end) {
    std::size_t lineEnd = i;
    while (lineEnd < end && bytes[lineEnd] != '\r' && bytes[lineEnd] != '\n') ++lineEnd;
    const std::string line(reinterpret_cast<const char*>(bytes + i), lineEnd - i);
    const LineParts parts = ParseLine(line);
    if (parts.Valid && parts.Level == 0 && !first) break;
    first = false;
    if (parts.Valid && parts.Level == 1 &&
        SameLetters(line.data() + parts.TagStart, parts.TagLength, "CHAR")) {
      std::size_t valueEnd = parts.ValueStart;
      std::string value = line.substr(parts.ValueStart);
      while (!value.empty() && (value.back() == ' ' || value.back() == '\t')) value.pop_back();
      (void)valueEnd;
      const char* v = value.c_str();
      const std::size_t n = value.size();
      if (SameLetters(v, n, "ANSEL")) return GedcomCharset::kAnsel;
      if (SameLetters(v, n, "ANSI") || SameLetters(v, n, "IBM WINDOWS") ||
          SameLetters(v, n, "WINDOWS-1252") || SameLetters(v, n, "CP1252"))
        return GedcomCharset::kAnsi;
      if (SameLetters(v, n, "UTF-8") || SameLetters(v, n, "UTF8")) return GedcomCharset::kUtf8;
      if (SameLetters(v, n, "UNICODE")) return GedcomCharset::kUtf16Le;
      if (SameLetters(v, n, "ASCII")) return GedcomCharset::kAscii;
      if (SameLetters(v, n, "IBMPC") || SameLetters(v, n, "IBM PC") ||
          SameLetters(v, n, "IBM DOS") || SameLetters(v, n, "CP437"))
        return GedcomCharset::kIbmPc;
      if (SameLetters(v, n, "MACINTOSH") || SameLetters(v, n, "MACROMAN"))
        return GedcomCharset::kMacintosh;
      return GedcomCharset::kUtf8;
    }
    i = lineEnd;
    if (i < end && bytes[i] == '\r') ++i;
    if (i < end && bytes[i] == '\n') ++i;
  }
  return GedcomCharset::kUtf8;
}

void ReadGedcomText(const std::uint8_t* bytes, std::size_t count, RecordText* text) {
  text->Clear();
  text->Text.reserve(count + count / 8);
  Decoder decoder(bytes, count, GedcomCharsetOf(bytes, count));
  std::string line;
  std::int64_t lineNumber = 0;
  std::int32_t record = -1;
  char32_t codePoint = 0;
  std::int64_t position = 0;
  bool more = decoder.Next(&codePoint, &position);
  while (more) {
    // One line of the file, without its end.
    line.clear();
    const std::int64_t lineOffset = position;
    ++lineNumber;
    bool ended = false;
    while (more) {
      if (codePoint == '\n' || codePoint == '\r') {
        const bool cr = codePoint == '\r';
        more = decoder.Next(&codePoint, &position);
        if (cr && more && codePoint == '\n') more = decoder.Next(&codePoint, &position);
        ended = true;
        break;
      }
      AppendUtf8(line, codePoint);
      more = decoder.Next(&codePoint, &position);
    }
    const LineParts parts = ParseLine(line);
    if (parts.Valid && parts.Level == 0) {
      record = -1;
      if (parts.XrefLength > 0) {
        text->Records.emplace_back(line, parts.XrefStart, parts.XrefLength);
        record = static_cast<std::int32_t>(text->Records.size() - 1);
      }
    }
    const bool joins = parts.Valid && parts.Level > 0 && lineNumber > 1 &&
                       SameLetters(line.data() + parts.TagStart, parts.TagLength, "CONC");
    if (joins) {
      // Joined to the line before, whose line feed is taken back.
      if (!text->Text.empty() && text->Text.back() == '\n') text->Text.pop_back();
      const std::size_t start = parts.ValueStart;
      text->Anchors.push_back({static_cast<std::int64_t>(text->Text.size()), lineNumber,
                               static_cast<std::int64_t>(start) + 1,
                               lineOffset + static_cast<std::int64_t>(start), record});
      text->Text.append(line, start, std::string::npos);
    } else {
      text->Anchors.push_back(
          {static_cast<std::int64_t>(text->Text.size()), lineNumber, 1, lineOffset, record});
      text->Text += line;
    }
    text->Text += '\n';
    (void)ended;
  }
}
