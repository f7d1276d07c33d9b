// Applying the terms of a query to the files of the search: an expression term scans the
// files its rule names and updates their flags and MatchedFiles; a single word lists
// every occurrence in one pass. Search worker only (or the calling thread in tessik-cli).
#pragma once

#include <cstdint>

// Applies a prepared term with an expression code (IsExpressionTerm) to the FileSet
// flags and MatchedFiles; any other code does nothing. Returns 0, or -1 on a stop.
int ApplyTerm(std::int32_t code);

// Lists every occurrence of the prepared term, from the last FileSet entry to the first,
// removing each file once scanned. Returns 0, or -1 on a stop.
int RunSingleWordPass();
