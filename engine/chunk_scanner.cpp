// A word starts at a letter that follows a separator; only starts whose letter can begin
// a matching word are looked for (word_starts.h), and each is coded from the read buffer
// where it stands. Whatever lies between them is never looked at one byte at a time:
// the word rules make a word's start depend on the byte before it alone, and its end on
// the first byte that is not a letter. Lines are counted only in a scan that lists
// matches, up to each match and then to the end of each read.
#include "engine/chunk_scanner.h"

#include <cstring>
#include <new>

#include "engine/word_starts.h"

namespace {

std::uint32_t EndOfLetters(const std::uint8_t* bytes, std::uint32_t from, std::uint32_t count) {
  while (from < count && IsWordLetter(bytes[from])) ++from;
  return from;
}

}  // namespace

void ChunkScan::Carry(const std::uint8_t* from, std::uint32_t count) {
  const std::uint32_t room = kMaxWordLetters - CarriedLength;
  if (count > room) count = room;
  std::memcpy(Carried + CarriedLength, from, count);
  CarriedLength += count;
}

// Brings the line number up to bytes[upTo] of the read that begins at `offset`.
void ChunkScan::CountLines(const std::uint8_t* bytes, std::uint32_t& countedTo, std::uint32_t upTo,
                           std::int64_t offset) {
  if (upTo <= countedTo) return;
  const std::uint32_t lines =
      NoteHigh ? CountLineFeedsNotingHigh(bytes + countedTo, upTo - countedTo, &SawHigh)
               : CountLineFeeds(bytes + countedTo, upTo - countedTo);
  if (lines > 0) {
    Line += lines;
    LineStart = offset + countedTo + LastLineFeed(bytes + countedTo, upTo - countedTo) + 1;
  }
  countedTo = upTo;
}

// Hands a match to the listener, on the line counted so far.
int ChunkScan::List(const std::uint8_t* letters, std::uint32_t length, std::int64_t start,
                    std::int64_t end, int key) {
  return Listener(Context, {letters, length, start, end, Line, LineStart, key});
}

// A whole word of at most kMaxWordLetters letters, and the byte after it at `end`.
int ChunkScan::Evaluate(const std::uint8_t* letters, std::uint32_t length, std::int64_t start,
                        std::int64_t end) {
  const int key = MatchWordKey(*Term, letters, length);
  if (key < 0) return kScanGoOn;
  if (!ListAll) return kScanMatchFound;
  return List(letters, length, start, end, key);
}

// Ends a word carried from earlier reads at the separator at file position `end`.
int ChunkScan::EvaluateCarried(std::int64_t end) {
  Carrying = false;
  const std::uint32_t length = CarriedLength;
  CarriedLength = 0;
  return Evaluate(Carried, length, CarriedStart, end);
}

void ChunkScan::Start(const HeardTerm& term, bool listAll, std::int64_t firstLine,
                      WordListener listener, void* context) {
  Term = &term;
  Cache.Prepare(term);
  ListAll = listAll;
  Listener = listener;
  Context = context;
  Line = firstLine;
  LineStart = 0;
  PreviousByte = ' ';  // the file begins as after a separator
  NoteHigh = false;
  SawHigh = false;
  Carrying = false;
  CarriedLength = 0;
  CarriedStart = 0;
}

int ChunkScan::Read(const std::uint8_t* bytes, std::uint32_t count, std::int64_t offset) {
  if (count == 0) return kScanGoOn;
  std::uint32_t from = 0;
  std::uint32_t countedTo = 0;
  if (Carrying) {
    const std::uint32_t end = EndOfLetters(bytes, 0, count);
    Carry(bytes, end);
    if (end == count) {
      PreviousByte = bytes[count - 1];
      return kScanGoOn;  // the word goes on into the next read
    }
    // A joiner spoils the word; any other byte ends it.
    if (IsJoiner(bytes[end])) {
      Carrying = false;
      CarriedLength = 0;
    } else {
      const int outcome = EvaluateCarried(offset + end);
      if (outcome != kScanGoOn) return outcome;
    }
    from = end;
  }

  for (std::uint32_t window = from; window < count; window += kStartsWindow) {
    const std::uint32_t length = count - window < kStartsWindow ? count - window : kStartsWindow;
    const std::uint8_t before = window > 0 ? bytes[window - 1] : PreviousByte;
    const std::uint32_t found =
        FindWordStarts(bytes + window, length, before, Term->Starts, Starts);
    for (std::uint32_t i = 0; i < found; ++i) {
      const std::uint32_t start = window + Starts[i];
      // Most words are given up at their first letters, before their end is known.
      int key = kWordUndecided;
      if (count - start > kMaxWordLetters) {
        key = Cache.MatchAt(*Term, bytes + start);
        if (key == -1) continue;
      }
      const std::uint32_t end = EndOfLetters(bytes, start + 1, count);
      if (end == count) {
        // The last word of the read: it may go on in the next. No start can follow it.
        Carrying = true;
        CarriedStart = offset + start;
        Carry(bytes + start, end - start);
        break;
      }
      // A joiner spoils the word.
      if (IsJoiner(bytes[end])) continue;
      const std::uint32_t letters = end - start < kMaxWordLetters ? end - start : kMaxWordLetters;
      if (key == kWordUndecided) key = MatchWordKey(*Term, bytes + start, letters);
      if (key < 0) continue;
      if (!ListAll) return kScanMatchFound;
      CountLines(bytes, countedTo, start, offset);
      const int outcome = List(bytes + start, letters, offset + start, offset + end, key);
      if (outcome != kScanGoOn) return outcome;
    }
    if (Carrying) break;
  }
  if (ListAll) CountLines(bytes, countedTo, count, offset);
  PreviousByte = bytes[count - 1];
  return kScanGoOn;
}

int ChunkScan::ReadZeroRun(std::int64_t offset) {
  PreviousByte = 0;
  if (!Carrying) return kScanGoOn;
  return EvaluateCarried(offset);
}

int ChunkScan::Finish(std::int64_t size) {
  if (!Carrying) return kScanGoOn;
  return EvaluateCarried(size);
}

ChunkScanMark ChunkScan::Mark() const {
  ChunkScanMark mark{Line, LineStart, PreviousByte, Carrying, CarriedLength, CarriedStart, {}};
  std::memcpy(mark.Carried, Carried, sizeof mark.Carried);
  return mark;
}

void ChunkScan::ReturnTo(const ChunkScanMark& mark) {
  Line = mark.Line;
  LineStart = mark.LineStart;
  PreviousByte = mark.PreviousByte;
  Carrying = mark.Carrying;
  CarriedLength = mark.CarriedLength;
  CarriedStart = mark.CarriedStart;
  std::memcpy(Carried, mark.Carried, sizeof Carried);
}

int ChunkScan::ReadListing(const std::uint8_t* bytes, std::uint32_t count, std::int64_t offset) {
  const bool listAll = ListAll;
  ListAll = true;
  const int outcome = Read(bytes, count, offset);
  ListAll = listAll;
  return outcome;
}

std::unique_ptr<WordReading> MakeByteReading() {
  return std::unique_ptr<WordReading>(new (std::nothrow) ChunkScan);
}
