// The "Search for:" text of a search that reads today's encodings: the words written with
// accented, Cyrillic or Greek letters are folded to the letters a-z (phonetic/letter_fold.h)
// before the query is normalised and checked as any other. Search worker (tessik-cli: its
// only thread).
#pragma once

// The folded text of a "Search for:" text of 255 characters: no letter reads as more than
// four letters a-z.
constexpr int kFoldedQuerySize = 4 * 255 + 1;

// What FoldQueryLetters answers.
constexpr int kQueryLettersFolded = 0;
constexpr int kQueryLettersTooLong = -1;  // folded, the text is over kFoldedQuerySize - 1

// Reads `searchFor` (at most kFoldedQuerySize - 1 bytes are read) as UTF-8, in which a
// byte that begins no character is read as Windows-1252, as a file is. A word (a run of
// letters and the marks inside it) that has a letter beyond ASCII is written folded, in
// lower case; every other character is written as it stands, so that a text of ASCII
// alone comes out unchanged and a character that is not a letter is refused by the
// query's check as it always was.
// `folded` has room for kFoldedQuerySize bytes and is always terminated.
int FoldQueryLetters(const char* searchFor, char* folded);
