// Names as tessik-cli shows them on standard output and standard error: a file name may
// hold any byte but '/' and NUL, and a line feed, tab or escape sequence in one must not
// forge lines or act on the terminal. A control byte (0x00-0x1F, 0x7F) is shown as \xHH
// with two lower-case hex digits; every other byte, a backslash included, as it is.
#pragma once

#include <string>

// `text` with its control bytes escaped, in `scratch`; `text` itself when it has none.
const char* EscapeControls(const char* text, std::string& scratch);

// A word-search result line ("word<TAB>file<TAB>line (percent%)<TAB>size K"): the file
// column escaped, the three tabs that separate the columns kept. The word and the two
// numeric columns hold no tab, so the file column is what lies between the first tab and
// the last tab but one.
const char* EscapeResultLine(const char* line, std::string& scratch);

// Whether text[0..length) holds a control byte.
bool HoldsControl(const char* text, std::size_t length);
