// A word starts at a letter that follows a separator; only starts whose letter can begin
// a matching word are looked for (word_starts.h), and each is coded from the read buffer
// where it stands. Whatever lies between them is never looked at one byte at a time:
// the word rules make a word's start depend on the byte before it alone, and its end on
// the first byte that is not a letter. Lines are counted only in a scan that lists
// matches, up to each match and then to the end of each read.
#include "engine/chunk_scanner.h"

#include <cstring>

#include "engine/word_starts.h"

namespace {

std::uint32_t EndOfLetters(const std::uint8_t* bytes, std::uint32_t from, std::uint32_t count) {
  while (from < count && IsWordLetter(bytes[from])) ++from;
  return from;
}

void Carry(ChunkScan* scan, const std::uint8_t* from, std::uint32_t count) {
  const std::uint32_t room = kMaxWordLetters - scan->CarriedLength;
  if (count > room) count = room;
  std::memcpy(scan->Carried + scan->CarriedLength, from, count);
  scan->CarriedLength += count;
}

// Brings the line number up to bytes[upTo] of the read that begins at `offset`.
void CountLines(ChunkScan* scan, const std::uint8_t* bytes, std::uint32_t& countedTo,
                std::uint32_t upTo, std::int64_t offset) {
  if (upTo <= countedTo) return;
  const std::uint32_t lines =
      scan->NoteHighBytes
          ? CountLineFeedsNotingHigh(bytes + countedTo, upTo - countedTo, &scan->SawHighByte)
          : CountLineFeeds(bytes + countedTo, upTo - countedTo);
  if (lines > 0) {
    scan->Line += lines;
    std::uint32_t last = upTo - 1;
    while (bytes[last] != '\n') --last;
    scan->LineStart = offset + last + 1;
  }
  countedTo = upTo;
}

// Hands a match to the listener, on the line counted so far.
int List(ChunkScan* scan, const std::uint8_t* letters, std::uint32_t length, std::int64_t start,
         std::int64_t end, int key) {
  return scan->Listener(scan->Context,
                        {letters, length, start, end, scan->Line, scan->LineStart, key});
}

// A whole word of at most kMaxWordLetters letters, and the byte after it at `end`.
int Evaluate(ChunkScan* scan, const std::uint8_t* letters, std::uint32_t length,
             std::int64_t start, std::int64_t end) {
  const int key = MatchWordKey(*scan->Term, letters, length);
  if (key < 0) return kScanGoOn;
  if (!scan->ListAll) return kScanMatchFound;
  return List(scan, letters, length, start, end, key);
}

// Ends a word carried from earlier reads at the separator at file position `end`.
int EvaluateCarried(ChunkScan* scan, std::int64_t end) {
  scan->Carrying = false;
  const std::uint32_t length = scan->CarriedLength;
  scan->CarriedLength = 0;
  return Evaluate(scan, scan->Carried, length, scan->CarriedStart, end);
}

}  // namespace

void StartChunkScan(ChunkScan* scan, const HeardTerm* term, bool listAll, std::int64_t firstLine,
                    WordListener listener, void* context) {
  scan->Term = term;
  PrepareWordCache(*term);
  scan->ListAll = listAll;
  scan->Listener = listener;
  scan->Context = context;
  scan->Line = firstLine;
  scan->LineStart = 0;
  scan->PreviousByte = ' ';  // the file begins as after a separator
  scan->NoteHighBytes = false;
  scan->SawHighByte = false;
  scan->Carrying = false;
  scan->CarriedLength = 0;
  scan->CarriedStart = 0;
}

int ScanChunk(ChunkScan* scan, const std::uint8_t* bytes, std::uint32_t count,
              std::int64_t offset) {
  if (count == 0) return kScanGoOn;
  std::uint32_t from = 0;
  std::uint32_t countedTo = 0;
  if (scan->Carrying) {
    const std::uint32_t end = EndOfLetters(bytes, 0, count);
    Carry(scan, bytes, end);
    if (end == count) {
      scan->PreviousByte = bytes[count - 1];
      return kScanGoOn;  // the word goes on into the next read
    }
    // A joiner spoils the word; any other byte ends it.
    if (IsJoiner(bytes[end])) {
      scan->Carrying = false;
      scan->CarriedLength = 0;
    } else {
      const int outcome = EvaluateCarried(scan, offset + end);
      if (outcome != kScanGoOn) return outcome;
    }
    from = end;
  }

  for (std::uint32_t window = from; window < count; window += kStartsWindow) {
    const std::uint32_t length = count - window < kStartsWindow ? count - window : kStartsWindow;
    const std::uint8_t before = window > 0 ? bytes[window - 1] : scan->PreviousByte;
    const std::uint32_t found =
        FindWordStarts(bytes + window, length, before, scan->Term->Starts, scan->Starts);
    for (std::uint32_t i = 0; i < found; ++i) {
      const std::uint32_t start = window + scan->Starts[i];
      // Most words are given up at their first letters, before their end is known.
      int key = kWordUndecided;
      if (count - start > kMaxWordLetters) {
        key = MatchWordAt(*scan->Term, bytes + start);
        if (key == -1) continue;
      }
      const std::uint32_t end = EndOfLetters(bytes, start + 1, count);
      if (end == count) {
        // The last word of the read: it may go on in the next. No start can follow it.
        scan->Carrying = true;
        scan->CarriedStart = offset + start;
        Carry(scan, bytes + start, end - start);
        break;
      }
      // A joiner spoils the word.
      if (IsJoiner(bytes[end])) continue;
      const std::uint32_t letters = end - start < kMaxWordLetters ? end - start : kMaxWordLetters;
      if (key == kWordUndecided) key = MatchWordKey(*scan->Term, bytes + start, letters);
      if (key < 0) continue;
      if (!scan->ListAll) return kScanMatchFound;
      CountLines(scan, bytes, countedTo, start, offset);
      const int outcome = List(scan, bytes + start, letters, offset + start, offset + end, key);
      if (outcome != kScanGoOn) return outcome;
    }
    if (scan->Carrying) break;
  }
  if (scan->ListAll) CountLines(scan, bytes, countedTo, count, offset);
  scan->PreviousByte = bytes[count - 1];
  return kScanGoOn;
}

int ScanZeroRun(ChunkScan* scan, std::int64_t offset) {
  scan->PreviousByte = 0;
  if (!scan->Carrying) return kScanGoOn;
  return EvaluateCarried(scan, offset);
}

int FinishChunkScan(ChunkScan* scan, std::int64_t size) {
  if (!scan->Carrying) return kScanGoOn;
  return EvaluateCarried(scan, size);
}
