// The file scanner: reads one file in 64 KiB chunks, cuts it into words and lines,
// codes every word and compares its key with the keys of the query term.
// Search worker only.
#pragma once

#include <cstdint>

#include "engine/search_sink.h"
#include "engine/search_state.h"
#include "engine/sound_method.h"
#include "engine/records_reading.h"
#include "engine/word_reading.h"

// A single-word search lists every occurrence; a term of an expression only asks whether
// the file holds a match, and the scan stops at the first.
enum class ScanMode { ListEveryOccurrence, StopAtFirstMatch };

// Scans `path` for `term`, read by `reading`. Returns true when an occurrence was listed
// (the file read to its end) or a match was found. Each occurrence goes to `sink` and, once
// shown, to the state's ResultList; files that cannot be opened or read go to its
// UnopenedFiles. `listedAsRegularFile`: the folder listing said the path is a regular file
// (OpenFileForScan). `records`: the switch of records and documents is on, and this reads
// GEDCOM files and documents as text (engine/records_reading.h); a document it
// refuses goes to UnopenedFiles and is told to the sink with why (SearchSink::FileRefused).
bool ScanFile(SearchState& state, const char* path, ScanMode scanMode, bool listedAsRegularFile,
              const HeardTerm& term, WordReading& reading, SearchSink& sink,
              RecordsReading* records = nullptr);
