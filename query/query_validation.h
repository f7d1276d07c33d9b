// Normalisation and validation of the "Search for:" text. Search worker only.
#pragma once

// Room for a text of 1020 characters and the terminator: a query of 255 characters, or the
// same with its letters read as a-z (up to four letters each: engine/query_letters.h).
constexpr int kQueryExpressionSize = 1024;
// How much of the "Search for:" text is taken, as the edit field is read.
constexpr int kQueryTextLimit = 255;

constexpr int kQueryAccepted = 1;
constexpr int kQueryInvalidCharacters = -10;
constexpr int kQueryOperatorAfterOperator = -2;
constexpr int kQueryOperatorAtEnd = -3;
// A text whose accented, Cyrillic or Greek letters, read as a-z, make it longer than a query
// holds (only with today's encodings read: engine/query_letters.h).
constexpr int kQueryFoldedTooLong = -11;

// Drops leading and trailing blanks, runs of blanks, and blanks next to parentheses, from
// the first `limit` characters of the text (at most kQueryExpressionSize - 1).
// `expression` holds kQueryExpressionSize bytes.
void NormaliseQuery(const char* searchText, char* expression, int limit = kQueryTextLimit);

// One of the first four codes above.
int ValidateQuery(const char* expression);

// A, N, O or X in either case: the letters that, standing as a word of their own before
// another word, are operators.
bool IsOperatorLetter(char c);

// The text of the message box for a refusal code, or nullptr for kQueryAccepted.
const char* QueryRefusalMessage(int code);
