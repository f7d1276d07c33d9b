// The file scanner: opens a file, reads it front to back in 64 KiB chunks into the search's
// read buffer (or, for a large file, looks at it in place, a window at a time, in pieces of
// the same size) and gives each piece to the search's word reading (word_reading.h); in a
// single-word search every match goes to the sink and gets a ResultList entry.
#include "engine/file_scanner.h"

#include <cstdint>
#include <cstring>

#include "engine/search_state.h"
#include "phonetic/given_names.h"
#include "platform/files.h"
#include "platform/thread.h"

namespace {

// The first read of a scan that stops at the first match.
constexpr std::uint32_t kFirstMatchFirstRead = 8192;

// A read failed: the file goes to UnopenedFiles.
constexpr int kScanFailed = -2;

// Records a file that could not be opened or read; the list may be full.
void RecordUnopened(SearchState& state, const char* path, SearchSink& sink) {
  if (state.UnopenedFiles.Add(path) < 0) {
    sink.LeftOut(LeftOutKind::UnopenedNotListed);
  } else {
    sink.FileNotOpened(path);
  }
}

struct Listing {
  SearchState* State;
  const char* Path;
  const HeardTerm* Term;
  SearchSink* Sink;
  std::int64_t Size;
  bool Found;
};

// Hands one match to the sink and gives it its ResultList entry.
int ListOccurrence(void* context, const WordFound& found) {
  Listing& listing = *static_cast<Listing*>(context);
  FoundOccurrence occurrence{
      listing.Path,
      reinterpret_cast<const char*>(found.Letters),
      found.Length,
      found.Line,
      found.Start - found.LineStart + 1,
      found.Start,
      static_cast<double>(found.End) * 100.0 / static_cast<double>(listing.Size),
      listing.Size / 1024,
      {},
      listing.Term->SpellingOfMatch(found.Key)};
  listing.Term->CodeOfMatch(found.Key, occurrence.Code);
  occurrence.Score = listing.Term->ScoreOfMatch(found.Key);
  if (const GivenNameMember* member = listing.Term->EquivalentOfMatch(found.Key)) {
    occurrence.Equivalent = member->Word;
    occurrence.EquivalentKind = GivenNameKindName(member->Kind);
  }
  // The line goes first: a line refused because of a stop gets no entry either, so the
  // shown lines and ResultList stay in step for the window thread's own completion.
  if (listing.Sink->OccurrenceFound(occurrence) < 0 && WorkerCheckpoint() != 0) return kScanStopped;
  listing.Found = true;
  if (listing.State->ResultList.Add(listing.Path) < 0)
    listing.Sink->LeftOut(LeftOutKind::LineWithoutEntry);
  return kScanGoOn;
}

void CloseScanFile(SearchState& state) { CloseFile(state.ScanFileHandle.exchange(kNoFile)); }

// Looks at the open file in place, window after window, for as long as the platform maps
// it and up to the size it had when it was opened; `offset` is then where reading goes on,
// and the read position is there. kScanGoOn unless the scan has ended.
int ViewAndScan(FileHandle file, std::int64_t size, WordReading& reading, std::int64_t& offset) {
  while (offset < size) {
    const std::uint32_t count = size - offset < kViewWindowSize
                                    ? static_cast<std::uint32_t>(size - offset)
                                    : kViewWindowSize;
    const std::uint8_t* window = ViewFileWindow(file, offset, count);
    if (window == nullptr) return kScanGoOn;
    // The same pieces, and the same pause and stop checkpoints, as reads would give.
    int outcome = kScanGoOn;
    for (std::uint32_t done = 0; done < count && outcome == kScanGoOn;) {
      const std::uint32_t piece = count - done < kReadChunkSize ? count - done : kReadChunkSize;
      outcome = reading.Read(window + done, piece, offset + done);
      done += piece;
      if (outcome == kScanGoOn && WorkerCheckpoint() != 0) outcome = kScanStopped;
    }
    const int state = ReleaseFileWindow(file);
    offset += count;
    // A match or a stop stands whatever became of the window after it: zero bytes match
    // nothing, and a stopped scan is not trusted anyway.
    if (outcome != kScanGoOn) return outcome;
    if (state == kWindowFailed) return kScanFailed;
    // The file was cut short: what it lost read as zero bytes, which end a word and count
    // no line, as the end of the file does. The read that follows finds that end.
    if (state == kWindowCut) return kScanGoOn;
  }
  return kScanGoOn;
}

// Reads the open file to its end. kScanGoOn when it was read in full. The holes of a
// sparse file are not read: they hold zero bytes, which end a word and count no line.
int ReadAndScan(FileHandle file, std::int64_t size, std::uint8_t* buffer, WordReading& reading,
                bool listAll) {
  std::int64_t offset = 0;
  const int viewed = ViewAndScan(file, size, reading, offset);
  if (viewed != kScanGoOn) return viewed;
  std::int64_t dataEnd = FileMayHaveHoles(file) ? 0 : INT64_MAX;
  // A scan that stops at the first match often finds it near the start of the file: a
  // smaller first read saves copying the rest of a file read for nothing.
  std::uint32_t readSize = listAll || offset > 0 ? kReadChunkSize : kFirstMatchFirstRead;
  for (;;) {
    if (offset >= dataEnd) {
      const std::int64_t data = SeekToData(file, offset, &dataEnd);
      if (data < 0) return kScanFailed;
      if (data > offset) {
        const int outcome = reading.ReadZeroRun(offset);
        if (outcome != kScanGoOn) return outcome;
        offset = data;
      }
    }
    const std::int64_t got = ReadFileChunk(file, buffer, readSize);
    if (got < 0) return kScanFailed;
    if (got == 0) return reading.Finish(offset);
    const int outcome = reading.Read(buffer, static_cast<std::uint32_t>(got), offset);
    offset += got;
    if (outcome != kScanGoOn) return outcome;
    if (WorkerCheckpoint() != 0) return kScanStopped;
    // A short read that reaches the size the file had when it was opened is its end: no
    // read is spent on learning so. A file that grew meanwhile is read on.
    if (got < readSize && offset >= size) return reading.Finish(offset);
    readSize = kReadChunkSize;
  }
}

}  // namespace

bool ScanFile(SearchState& state, const char* path, ScanMode scanMode, bool listedAsRegularFile,
              const HeardTerm& term, WordReading& reading, SearchSink& sink) {
  std::uint8_t* buffer = state.ReadBuffer.load();
  FileHandle file = buffer != nullptr ? OpenFileForScan(path, listedAsRegularFile) : kInvalidFile;
  state.ScanFileHandle = IsOpenFile(file) ? file : kNoFile;
  if (!IsOpenFile(file)) {
    RecordUnopened(state, path, sink);
    return false;
  }
  Listing listing;
  listing.State = &state;
  listing.Size = GetFileSize64(file);
  if (listing.Size < 0) {
    RecordUnopened(state, path, sink);
    CloseScanFile(state);
    return false;
  }
  if (listing.Size == 0) {
    CloseScanFile(state);
    return false;
  }
  listing.Path = path;
  listing.Term = &term;
  listing.Sink = &sink;
  listing.Found = false;
  const bool listAll = scanMode == ScanMode::ListEveryOccurrence;
  reading.Start(term, listAll, state.FirstLineNumber, ListOccurrence, &listing);
  const int outcome = ReadAndScan(file, listing.Size, buffer, reading, listAll);
  if (outcome == kScanFailed) RecordUnopened(state, path, sink);
  CloseScanFile(state);
  if (outcome == kScanMatchFound) return true;
  if (outcome != kScanGoOn || !listAll) return false;
  state.FilesSearched += 1;
  return listing.Found;
}
