// The file scanner: opens a file, reads it front to back in 64 KiB chunks into the search's
// read buffer (or, for a large file, looks at it in place, a window at a time, in pieces of
// the same size) and gives each piece to the word reading of chunk_scanner.h; in a
// single-word search every match becomes a result line and a ResultList entry.
#include "engine/file_scanner.h"

#include <charconv>
#include <cstdint>
#include <cstring>

#include "engine/chunk_scanner.h"
#include "engine/file_scanner_testing.h"
#include "engine/scan_observer.h"
#include "engine/search_state.h"
#include "phonetic/phonetic_key.h"
#include "platform/files.h"
#include "platform/thread.h"
#include "platform/window.h"

namespace {

// The result line shows this many letters of a word, then "..." for a word this long.
constexpr std::uint32_t kShownWordLetters = 13;
// The result line shows this many characters of a file name, then "..." for one this long.
constexpr std::size_t kShownNameCharacters = 14;
// A result line holds at most this many characters; the rest of a longer one is cut.
constexpr std::size_t kLongestLine = 255;

// The first read of a scan that stops at the first match.
constexpr std::uint32_t kFirstMatchFirstRead = 8192;

// A read failed: the file goes to UnopenedFiles.
constexpr int kScanFailed = -2;

// The number of a file's first line; only tests move it (file_scanner_testing.h).
std::int64_t firstLineNumber = 1;

ScanObserver observer;

// Records a file that could not be opened or read; the list may be full.
void RecordUnopened(const char* path) {
  if (UnopenedFiles.Add(path) < 0) SearchState.UnopenedNotListed += 1;
}

struct Listing {
  const char* Path;
  const TermKeys* Term;
  char DisplayName[kShownNameCharacters + 4];
  std::int64_t Size;
  bool Found;
};

void PrepareDisplayName(Listing& listing) {
  const char* name = listing.Path;
  for (const char* at = listing.Path; *at != 0; ++at) {
    if (*at == '/' || *at == '\\') name = at + 1;
  }
  std::size_t length = std::strlen(name);
  if (length >= kShownNameCharacters) {
    std::memcpy(listing.DisplayName, name, kShownNameCharacters);
    std::memcpy(listing.DisplayName + kShownNameCharacters, "...", 4);
  } else {
    std::memcpy(listing.DisplayName, name, length + 1);
  }
}

// Appends to a line being built; what does not fit is dropped at the end.
struct LineBuilder {
  // Room for the longest number a line can show (a percentage of a file that grew while
  // it was read is not bounded) before the line is cut.
  char Text[1024];
  std::size_t Length = 0;

  void Add(const char* text, std::size_t length) {
    if (length > sizeof Text - 1 - Length) length = sizeof Text - 1 - Length;
    std::memcpy(Text + Length, text, length);
    Length += length;
  }
  void Add(const char* text) { Add(text, std::strlen(text)); }
  template <typename... Format>
  void AddNumber(auto value, Format... format) {
    char digits[400];
    const std::to_chars_result result =
        std::to_chars(digits, digits + sizeof digits, value, format...);
    Add(digits, result.ec == std::errc() ? static_cast<std::size_t>(result.ptr - digits) : 0);
  }
  const char* Finish() {
    if (Length > kLongestLine) Length = kLongestLine;
    Text[Length] = 0;
    return Text;
  }
};

// "word<TAB>file<TAB>line (percent%)<TAB>size K" for one match.
int ListOccurrence(void* context, const WordFound& found) {
  Listing& listing = *static_cast<Listing*>(context);
  const double percentage =
      static_cast<double>(found.End) * 100.0 / static_cast<double>(listing.Size);
  LineBuilder line;
  if (found.Length >= kShownWordLetters) {
    line.Add(reinterpret_cast<const char*>(found.Letters), kShownWordLetters);
    line.Add("...");
  } else {
    line.Add(reinterpret_cast<const char*>(found.Letters), found.Length);
  }
  line.Add("\t");
  line.Add(listing.DisplayName);
  line.Add("\t");
  line.AddNumber(found.Line);
  line.Add(" (");
  line.AddNumber(percentage, std::chars_format::fixed, 1);
  line.Add("%)\t");
  line.AddNumber(listing.Size / 1024);
  line.Add(" K");
  const char* text = line.Finish();
  // The line goes first: a line refused because of a stop gets no entry either, so the
  // list box and ResultList stay in step for the window thread's own completion.
  if (ListBoxAddLine(kResultListBox, text) < 0 && WorkerCheckpoint() != 0) return kScanStopped;
  listing.Found = true;
  if (ResultList.Add(listing.Path) < 0) SearchState.LinesWithoutResultEntry += 1;
  if (observer.OccurrenceListed != nullptr) {
    observer.OccurrenceListed({listing.Path, reinterpret_cast<const char*>(found.Letters),
                               found.Length, found.Line, found.Start - found.LineStart + 1,
                               found.Start, percentage, listing.Size / 1024,
                               listing.Term->Keys[found.Key], text});
  }
  return kScanGoOn;
}

void CloseScanFile() { CloseFile(SearchState.ScanFileHandle.exchange(kNoFile)); }

// Looks at the open file in place, window after window, for as long as the platform maps
// it and up to the size it had when it was opened; `offset` is then where reading goes on,
// and the read position is there. kScanGoOn unless the scan has ended.
int ViewAndScan(FileHandle file, std::int64_t size, ChunkScan& scan, std::int64_t& offset) {
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
      outcome = ScanChunk(&scan, window + done, piece, offset + done);
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
int ReadAndScan(FileHandle file, std::int64_t size, std::uint8_t* buffer, ChunkScan& scan) {
  std::int64_t offset = 0;
  const int viewed = ViewAndScan(file, size, scan, offset);
  if (viewed != kScanGoOn) return viewed;
  std::int64_t dataEnd = FileMayHaveHoles(file) ? 0 : INT64_MAX;
  // A scan that stops at the first match often finds it near the start of the file: a
  // smaller first read saves copying the rest of a file read for nothing.
  std::uint32_t readSize = scan.ListAll || offset > 0 ? kReadChunkSize : kFirstMatchFirstRead;
  for (;;) {
    if (offset >= dataEnd) {
      const std::int64_t data = SeekToData(file, offset, &dataEnd);
      if (data < 0) return kScanFailed;
      if (data > offset) {
        const int outcome = ScanZeroRun(&scan, offset);
        if (outcome != kScanGoOn) return outcome;
        offset = data;
      }
    }
    const std::int64_t got = ReadFileChunk(file, buffer, readSize);
    if (got < 0) return kScanFailed;
    if (got == 0) return FinishChunkScan(&scan, offset);
    const int outcome = ScanChunk(&scan, buffer, static_cast<std::uint32_t>(got), offset);
    offset += got;
    if (outcome != kScanGoOn) return outcome;
    if (WorkerCheckpoint() != 0) return kScanStopped;
    // A short read that reaches the size the file had when it was opened is its end: no
    // read is spent on learning so. A file that grew meanwhile is read on.
    if (got < readSize && offset >= size) return FinishChunkScan(&scan, offset);
    readSize = kReadChunkSize;
  }
}

}  // namespace

void StartLineNumbersAt(std::int64_t first) { firstLineNumber = first; }

void SetScanObserver(const ScanObserver& replacement) { observer = replacement; }

bool ScanFile(const char* path, ScanMode scanMode, bool listedAsRegularFile) {
  if (observer.FileStarted != nullptr) observer.FileStarted(path);
  std::uint8_t* buffer = SearchState.ReadBuffer.load();
  FileHandle file = buffer != nullptr ? OpenFileForScan(path, listedAsRegularFile) : kInvalidFile;
  SearchState.ScanFileHandle = IsOpenFile(file) ? file : kNoFile;
  if (!IsOpenFile(file)) {
    RecordUnopened(path);
    return false;
  }
  Listing listing;
  listing.Size = GetFileSize64(file);
  if (listing.Size < 0) {
    RecordUnopened(path);
    CloseScanFile();
    return false;
  }
  if (listing.Size == 0) {
    CloseScanFile();
    return false;
  }
  TermKeys term;
  PrepareTermKeys(KeyTable, KeyCount, &term);
  listing.Path = path;
  listing.Term = &term;
  listing.Found = false;
  PrepareDisplayName(listing);
  const bool listAll = scanMode == ScanMode::ListEveryOccurrence;
  ChunkScan scan;
  StartChunkScan(&scan, &term, listAll, firstLineNumber, ListOccurrence, &listing);

  const int outcome = ReadAndScan(file, listing.Size, buffer, scan);
  if (outcome == kScanFailed) RecordUnopened(path);
  CloseScanFile();
  if (outcome == kScanMatchFound) return true;
  if (outcome != kScanGoOn || !listAll) return false;
  SearchState.FilesSearched += 1;
  return listing.Found;
}
