// Term extraction from a normalised query, and the rules by which each term changes the
// running set of files, strictly left to right. Plain functions of their arguments: the
// search worker calls them, and any thread may.
#pragma once

#include <atomic>
#include <cstdint>

#include "query/term_codes.h"

constexpr int kTermBufferSize = 221;  // at most 220 characters and the terminator
constexpr int kMaxTermLength = kTermBufferSize - 1;

// Whether `word` is a term the query language passes on whole: 1 to kMaxTermLength letters
// A-Z a-z (tessik-cli --explain takes no other).
bool IsWholeTerm(const char* word);

// Moves the next term of `expression` into `term` and returns its code (term_codes.h).
// `firstTermTaken` (the search's FirstTermTaken) says whether a term of this expression
// has been taken before; it is set by the first one.
std::int32_t TakeNextTerm(char* term, char* expression, std::atomic<std::int32_t>& firstTermTaken);

// Which files of the set a term scans: those not matching so far, those matching so far,
// or every one. A file the term does not scan keeps its flag.
enum class TermScope { NotMatching, Matching, Every };

struct TermRule {
  TermScope Scope;
  // The new flag of a scanned file, from its flag so far and whether the term was found.
  bool (*NewFlag)(bool matching, bool found);
};

// The rule of an expression term (IsExpressionTerm), or nullptr for any other code.
const TermRule* RuleOfTerm(std::int32_t code);
