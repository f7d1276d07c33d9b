// The codes of the terms of a query, as TakeNextTerm gives them and the search state
// keeps the last of them (LastTermType). Pure constants and tests: any thread.
#pragma once

#include <cstdint>

// No term left in the expression.
constexpr std::int32_t kNoTermLeft = 0;
// The whole query is one word: every occurrence is listed.
constexpr std::int32_t kSingleWord = 1;
// A term joined to the running result by its operator (a term with none is joined by OR).
constexpr std::int32_t kTermOr = 110;
constexpr std::int32_t kTermAnd = 111;
constexpr std::int32_t kTermAndNot = 112;
constexpr std::int32_t kTermXor = 113;
// The first term of an expression that stands alone (at most a one-letter word follows
// it) carries its operator's code less this offset: 10 to 13.
constexpr std::int32_t kSoleTermOffset = 100;
constexpr std::int32_t kSoleOr = kTermOr - kSoleTermOffset;
constexpr std::int32_t kSoleAnd = kTermAnd - kSoleTermOffset;
constexpr std::int32_t kSoleAndNot = kTermAndNot - kSoleTermOffset;
constexpr std::int32_t kSoleXor = kTermXor - kSoleTermOffset;

constexpr bool IsSoleTerm(std::int32_t code) { return code >= kSoleOr && code <= kSoleXor; }

// A term of an expression, sole or joined: one that ApplyTerm evaluates.
constexpr bool IsExpressionTerm(std::int32_t code) {
  return IsSoleTerm(code) || (code >= kTermOr && code <= kTermXor);
}

// Whether the last term taken (LastTermType) made the search a single-word one, which
// lists occurrences rather than files.
constexpr bool IsSingleWordSearch(std::int32_t lastTermType) { return lastTermType == kSingleWord; }
