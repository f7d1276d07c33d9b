// Term extraction and evaluation of a query over the file set, strictly left to right.
// Search worker only.
#pragma once

#include <cstdint>

constexpr int kTermBufferSize = 221;  // at most 220 characters and the terminator

// Codes returned by TakeNextTerm.
constexpr std::int32_t kNoTermLeft = 0;
constexpr std::int32_t kSingleWord = 1;
constexpr std::int32_t kTermOr = 110;
constexpr std::int32_t kTermAnd = 111;
constexpr std::int32_t kTermAndNot = 112;
constexpr std::int32_t kTermXor = 113;

// Moves the next term of `expression` into `term` and returns its code; reads and sets
// FirstTermTaken.
std::int32_t TakeNextTerm(char* term, char* expression);

// Applies a prepared term with code 10..13 or 110..113 to the FileSet flags and
// MatchedFiles. Returns 0, or -1 when a stop was requested.
int ApplyTerm(std::int32_t code);

// Lists every occurrence of the prepared term, from the last FileSet entry to the first,
// removing each file once scanned. Returns 0, or -1 when a stop was requested.
int RunSingleWordPass();
