// How the words of a file are read: its bytes, read after read, cut into words and lines,
// every word that may match the term coded and compared, each match handed to a listener
// with where it stands. Two readings: the bytes' own (letters A-Z, engine/chunk_scanner.h)
// and the letters of today's encodings (engine/letter_scanner.h). The file scanner uses
// whichever its search chose, never asking which. A reading belongs to one search; search
// worker only (tests: any one thread).
#pragma once

#include <cstdint>
#include <memory>

#include "engine/sound_method.h"

// Outcomes of a read or of the end of the file.
constexpr int kScanGoOn = 0;
constexpr int kScanMatchFound = 1;  // a first-match scan has its answer
constexpr int kScanStopped = -1;    // the listener was told to stop

struct WordFound {
  const std::uint8_t* Letters;  // as the file shows them, not terminated
  std::uint32_t Length;         // in bytes
  std::int64_t Start;           // file position of the first letter
  std::int64_t End;             // file position of the byte after the word
  std::int64_t Line;            // 1-based unless the scan began at another number
  std::int64_t LineStart;       // file position of the first byte of that line
  int Key;                      // index of the term's key that matched
};

// Called for every match of a scan that lists them all; returns kScanGoOn or kScanStopped.
using WordListener = int (*)(void* context, const WordFound& found);

class WordReading {
 public:
  virtual ~WordReading() = default;

  // Begins a file. `listener` is called only when `listAll` is true; else the scan stops
  // at its first match and never counts lines. `term` stays as it is until the file ends.
  virtual void Start(const HeardTerm& term, bool listAll, std::int64_t firstLine,
                     WordListener listener, void* context) = 0;

  // The next `count` bytes of the file, which begin at file position `offset`. The reads
  // follow each other with no gap but the zero runs told below.
  virtual int Read(const std::uint8_t* bytes, std::uint32_t count, std::int64_t offset) = 0;

  // A run of zero bytes at `offset` that is not read (a hole of a sparse file); it ends
  // where the next read begins (or at the size given to Finish).
  virtual int ReadZeroRun(std::int64_t offset) = 0;

  // The end of the file at `size`: a word that runs to the very end is still a word.
  virtual int Finish(std::int64_t size) = 0;

  // In a scan that lists every match, the line the reading stands on after its last read
  // (counted from `firstLine`), or -1 for a reading that does not tell.
  virtual std::int64_t LineAfterReads() const { return -1; }

  // Whether a file that begins with `first` (its first `count` bytes, at most 4) may be
  // read in pieces, each from the start of one of its lines by a reading of its own.
  virtual bool ReadsInPieces(const std::uint8_t* first, std::uint32_t count) const {
    (void)first;
    (void)count;
    return true;
  }

  // Right after Start, for a piece of such a file: the first read is at `offset`, where a
  // line begins, and is read as the reading of the whole file reads it there.
  virtual void StartInside(std::int64_t offset) { (void)offset; }
};

// A reading of each kind, or nullptr when there is no memory for it.
std::unique_ptr<WordReading> MakeByteReading();
std::unique_ptr<WordReading> MakeLetterReading();
