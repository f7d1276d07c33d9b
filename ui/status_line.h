// The status line of the window: the summary when a search ends, is stopped, or a result
// line is deleted, and the texts before and during a search, each padded with the blanks
// the window has always shown after it. Called by the window thread, and by the window's
// sink on the search worker (ShowCompletionStatus there only for a search's own end).
#pragma once

#include <cstdint>

#include "texts/search_texts.h"

// The status line's texts and the blanks after each, as the window shows them. A summary
// is padded to the width of the line; the other texts keep the counts of blanks they have
// always had, some past that width and some short of it.
constexpr int kReadyBlanks = kStatusWidth - 5;  // "Ready" after Clear: the width exactly
constexpr int kNoFilesReadyBlanks = 126;        // "Ready" after no file matched Search in
constexpr int kNoFilesInTreeReadyBlanks = 127;  // the same with subdirectories
constexpr int kListingSearchingBlanks = 84;     // "Searching..." before a listing
constexpr int kQuerySearchingBlanks = 83;       // "Searching..." before a query's files
constexpr int kScanProgressBlanks = 86;         // after "Searching  PATH"
constexpr int kSoleNotProgressBlanks = 84;      // after "Searching  PATH" for a sole N term

// The list box's horizontal extent after a search, in pixels.
constexpr int kWordListExtent = 250;
constexpr int kFileListExtent = 600;

// Shows the summary of `mode` (search_texts.h) from the counts of `summary` and the lines
// of the list, cut or padded to kStatusWidth; sets the list box's horizontal extent.
void ShowCompletionStatus(std::uint32_t mode, const SearchSummary& summary);

// Shows `text` followed by `blanks` blanks in the status line ("Ready", "Searching...").
void ShowPaddedStatus(const char* text, int blanks);

// Shows "Searching  " and `path` followed by `blanks` blanks, before a file is scanned.
void ShowScanProgress(const char* path, int blanks);
