// The file scanner: opens a file, reads it front to back in 64 KiB chunks into the search's
// read buffer (or, for a large file, looks at it in place, a window at a time, in pieces of
// the same size) and gives each piece to the search's word reading (word_reading.h); in a
// single-word search every match goes to the sink and gets a ResultList entry.
#include "engine/file_scanner.h"

#include <cstdint>
#include <cstring>

#include "engine/document_refusal.h"
#include "engine/document_text.h"
#include "engine/gedcom_text.h"
#include "engine/record_text.h"
#include "engine/records_reading.h"
#include "engine/search_state.h"
#include "engine/word_starts.h"
#include "phonetic/given_names.h"
#include "platform/files.h"
#include "platform/thread.h"

namespace {

// The first read of a scan that stops at the first match.
constexpr std::uint32_t kFirstMatchFirstRead = 8192;

// A read failed: the file goes to UnopenedFiles.
constexpr int kScanFailed = -2;
// The most of a GEDCOM file read whole; a larger one is read as any file.
constexpr std::int64_t kMostRecordsBytes = kMostArchiveBytes;
// A file to be read in pieces (ReadFileAsRecords), not read yet.
constexpr int kScanSplit = -3;
// A document refused (engine/document_refusal.h): kScanRefused + its refusal.
constexpr int kScanRefused = -100;
bool IsRefusal(int outcome) {
  return outcome <= kScanRefused + kDocumentBroken && outcome >= kScanRefused + kDocumentNoMemory;
}

// Records a file that could not be opened or read; the list may be full.
void RecordUnopened(SearchState& state, const char* path, SearchSink& sink) {
  if (state.UnopenedFiles.Add(path) < 0) {
    sink.LeftOut(LeftOutKind::UnopenedNotListed);
  } else {
    sink.FileNotOpened(path);
  }
}

// Gives a match its code, score and equivalent, shows it and gives it its ResultList entry.
int ShowOccurrence(SearchState& state, const char* path, const HeardTerm& term,
                   const WordFound& found, FoundOccurrence& occurrence, bool& listed,
                   SearchSink& sink) {
  term.CodeOfMatch(found.Key, occurrence.Code);
  occurrence.Score = term.ScoreOfMatch(found.Key);
  if (const GivenNameMember* member = term.EquivalentOfMatch(found.Key)) {
    occurrence.Equivalent = member->Word;
    occurrence.EquivalentKind = GivenNameKindName(member->Kind);
  }
  // The line goes first: a line refused because of a stop gets no entry either, so the
  // shown lines and ResultList stay in step for the window thread's own completion.
  if (sink.OccurrenceFound(occurrence) < 0 && WorkerCheckpoint() != 0) return kScanStopped;
  listed = true;
  if (state.ResultList.Add(path) < 0) sink.LeftOut(LeftOutKind::LineWithoutEntry);
  return kScanGoOn;
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
  return HandOverOccurrence(*listing.State, listing.Path, listing.Size, *listing.Term, found,
                            listing.Found, *listing.Sink);
}

// Hands one match in the text a file was read as to the sink.
int ListPlaced(void* context, const PlacedMatch& match) {
  Listing& listing = *static_cast<Listing*>(context);
  return HandOverPlaced(*listing.State, listing.Path, listing.Size, *listing.Term, match,
                        listing.Found, *listing.Sink);
}

// The scan of the text a file was read as: each match is placed in the file, and how far
// into the file it ends is how far into the text.
struct Placing {
  const RecordText* Text;
  PlacedListener Placed;
  void* Context;
};

int PlaceMatch(void* context, const WordFound& found) {
  const Placing& placing = *static_cast<const Placing*>(context);
  const RecordText& text = *placing.Text;
  const PlacedMatch match{
      &found, PlaceInFile(text, found.Start, found.Line, found.LineStart),
      static_cast<double>(found.End) * 100.0 / static_cast<double>(text.Text.size())};
  return placing.Placed(placing.Context, match);
}

void CloseScanFile(std::atomic<FileHandle>& open) { CloseFile(open.exchange(kNoFile)); }

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
                bool listAll, std::int64_t offset = 0) {
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

// The first bytes a file is read for to tell a GEDCOM file: its header's first line.
constexpr std::uint32_t kRecordsSniff = 4096;

// Appends the rest of the open file to `whole`, which holds what was read of it before.
int ReadWhole(FileHandle file, std::uint8_t* buffer, std::string& whole) {
  for (;;) {
    const std::int64_t got = ReadFileChunk(file, buffer, kReadChunkSize);
    if (got < 0) return kScanFailed;
    if (got == 0) return kScanGoOn;
    if (static_cast<std::int64_t>(whole.size()) + got > kMostRecordsBytes)
      return kScanRefused + kDocumentTooLarge;
    whole.append(reinterpret_cast<const char*>(buffer), static_cast<std::size_t>(got));
    if (WorkerCheckpoint() != 0) return kScanStopped;
  }
}

// Scans the text a file was read as with the records reading, read after read.
int ScanConverted(const RecordText& text, WordReading& records, const HeardTerm& term, bool listAll,
                  Placing& placing) {
  placing.Text = &text;
  records.Start(term, listAll, 1, PlaceMatch, &placing);
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.Text.data());
  const std::int64_t size = static_cast<std::int64_t>(text.Text.size());
  for (std::int64_t offset = 0; offset < size; offset += kReadChunkSize) {
    const std::uint32_t count = size - offset < kReadChunkSize
                                    ? static_cast<std::uint32_t>(size - offset)
                                    : kReadChunkSize;
    const int outcome = records.Read(bytes + offset, count, offset);
    if (outcome != kScanGoOn) return outcome;
    if (WorkerCheckpoint() != 0) return kScanStopped;
  }
  return records.Finish(size);
}

// Scans the text a file was read as; in a scan that stops at the first match (a term of an
// expression, after which another may read the file again), it is kept for the next one.
int ScanRead(RecordText& text, const char* path, RecordsReading& records, const HeardTerm& term,
             bool listAll, Placing& placing) {
  const RecordText* kept = listAll ? nullptr : records.Texts->Keep(path, &text);
  return ScanConverted(kept != nullptr ? *kept : text, *records.Letters, term, listAll, placing);
}

// With the switch of records and documents: a document (by its name) or a GEDCOM file (by
// its first line) is read whole, turned into `text` and scanned by `records`; any other file
// is given to `reading` from its first bytes on, or not read when it is to be read in pieces
// (kScanSplit: one of `splitFrom` bytes or more, as ReadFileForTerm tells). A text already
// read for another term is scanned again as it is. The outcome of the scan, a refusal of the
// document (kScanRefused + its refusal), or kScanFailed.
int ScanAsRecords(FileHandle file, const char* path, std::int64_t size, std::uint8_t* buffer,
                  WordReading& reading, RecordsReading& records, RecordText& text,
                  const HeardTerm& term, bool listAll, Placing& placing, std::int64_t splitFrom) {
  int refusal = 0;
  if (const RecordText* kept = records.Texts->Find(path, &refusal))
    return ScanConverted(*kept, *records.Letters, term, listAll, placing);
  if (refusal != 0) return kScanRefused + refusal;
  std::string whole;
  const DocumentKind kind = DocumentKindOfPath(path);
  if (kind != DocumentKind::kNone) {
    if (size > kMostArchiveBytes) return kScanRefused + kDocumentTooLarge;
    whole.reserve(static_cast<std::size_t>(size));
    const int read = ReadWhole(file, buffer, whole);
    if (read != kScanGoOn) return read;
    const int converted = ReadDocumentText(
        kind, reinterpret_cast<const std::uint8_t*>(whole.data()), whole.size(), &text);
    if (converted != kDocumentRead) {
      if (!listAll) records.Texts->KeepRefusal(path, converted);
      return kScanRefused + converted;
    }
    whole = std::string();
    return ScanRead(text, path, records, term, listAll, placing);
  }
  const std::int64_t got = ReadFileChunk(file, buffer, kRecordsSniff);
  if (got < 0) return kScanFailed;
  if (got == 0) return reading.Finish(0);
  if (size <= kMostRecordsBytes && LooksLikeGedcom(buffer, static_cast<std::size_t>(got))) {
    whole.assign(reinterpret_cast<const char*>(buffer), static_cast<std::size_t>(got));
    const int read = ReadWhole(file, buffer, whole);
    if (IsRefusal(read)) return kScanFailed;  // it grew past the bound meanwhile
    if (read != kScanGoOn) return read;
    ReadGedcomText(reinterpret_cast<const std::uint8_t*>(whole.data()), whole.size(), &text);
    whole = std::string();
    return ScanRead(text, path, records, term, listAll, placing);
  }
  const auto told = static_cast<std::uint32_t>(got < 4 ? got : 4);
  if (splitFrom > 0 && size >= splitFrom && !FileMayHaveHoles(file) &&
      reading.ReadsInPieces(buffer, told))
    return kScanSplit;
  const int outcome = reading.Read(buffer, static_cast<std::uint32_t>(got), 0);
  if (outcome != kScanGoOn) return outcome;
  if (WorkerCheckpoint() != 0) return kScanStopped;
  return ReadAndScan(file, size, buffer, reading, listAll, got);
}

}  // namespace

int HandOverOccurrence(SearchState& state, const char* path, std::int64_t size,
                       const HeardTerm& term, const WordFound& found, bool& listed,
                       SearchSink& sink) {
  FoundOccurrence occurrence{path,
                             reinterpret_cast<const char*>(found.Letters),
                             found.Length,
                             found.Line,
                             found.Start - found.LineStart + 1,
                             found.Start,
                             static_cast<double>(found.End) * 100.0 / static_cast<double>(size),
                             size / 1024,
                             {},
                             term.SpellingOfMatch(found.Key)};
  return ShowOccurrence(state, path, term, found, occurrence, listed, sink);
}

int HandOverPlaced(SearchState& state, const char* path, std::int64_t size, const HeardTerm& term,
                   const PlacedMatch& match, bool& listed, SearchSink& sink) {
  const WordFound& found = *match.Found;
  FoundOccurrence occurrence{path,
                             reinterpret_cast<const char*>(found.Letters),
                             found.Length,
                             match.Place.Line,
                             match.Place.Column,
                             match.Place.FileOffset,
                             match.Percentage,
                             size / 1024,
                             {},
                             term.SpellingOfMatch(found.Key)};
  occurrence.ColumnDecoded = true;
  occurrence.Record = match.Place.Record;
  return ShowOccurrence(state, path, term, found, occurrence, listed, sink);
}

// How a file's scan ended, from the reading's last outcome.
static FileScanEnd ScanEndOf(int outcome) {
  switch (outcome) {
    case kScanFailed:
      return FileScanEnd::ReadFailed;
    case kScanMatchFound:
      return FileScanEnd::Matched;
    case kScanGoOn:
      return FileScanEnd::ReadToEnd;
    case kScanSplit:
      return FileScanEnd::Split;
    default:
      return FileScanEnd::Stopped;
  }
}

// Opens `path` to be read with `buffer`, into `file` and `open`, and takes its size:
// ReadToEnd when there is something to read, else NotOpened or Empty, the file closed.
static FileScanEnd OpenToRead(const char* path, bool listedAsRegularFile,
                              const std::uint8_t* buffer, std::atomic<FileHandle>& open,
                              FileHandle& file, std::int64_t& size) {
  file = buffer != nullptr ? OpenFileForScan(path, listedAsRegularFile) : kInvalidFile;
  open = IsOpenFile(file) ? file : kNoFile;
  if (!IsOpenFile(file)) return FileScanEnd::NotOpened;
  size = GetFileSize64(file);
  if (size > 0) return FileScanEnd::ReadToEnd;
  CloseScanFile(open);
  return size < 0 ? FileScanEnd::NotOpened : FileScanEnd::Empty;
}

FileScanEnd ReadFileForTerm(const char* path, bool listedAsRegularFile, ScanMode scanMode,
                            std::uint8_t* buffer, std::atomic<FileHandle>& open,
                            const HeardTerm& term, WordReading& reading, std::int64_t firstLine,
                            WordListener listener, void* context, std::int64_t& size,
                            std::int64_t splitFrom) {
  FileHandle file;
  const FileScanEnd opened = OpenToRead(path, listedAsRegularFile, buffer, open, file, size);
  if (opened != FileScanEnd::ReadToEnd) return opened;
  const bool listAll = scanMode == ScanMode::ListEveryOccurrence;
  // A file to be read in pieces, if its reading can read it so: its first bytes tell.
  std::int64_t firstRead = 0;
  if (splitFrom > 0 && size >= splitFrom && !FileMayHaveHoles(file)) {
    const std::uint8_t* first = ViewFileWindow(
        file, 0, size < kViewWindowSize ? static_cast<std::uint32_t>(size) : kViewWindowSize);
    std::int64_t known = size;
    if (first == nullptr) {  // not viewed: read, and kept for the reading if not split
      firstRead = ReadFileChunk(file, buffer, kReadChunkSize);
      first = buffer;
      known = firstRead;
    }
    const auto told = static_cast<std::uint32_t>(known < 4 ? known : 4);
    if (known > 0 && reading.ReadsInPieces(first, told)) {
      CloseScanFile(open);
      return FileScanEnd::Split;
    }
  }
  reading.Start(term, listAll, firstLine, listener, context);
  int outcome = kScanGoOn;
  if (firstRead < 0) {
    outcome = kScanFailed;
  } else if (firstRead > 0) {
    outcome = reading.Read(buffer, static_cast<std::uint32_t>(firstRead), 0);
    if (outcome == kScanGoOn)
      outcome = ReadAndScan(file, size, buffer, reading, listAll, firstRead);
  } else {
    outcome = ReadAndScan(file, size, buffer, reading, listAll);
  }
  CloseScanFile(open);
  return ScanEndOf(outcome);
}

FileScanEnd ReadFileAsRecords(const char* path, bool listedAsRegularFile, ScanMode scanMode,
                              std::uint8_t* buffer, std::atomic<FileHandle>& open,
                              const HeardTerm& term, WordReading& reading,
                              RecordsReading& records, RecordText& text, std::int64_t firstLine,
                              WordListener listener, PlacedListener placed, void* context,
                              std::int64_t& size, int& refusal, std::int64_t splitFrom) {
  refusal = kDocumentRead;
  text.Clear();
  FileHandle file;
  const FileScanEnd opened = OpenToRead(path, listedAsRegularFile, buffer, open, file, size);
  if (opened != FileScanEnd::ReadToEnd) return opened;
  const bool listAll = scanMode == ScanMode::ListEveryOccurrence;
  reading.Start(term, listAll, firstLine, listener, context);
  Placing placing{nullptr, placed, context};
  const int outcome = ScanAsRecords(file, path, size, buffer, reading, records, text, term,
                                    listAll, placing, splitFrom);
  CloseScanFile(open);
  // What the matches point to stays; the text itself is done with.
  text.Text = std::string();
  text.Anchors = std::vector<TextAnchor>();
  if (IsRefusal(outcome)) {
    refusal = outcome - kScanRefused;
    return FileScanEnd::Refused;
  }
  return ScanEndOf(outcome);
}

namespace {

// The bytes of the open file from `position` on, [windowStart, windowEnd): when `view`, the
// window of the viewed file that holds it, else (or when the file is not viewed) a read into
// `buffer` (windowEnd is `position` when the file ends there, before `size`). nullptr when
// neither could be had. A few bytes are read rather than viewed: a window is mapped whole,
// and unmapping it, while other threads of the search run, interrupts each of them.
const std::uint8_t* BytesAt(FileHandle file, std::int64_t size, std::int64_t position,
                            bool view, std::uint8_t* buffer, std::int64_t& windowStart,
                            std::int64_t& windowEnd) {
  windowStart = position - position % kViewWindowSize;
  windowEnd = size - windowStart < kViewWindowSize ? size : windowStart + kViewWindowSize;
  const std::uint8_t* window =
      view ? ViewFileWindow(file, windowStart, static_cast<std::uint32_t>(windowEnd - windowStart))
           : nullptr;
  if (window != nullptr) return window;
  const std::int64_t got = ReadFileChunkAt(
      file, buffer,
      size - position < kReadChunkSize ? static_cast<std::uint32_t>(size - position)
                                       : kReadChunkSize,
      position);
  if (got < 0) return nullptr;
  windowStart = position;
  windowEnd = position + got;
  return buffer;
}

// Where the piece's reading begins: after the first line feed in [from, to), or -1. 0 for
// the first piece. kScanFailed when the bytes could not be had.
std::int64_t FirstLineOfPiece(FileHandle file, std::int64_t size, std::uint8_t* buffer,
                              std::int64_t pieceStart, std::int64_t to) {
  if (pieceStart == 0) return 0;
  std::int64_t position = pieceStart - 1;
  while (position < to) {
    std::int64_t windowStart, windowEnd;
    const std::uint8_t* window =
        BytesAt(file, size, position, false, buffer, windowStart, windowEnd);
    if (window == nullptr) return kScanFailed;
    if (windowEnd == position) return -1;  // the file ended before its size
    const std::int64_t end = windowEnd < to ? windowEnd : to;
    const void* feed = std::memchr(window + (position - windowStart), '\n',
                                   static_cast<std::size_t>(end - position));
    const std::int64_t found =
        feed != nullptr ? windowStart + (static_cast<const std::uint8_t*>(feed) - window) : -1;
    if (ReleaseFileWindow(file) != kWindowWhole) return kScanFailed;
    if (found >= 0) return found + 1;
    position = end;
  }
  return -1;
}

}  // namespace

FileScanEnd ReadFilePiece(const char* path, bool listedAsRegularFile, ScanMode scanMode,
                          std::int64_t size, std::int64_t pieceStart, std::int64_t pieceSize,
                          std::uint8_t* buffer, std::atomic<FileHandle>& open,
                          const HeardTerm& term, WordReading& reading, WordListener listener,
                          void* context, bool (*stopped)(const void* context),
                          const void* stoppedContext, std::int64_t& readFrom,
                          std::int64_t& lineFeeds) {
  readFrom = -1;
  lineFeeds = 0;
  const FileHandle file = OpenFileForScan(path, listedAsRegularFile);
  if (!IsOpenFile(file)) return FileScanEnd::ReadFailed;
  open = file;
  const std::int64_t pieceEnd = size - pieceStart < pieceSize ? size : pieceStart + pieceSize;
  const std::int64_t first = FirstLineOfPiece(file, size, buffer, pieceStart, pieceEnd - 1);
  if (first == kScanFailed) {
    CloseScanFile(open);
    return FileScanEnd::ReadFailed;
  }
  if (first < 0) {  // no line begins in the piece
    CloseScanFile(open);
    return FileScanEnd::ReadToEnd;
  }
  readFrom = first;
  const bool listAll = scanMode == ScanMode::ListEveryOccurrence;
  reading.Start(term, listAll, 0, listener, context);
  if (first > 0) reading.StartInside(first);
  // A listing scan counts every line as it reads; a reading that tells its line is not
  // counted again here.
  const bool readingCounts = reading.LineAfterReads() >= 0;
  // The first line feed from here on ends the piece.
  const std::int64_t endsFrom = pieceEnd - 1;
  std::int64_t position = first;
  std::int64_t fileEnd = size;
  int outcome = kScanGoOn;
  bool ended = false;
  while (outcome == kScanGoOn && !ended && position < fileEnd) {
    std::int64_t windowStart, windowEnd;
    // The end of the piece's last line, past the piece, is read.
    const std::uint8_t* window =
        BytesAt(file, size, position, position < pieceEnd, buffer, windowStart, windowEnd);
    if (window == nullptr) {
      outcome = kScanFailed;
      break;
    }
    if (windowEnd == position) fileEnd = position;  // the file ended before its size
    while (outcome == kScanGoOn && !ended && position < windowEnd) {
      const std::uint8_t* bytes = window + (position - windowStart);
      std::uint32_t count = windowEnd - position < kReadChunkSize
                                ? static_cast<std::uint32_t>(windowEnd - position)
                                : kReadChunkSize;
      if (position + count > endsFrom) {
        const std::int64_t from = position > endsFrom ? position : endsFrom;
        const void* feed = std::memchr(window + (from - windowStart), '\n',
                                       static_cast<std::size_t>(position + count - from));
        if (feed != nullptr) {
          count = static_cast<std::uint32_t>(static_cast<const std::uint8_t*>(feed) - bytes) + 1;
          ended = true;
        }
      }
      if (listAll && !readingCounts) lineFeeds += CountLineFeeds(bytes, count);
      outcome = reading.Read(bytes, count, position);
      position += count;
      if (outcome == kScanGoOn && !ended && stopped(stoppedContext)) outcome = kScanStopped;
    }
    const int release = ReleaseFileWindow(file);
    if (outcome == kScanGoOn && release != kWindowWhole) outcome = kScanFailed;
  }
  // A piece that runs to the end of the file ends as the file does.
  if (outcome == kScanGoOn && !ended) outcome = reading.Finish(fileEnd);
  if (listAll && readingCounts && outcome == kScanGoOn) lineFeeds = reading.LineAfterReads();
  CloseScanFile(open);
  return ScanEndOf(outcome);
}

bool EndFileScan(SearchState& state, const char* path, ScanMode scanMode, FileScanEnd end,
                 bool listed, SearchSink& sink, int refusal) {
  switch (end) {
    case FileScanEnd::NotOpened:
    case FileScanEnd::ReadFailed:
      RecordUnopened(state, path, sink);
      return false;
    case FileScanEnd::Refused:
      RecordUnopened(state, path, sink);
      sink.FileRefused(path, DocumentRefusalText(refusal));
      return false;
    case FileScanEnd::Matched:
      return true;
    case FileScanEnd::ReadToEnd:
      if (scanMode != ScanMode::ListEveryOccurrence) return false;
      state.FilesSearched += 1;
      return listed;
    case FileScanEnd::Empty:
    case FileScanEnd::Stopped:
    case FileScanEnd::Split:
      break;
  }
  return false;
}

bool ScanFile(SearchState& state, const char* path, ScanMode scanMode, bool listedAsRegularFile,
              const HeardTerm& term, WordReading& reading, SearchSink& sink,
              RecordsReading* records) {
  Listing listing{&state, path, &term, &sink, 0, false};
  if (records != nullptr) {
    RecordText text;
    int refusal = kDocumentRead;
    const FileScanEnd end = ReadFileAsRecords(
        path, listedAsRegularFile, scanMode, state.ReadBuffer.load(), state.ScanFileHandle, term,
        reading, *records, text, state.FirstLineNumber, ListOccurrence, ListPlaced, &listing,
        listing.Size, refusal);
    return EndFileScan(state, path, scanMode, end, listing.Found, sink, refusal);
  }
  const FileScanEnd end =
      ReadFileForTerm(path, listedAsRegularFile, scanMode, state.ReadBuffer.load(),
                      state.ScanFileHandle, term, reading, state.FirstLineNumber, ListOccurrence,
                      &listing, listing.Size);
  return EndFileScan(state, path, scanMode, end, listing.Found, sink);
}
