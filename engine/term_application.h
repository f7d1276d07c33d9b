// Applying the terms of a query to the files of the search: an expression term scans the
// files its rule names and updates their flags and MatchedFiles; a single word lists
// every occurrence in one pass. Search worker only (or the calling thread in tessik-cli).
#pragma once

#include <cstdint>

#include "engine/parallel_files.h"
#include "engine/search_sink.h"
#include "engine/search_state.h"
#include "engine/sound_method.h"
#include "engine/records_reading.h"
#include "engine/word_reading.h"

// Applies `term` (its files read by `reading`), whose code is an expression code
// (IsExpressionTerm), to the FileSet flags and MatchedFiles; any other code does nothing. Returns
// 0, or -1 on a stop. `records`: as ScanFile takes it (engine/file_scanner.h). With `helpers`
// (not nullptr, Helpers above 0, and records readings of their own exactly when there are
// `records`), the files are read by that many helper threads, with the same answers.
int ApplyTerm(SearchState& state, std::int32_t code, const HeardTerm& term, WordReading& reading,
              SearchSink& sink, RecordsReading* records = nullptr,
              const HelperReading* helpers = nullptr);

// Lists every occurrence of `term`, from the last FileSet entry to the first, removing
// each file once scanned. Returns 0, or -1 on a stop. `helpers` as for ApplyTerm.
int RunSingleWordPass(SearchState& state, const HeardTerm& term, WordReading& reading,
                      SearchSink& sink, RecordsReading* records = nullptr,
                      const HelperReading* helpers = nullptr);
