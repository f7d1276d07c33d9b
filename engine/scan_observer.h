// What a front end may learn of a search beyond its result lines: the file being read and,
// for every listed occurrence, where it stands and which key it matched (tessik-cli's
// progress line, --vimgrep and --json). The thread that starts a search sets the observer
// before the search starts; its functions are called on the search worker.
#pragma once

#include <cstdint>

#include "phonetic/phonetic_key.h"

struct FoundOccurrence {
  const char* Path;          // the full path, as in the file set
  const char* Word;          // the letters as they stand in the file, not terminated
  std::uint32_t WordLength;  // at most 62: longer words are known by their first 62
  std::int64_t Line;         // 1-based, as the result line shows it
  std::int64_t Column;       // 1-based byte column of the word's first letter
  std::int64_t Offset;       // byte offset of the word's first letter in the file
  double Percentage;         // as the result line shows it, before rounding to one decimal
  std::int64_t SizeK;        // as the result line shows it
  PhoneticKey Key;           // the key of the term that the word's key equals
  const char* ResultLine;    // the line as it was listed
};

struct ScanObserver {
  // Before a file is opened, once for each term that reads it.
  void (*FileStarted)(const char* path) = nullptr;
  // After an occurrence was listed in a single-word search.
  void (*OccurrenceListed)(const FoundOccurrence& occurrence) = nullptr;
};

// Replaces the observer; a default-made one observes nothing.
void SetScanObserver(const ScanObserver& observer);
