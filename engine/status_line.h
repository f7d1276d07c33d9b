// Texts of the status line, and the summary when a search ends, is stopped, or a result line is
// deleted. Modes 1 and 4 run on the worker; modes 2 and 3 on the window thread (2 only after the
// worker has ended).
#pragma once

#include <cstdint>

constexpr std::uint32_t kCompletedSearch = 1;
constexpr std::uint32_t kStoppedSearch = 2;
constexpr std::uint32_t kDeletedLine = 3;
constexpr std::uint32_t kCompletedListing = 4;

constexpr int kStatusWidth = 90;

// Formats the summary of `mode`, pads or cuts it to 90 characters and shows it; sets the
// list box's horizontal extent; for a stopped expression search lists the flagged files.
void ShowCompletionStatus(std::uint32_t mode);

// Shows `text` followed by `blanks` blanks in the status line ("Ready", "Searching...").
void ShowPaddedStatus(const char* text, int blanks);

// Shows "Searching  " and `path` followed by `blanks` blanks, before a file is scanned.
void ShowScanProgress(const char* path, int blanks);
