// The byte reading (engine/word_reading.h): words of the letters A-Z a-z, coded where they
// stand in the read. A word or a line may run from one read into the next. Files, holes
// and the result list are the caller's (file_scanner.cpp); this is the part a test can feed
// with any bytes. Search worker only (tests: any one thread).
#pragma once

#include <cstdint>

#include "engine/word_key.h"
#include "engine/word_reading.h"

// Reads so small that the word starts of one stay near the processor.
constexpr std::uint32_t kStartsWindow = 8192;

// Where a byte reading stands between two reads: what a reading built on it takes back to
// read a read again.
struct ChunkScanMark {
  std::int64_t Line;
  std::int64_t LineStart;
  std::uint8_t PreviousByte;
  bool Carrying;
  std::uint32_t CarriedLength;
  std::int64_t CarriedStart;
  std::uint8_t Carried[kMaxWordLetters];
};

class ChunkScan final : public WordReading {
 public:
  void Start(const HeardTerm& term, bool listAll, std::int64_t firstLine, WordListener listener,
             void* context) override;
  int Read(const std::uint8_t* bytes, std::uint32_t count, std::int64_t offset) override;
  // A zero byte is a separator and not a line feed, so only a word running into the run is
  // affected.
  int ReadZeroRun(std::int64_t offset) override;
  int Finish(std::int64_t size) override;
  std::int64_t LineAfterReads() const override { return Line; }

  // What a reading built on this one (the letter reading) asks and sets between reads.
  std::int64_t CurrentLine() const { return Line; }
  std::int64_t CurrentLineStart() const { return LineStart; }
  void MoveToLine(std::int64_t line, std::int64_t lineStart) {
    Line = line;
    LineStart = lineStart;
  }
  std::uint8_t ByteBefore() const { return PreviousByte; }
  // The next read follows `byte` (another reading had the bytes between).
  void ResumeAfter(std::uint8_t byte) { PreviousByte = byte; }
  // A word running on from the last read is another reading's now.
  void DropCarriedWord() {
    Carrying = false;
    CarriedLength = 0;
  }
  // With noting on, a listing scan's line counting notes whether a read holds a byte from
  // 0x80 up (SawHighByte, cleared by ForgetHighByte).
  void NoteHighBytes(bool note) { NoteHigh = note; }
  bool SawHighByte() const { return SawHigh; }
  void ForgetHighByte() { SawHigh = false; }
  ChunkScanMark Mark() const;
  void ReturnTo(const ChunkScanMark& mark);
  // Reads a read as a listing scan does, whatever the scan was started as.
  int ReadListing(const std::uint8_t* bytes, std::uint32_t count, std::int64_t offset);

 private:
  void Carry(const std::uint8_t* from, std::uint32_t count);
  void CountLines(const std::uint8_t* bytes, std::uint32_t& countedTo, std::uint32_t upTo,
                  std::int64_t offset);
  int List(const std::uint8_t* letters, std::uint32_t length, std::int64_t start, std::int64_t end,
           int key);
  int Evaluate(const std::uint8_t* letters, std::uint32_t length, std::int64_t start,
               std::int64_t end);
  int EvaluateCarried(std::int64_t end);

  const HeardTerm* Term;
  bool ListAll;  // false: stop at the first match, and never count lines
  WordListener Listener;
  void* Context;
  std::int64_t Line;
  std::int64_t LineStart;
  std::uint8_t PreviousByte;  // the last byte of the read before
  bool NoteHigh;
  bool SawHigh;
  bool Carrying;  // a word runs on from the read before
  std::uint32_t CarriedLength;
  std::int64_t CarriedStart;
  std::uint8_t Carried[kMaxWordLetters];
  std::uint16_t Starts[kStartsWindow / 2 + 3];
  WordCache Cache;
};
