// The result line of an occurrence, as the window's list shows it and tessik-cli prints it:
// "word<TAB>file<TAB>line (percent%)<TAB>size K", or with a method that scores words
// "word (score)<TAB>...". The word shows its first 13 letters (the
// characters of a word in UTF-8, read in today's encodings) and the file its name's first
// 14 characters (in UTF-8 when the name is), each followed by "..." when it is that long or
// longer; a line holds at most 255 characters. Any thread, each with its own ResultLine.
#pragma once

#include <cstddef>

#include "engine/search_sink.h"

// The result line shows this many characters of a file name, then "...".
constexpr std::size_t kShownNameCharacters = 14;
// A result line holds at most this many characters; the rest of a longer one is cut.
constexpr std::size_t kLongestResultLine = 255;

struct ResultLine {
  char ShownName[kShownNameCharacters * 4 + 4];  // up to 4 bytes a character in UTF-8
  std::size_t ShownNameLength;
  // Room for the longest number a line can show (a percentage of a file that grew while
  // it was read is not bounded) before the line is cut.
  char Text[1024];
};

// The file whose occurrences follow: its name as the lines show it.
void StartResultLines(ResultLine* line, const char* path);

// The line of `occurrence`, an occurrence in the file of StartResultLines, in line->Text.
const char* FormatResultLine(ResultLine* line, const FoundOccurrence& occurrence);
