// The text a file is searched as when the switch of records and documents is on: a GEDCOM
// file in its own character set with its CONC lines joined, or the paragraphs of a word
// processor's document or an e-book, one line each; UTF-8, every line ended by a line feed.
// With it, the way back from a place in that text to the line, column and record of the
// file that a result names. Made and read on the search worker (tests: any one thread).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Where a piece of the text begins in the file: the text from TextPosition up to the next
// anchor is the file's line Line from its column Column (1-based, in the UTF-8 bytes of the
// line as decoded), and stands in the record Record (an index of Records, or -1).
struct TextAnchor {
  std::int64_t TextPosition;
  std::int64_t Line;
  std::int64_t Column;
  std::int64_t FileOffset;
  std::int32_t Record;
};

struct RecordText {
  std::string Text;
  // Sorted by TextPosition. None: line n of Text is line n of the result (a paragraph).
  std::vector<TextAnchor> Anchors;
  std::vector<std::string> Records;  // "@I12@": the level-0 records' identifiers

  void Clear() {
    Text.clear();
    Anchors.clear();
    Records.clear();
  }
};

// What a result says of the word at `textPosition`, which the scan of Text found on its
// line `textLine` (1-based) beginning at `textLineStart`.
struct TextPlace {
  std::int64_t Line;
  std::int64_t Column;
  std::int64_t FileOffset;
  const char* Record;  // nullptr: in no record with an identifier
};
TextPlace PlaceInFile(const RecordText& text, std::int64_t textPosition, std::int64_t textLine,
                      std::int64_t textLineStart);

// Appends the UTF-8 form of `codePoint` (a surrogate or a value past U+10FFFF as U+FFFD).
void AppendUtf8(std::string& text, char32_t codePoint);
