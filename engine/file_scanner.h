// The file scanner: reads one file in 64 KiB chunks, cuts it into words and lines,
// codes every word and compares its key with the keys of the query term.
// Search worker only.
#pragma once

#include <cstdint>

#include "engine/search_sink.h"
#include "engine/search_state.h"
#include "engine/sound_method.h"
#include "engine/record_text.h"
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

// The three steps of ScanFile, for a file read on another thread (parallel_files.h): the
// reading, which touches neither the state nor the sink; each occurrence it listed; and the
// end, with what it does to the state.

// What became of the reading of a file. Split: not read, to be read in pieces (below).
// Refused: a document the records reading would not read (ReadFileAsRecords).
enum class FileScanEnd { NotOpened, Empty, ReadFailed, Stopped, Matched, ReadToEnd, Split, Refused };

// Reads `path` into `buffer` (kReadChunkSize bytes) with `reading`, each match of a listing
// scan to `listener`; `open` holds the file while it is open, `size` its size from before
// the first read on. A file of `splitFrom` bytes or more (never when 0) that may have no
// holes and that `reading` can read in pieces is not read: Split. Any thread, each with a buffer, reading and term of its own.
FileScanEnd ReadFileForTerm(const char* path, bool listedAsRegularFile, ScanMode scanMode,
                            std::uint8_t* buffer, std::atomic<FileHandle>& open,
                            const HeardTerm& term, WordReading& reading, std::int64_t firstLine,
                            WordListener listener, void* context, std::int64_t& size,
                            std::int64_t splitFrom = 0);

// A match in the text a GEDCOM file or document was read as (engine/record_text.h): the
// word as the reading found it in the text, where it stands in the file, and how far into
// the text it ends (a percentage).
struct PlacedMatch {
  const WordFound* Found;
  TextPlace Place;
  double Percentage;
};
using PlacedListener = int (*)(void* context, const PlacedMatch& match);

// ReadFileForTerm with the switch of records and documents: a document (by its name) or a
// GEDCOM file (by its first line) is read whole into `text`, scanned by the letters of
// `records` and each match of a listing scan given to `placed`; any other file is read by
// `reading`, each match to `listener`, and split as ReadFileForTerm splits it. The
// matches' records point into `text`, which keeps them (and only them) once the scan is
// over. A document refused: Refused, with its refusal (engine/document_refusal.h) in
// `refusal`. Any thread, each with a buffer, readings, text and term of its own.
FileScanEnd ReadFileAsRecords(const char* path, bool listedAsRegularFile, ScanMode scanMode,
                              std::uint8_t* buffer, std::atomic<FileHandle>& open,
                              const HeardTerm& term, WordReading& reading,
                              RecordsReading& records, RecordText& text, std::int64_t firstLine,
                              WordListener listener, PlacedListener placed, void* context,
                              std::int64_t& size, int& refusal, std::int64_t splitFrom = 0);

// A piece of a file, read as its own file would be but for its line numbers (through its
// views, ViewFileWindow, or else by reads into `buffer`, of kReadChunkSize bytes): the piece
// of `pieceSize` bytes from `pieceStart` holds the lines that begin in it. Its reading
// begins after the first line feed at pieceStart - 1 or later (none: the piece is empty) and
// ends after the first line feed at its end - 1 or later, or at the end of the file. Lines are numbered from 0 (a match on the piece's first line has
// LineStart 0), and `lineFeeds` counts the piece's own line feeds (a listing scan), so a
// caller that knows those of the pieces before numbers them as one reading would.
// `stopped` is asked between reads. ReadToEnd, Matched, Stopped or ReadFailed.
FileScanEnd ReadFilePiece(const char* path, bool listedAsRegularFile, ScanMode scanMode,
                          std::int64_t size, std::int64_t pieceStart, std::int64_t pieceSize,
                          std::uint8_t* buffer, std::atomic<FileHandle>& open,
                          const HeardTerm& term, WordReading& reading, WordListener listener,
                          void* context, bool (*stopped)(const void* context),
                          const void* stoppedContext, std::int64_t& readFrom,
                          std::int64_t& lineFeeds);

// Shows one match of `path` (of `size` bytes) as a listing scan does, and gives it its
// ResultList entry; `listed` becomes true once it was shown. kScanGoOn, or kScanStopped.
int HandOverOccurrence(SearchState& state, const char* path, std::int64_t size,
                       const HeardTerm& term, const WordFound& found, bool& listed,
                       SearchSink& sink);

// The same for a placed match (ReadFileAsRecords); `size` is the file's.
int HandOverPlaced(SearchState& state, const char* path, std::int64_t size, const HeardTerm& term,
                   const PlacedMatch& match, bool& listed, SearchSink& sink);

// ScanFile's answer for a file whose reading ended as `end`, after its occurrences were
// handed over (`listed`: one was shown); records a file not opened or not read (and tells
// why a document was refused: `refusal`), and counts a file read to its end by a listing
// scan.
bool EndFileScan(SearchState& state, const char* path, ScanMode scanMode, FileScanEnd end,
                 bool listed, SearchSink& sink, int refusal = 0);
