// Texts of the status line, and the summary when a search ends, is stopped, or a result line is
// deleted. Modes 1 and 4 run on the worker; modes 2 and 3 on the window thread (2 only after the
// worker has ended).
#pragma once

#include <cstdint>

constexpr std::uint32_t kCompletedSearch = 1;
constexpr std::uint32_t kStoppedSearch = 2;
constexpr std::uint32_t kDeletedLine = 3;
constexpr std::uint32_t kCompletedListing = 4;

// The status line's texts and the blanks after each, as the window shows them. A summary
// is padded to the width of the line; the other texts keep the counts of blanks they have
// always had, some past that width and some short of it.
constexpr int kStatusWidth = 90;
constexpr int kReadyBlanks = kStatusWidth - 5;  // "Ready" after Clear: the width exactly
constexpr int kNoFilesReadyBlanks = 126;        // "Ready" after no file matched Search in
constexpr int kNoFilesInTreeReadyBlanks = 127;  // the same with subdirectories
constexpr int kListingSearchingBlanks = 84;     // "Searching..." before a listing
constexpr int kQuerySearchingBlanks = 83;       // "Searching..." before a query's files
constexpr int kScanProgressBlanks = 86;         // after "Searching  PATH"
constexpr int kSoleNotProgressBlanks = 84;      // after "Searching  PATH" for a sole N term

// Formats the summary of `mode`, pads or cuts it to 90 characters and shows it; sets the
// list box's horizontal extent; for a stopped expression search lists the flagged files.
void ShowCompletionStatus(std::uint32_t mode);

// Shows `text` followed by `blanks` blanks in the status line ("Ready", "Searching...").
void ShowPaddedStatus(const char* text, int blanks);

// Shows "Searching  " and `path` followed by `blanks` blanks, before a file is scanned.
void ShowScanProgress(const char* path, int blanks);
