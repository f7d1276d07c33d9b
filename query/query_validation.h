// Normalisation and validation of the "Search for:" text. Search worker only.
#pragma once

constexpr int kQueryExpressionSize = 512;  // room for 511 characters; holds at most 255

constexpr int kQueryAccepted = 1;
constexpr int kQueryInvalidCharacters = -10;
constexpr int kQueryOperatorAfterOperator = -2;
constexpr int kQueryOperatorAtEnd = -3;
// A text whose accented, Cyrillic or Greek letters, read as a-z, make it longer than a query
// holds (only with today's encodings read: engine/query_letters.h).
constexpr int kQueryFoldedTooLong = -11;

// Drops leading and trailing blanks, runs of blanks, and blanks next to parentheses.
// `expression` holds kQueryExpressionSize bytes.
void NormaliseQuery(const char* searchText, char* expression);

// One of the first four codes above.
int ValidateQuery(const char* expression);

// A, N, O or X in either case: the letters that, standing as a word of their own before
// another word, are operators.
bool IsOperatorLetter(char c);

// The text of the message box for a refusal code, or nullptr for kQueryAccepted.
const char* QueryRefusalMessage(int code);
