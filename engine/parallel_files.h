// The files of one pass of a search read on several threads, with exactly the answers of
// one: helper threads read the files ahead, each file into a bounded record of its own, and
// the thread that runs the search takes the records in the pass's order and hands them to
// the sink and the state as its own scan of that file would (file_scanner.h); a file due
// that no helper has taken yet it reads itself, and while it waits for a helper's file it
// reads the next untaken file ahead into that file's record.
// The thread that runs the search only; the helpers are its own and end with the object.
//
// With the switch of records and documents, each helper has a records reading of its own as
// well: a GEDCOM file or document is one item, read whole by one reader, its matches kept
// placed in the file (file_scanner.h, ReadFileAsRecords) and its record holding the GEDCOM
// records' names they point to until the search takes the next item into it; a document
// refused is told with why, where one thread tells it.
//
// A large file is read in pieces at once, by helpers of its own, each piece into a record
// (the pass's helpers go on with the files ahead, as far as their records reach); the
// pieces' records are taken in the file's order.
//
// Memory: at most kRecordsPerHelper files ahead per helper are read or held, each record
// holding at most kRecordOccurrences occurrences, and 16 bytes of their words for each
// (about 12 KB), before its helper waits for the search to take them (about 100 KB of
// records a helper). The pieces of a file are read at most kPieceRecordsPerHelper a helper
// ahead, with kPieceRecordOccurrences occurrences each (about 200 KB): a piece holds far more
// matches than a small file, and its helper should not wait while the search reads a piece
// of its own (about 400 KB of records a helper, and two more records for the search's own
// reading ahead). Each helper
// has a read buffer of kReadChunkSize bytes, a reading and a term. While a file is read in
// pieces, both sets of helpers and records exist. With the switch of records and documents,
// each reader (helper or search) holds at most one GEDCOM file or document whole at a time,
// with its text, as one thread does, and each record keeps the GEDCOM records' names of its
// file until the search has taken it.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "engine/file_scanner.h"
#include "engine/records_reading.h"
#include "engine/search_sink.h"
#include "engine/search_state.h"
#include "engine/sound_method.h"
#include "engine/word_reading.h"

constexpr std::uint32_t kRecordOccurrences = 128;
// Files (or pieces) each helper may read ahead of the one whose results are being handed over.
constexpr std::uint32_t kRecordsPerHelper = 8;
constexpr std::uint32_t kPieceRecordOccurrences = 2048;
constexpr std::uint32_t kPieceRecordsPerHelper = 2;

// How the helpers of a pass read: how many there are, and how each makes the term and the
// reading of its own (a term keeps caches as it reads, so no two threads share one).
struct HelperReading {
  int Helpers = 0;
  std::function<std::unique_ptr<HeardTerm>()> HearTerm;
  std::function<std::unique_ptr<WordReading>()> MakeReading;
  // With the switch of records and documents: each helper's records reading (sharing the
  // texts kept with the search's own); empty without it.
  std::function<std::unique_ptr<RecordsReading>()> MakeRecords;
  std::int64_t FirstLine = 1;
  // A file of at least two pieces of this size that the platform can view, and that the
  // reading can read in pieces (WordReading::ReadsInPieces), is read in pieces by the
  // helpers at once (0: never).
  std::int64_t PieceSize = 0;
};

class FileReaders {
 public:
  FileReaders();
  ~FileReaders();
  FileReaders(const FileReaders&) = delete;
  FileReaders& operator=(const FileReaders&) = delete;

  // Starts reading the FileSet entries `indexes` (in this order; the caller keeps them
  // until the object goes) in `scanMode`. The paths are copied as the files come due, so
  // an entry may be removed once its file has been taken with Next. 0, or -1 when no
  // helper could be started (the caller then reads the files itself).
  int Start(SearchState& state, const HelperReading& how, ScanMode scanMode,
            const std::uint32_t* indexes, std::uint32_t count);
  // Starts reading the pieces of the file `path` of `size` bytes (HelperReading::PieceSize).
  int StartPieces(const HelperReading& how, ScanMode scanMode, const char* path, bool marked,
                  std::int64_t size);

  // The next file's answer, as ScanFile gives it (`term` tells its matches), with its
  // occurrences, files not opened and counts handed over as ScanFile would: 1 found, 0 not
  // found, -1 on a stop.
  // A file (or piece) that no helper has taken yet when it is due is read here by
  // `reading` (and `records`, the search's own when the helpers have theirs), as one thread
  // reads it; so is a file to be read in pieces when no helper can be had for them.
  int Next(SearchState& state, const HeardTerm& term, WordReading& reading, SearchSink& sink,
           RecordsReading* records = nullptr);

  struct Shared;  // what the helpers and the search share

 private:
  void Stop();
  int StartHelpers(const HelperReading& how, SearchState* state);
  int ReadInPieces(SearchState& state, const HeardTerm& term, WordReading& reading,
                   SearchSink& sink, const char* path, bool marked, std::int64_t size,
                   bool& listed, FileScanEnd& end);
  // Reads the due item's file here, handing its matches over at once.
  FileScanEnd ReadHere(SearchState& state, const HeardTerm& term, WordReading& reading,
                       RecordsReading* records, SearchSink& sink, std::uint32_t item,
                       bool& listed);

  const HelperReading* how_ = nullptr;

  std::unique_ptr<Shared> shared_;
};
