#include "engine/record_text.h"

#include <algorithm>

TextPlace PlaceInFile(const RecordText& text, std::int64_t textPosition, std::int64_t textLine,
                      std::int64_t textLineStart) {
  if (text.Anchors.empty()) {
    return {textLine, textPosition - textLineStart + 1, textPosition, nullptr};
  }
  auto after = std::upper_bound(text.Anchors.begin(), text.Anchors.end(), textPosition,
                                [](std::int64_t position, const TextAnchor& anchor) {
                                  return position < anchor.TextPosition;
                                });
  if (after == text.Anchors.begin())
    return {textLine, textPosition - textLineStart + 1, 0, nullptr};
  const TextAnchor& anchor = *(after - 1);
  const std::int64_t into = textPosition - anchor.TextPosition;
  const char* record =
      anchor.Record >= 0 && static_cast<std::size_t>(anchor.Record) < text.Records.size()
          ? text.Records[anchor.Record].c_str()
          : nullptr;
  return {anchor.Line, anchor.Column + into, anchor.FileOffset + into, record};
}

void AppendUtf8(std::string& text, char32_t codePoint) {
  if (codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF)) codePoint = 0xFFFD;
  if (codePoint < 0x80) {
    text += static_cast<char>(codePoint);
  } else if (codePoint < 0x800) {
    text += static_cast<char>(0xC0 | (codePoint >> 6));
    text += static_cast<char>(0x80 | (codePoint & 0x3F));
  } else if (codePoint < 0x10000) {
    text += static_cast<char>(0xE0 | (codePoint >> 12));
    text += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
    text += static_cast<char>(0x80 | (codePoint & 0x3F));
  } else {
    text += static_cast<char>(0xF0 | (codePoint >> 18));
    text += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
    text += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
    text += static_cast<char>(0x80 | (codePoint & 0x3F));
  }
}
