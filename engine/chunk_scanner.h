// One file's bytes, read after read, cut into words and lines: every word that can match
// the term is coded and compared, and each match is handed to a listener with where it
// stands. A word or a line may run from one read into the next. Files, holes and the
// result list are the caller's (file_scanner.cpp); this is the part a test can feed with
// any bytes. Search worker only (tests: any one thread).
#pragma once

#include <cstdint>

#include "engine/word_key.h"

// Outcomes of a read or of the end of the file.
constexpr int kScanGoOn = 0;
constexpr int kScanMatchFound = 1;  // a first-match scan has its answer
constexpr int kScanStopped = -1;    // the listener was told to stop

struct WordFound {
  const std::uint8_t* Letters;  // as they stand in the file, not terminated
  std::uint32_t Length;         // at most kMaxWordLetters
  std::int64_t Start;           // file position of the first letter
  std::int64_t End;             // file position of the byte after the word
  std::int64_t Line;            // 1-based unless the scan began at another number
  std::int64_t LineStart;       // file position of the first byte of that line
  int Key;                      // index of the term's key that matched
};

// Called for every match of a scan that lists them all; returns kScanGoOn or kScanStopped.
using WordListener = int (*)(void* context, const WordFound& found);

// Reads so small that the word starts of one stay near the processor.
constexpr std::uint32_t kStartsWindow = 8192;

struct ChunkScan {
  const HeardTerm* Term;
  bool ListAll;  // false: stop at the first match, and never count lines
  WordListener Listener;
  void* Context;
  std::int64_t Line;
  std::int64_t LineStart;
  std::uint8_t PreviousByte;  // the last byte of the read before
  bool NoteHighBytes;         // line counting notes any byte from 0x80 up in SawHighByte
  bool SawHighByte;
  bool Carrying;              // a word runs on from the read before
  std::uint32_t CarriedLength;
  std::int64_t CarriedStart;
  std::uint8_t Carried[kMaxWordLetters];
  std::uint16_t Starts[kStartsWindow / 2 + 3];
};

// Begins a file. `listener` is called only when `listAll` is true.
void StartChunkScan(ChunkScan* scan, const HeardTerm* term, bool listAll, std::int64_t firstLine,
                    WordListener listener, void* context);

// The next `count` bytes of the file, which begin at file position `offset`.
int ScanChunk(ChunkScan* scan, const std::uint8_t* bytes, std::uint32_t count,
              std::int64_t offset);

// A run of zero bytes at `offset` that is not read (a hole of a sparse file): a zero byte
// is a separator and not a line feed, so only a word running into it is affected.
int ScanZeroRun(ChunkScan* scan, std::int64_t offset);

// The end of the file at `size`: a word that runs to the very end is still a word.
int FinishChunkScan(ChunkScan* scan, std::int64_t size);
