// The file scanner. A word is a run of ASCII letters; digits, '^', '_' and '`' join a
// word to what follows and spoil it; every other byte (0x80-0xFF included) separates.
// Each byte is looked at once, through one table that marks only line feeds and the
// letters that can begin a matching word; the letters of a word are coded straight from
// the read buffer, and only a word that runs across two reads is copied.
#include "engine/file_scanner.h"

#include <array>
#include <cinttypes>
#include <cstdio>
#include <cstring>

#include "engine/file_scanner_testing.h"
#include "engine/scan_observer.h"
#include "engine/search_state.h"
#include "phonetic/phonetic_key.h"
#include "platform/files.h"
#include "platform/thread.h"
#include "platform/window.h"

namespace {

// Letters beyond this many are ignored; the word goes on.
constexpr std::uint32_t kMaxWordLetters = 62;
// The result line shows this many letters of a word, then "..." for a word this long.
constexpr std::uint32_t kShownWordLetters = 13;
// The result line shows this many characters of a file name, then "..." for one this long.
constexpr std::size_t kShownNameCharacters = 14;

enum ByteClass : std::uint8_t { kLetter, kJoiner, kSeparator };

constexpr std::array<std::uint8_t, 256> MakeByteClasses() {
  std::array<std::uint8_t, 256> classes{};
  for (int b = 0; b < 256; ++b) classes[b] = kSeparator;
  for (int b = 'A'; b <= 'Z'; ++b) classes[b] = kLetter;
  for (int b = 'a'; b <= 'z'; ++b) classes[b] = kLetter;
  for (int b = '0'; b <= '9'; ++b) classes[b] = kJoiner;
  classes['^'] = kJoiner;
  classes['_'] = kJoiner;
  classes['`'] = kJoiner;
  return classes;
}

constexpr std::array<std::uint8_t, 256> kByteClasses = MakeByteClasses();

// Outcome of looking at a word or a chunk.
constexpr int kGoOn = 0;
constexpr int kMatchFound = 1;  // first-match scan: the answer is known
constexpr int kStopped = -1;    // a stop was requested; the window is not touched again

// What a byte means to the chunk loop: most bytes mean nothing to it.
constexpr std::uint8_t kIgnored = 0;
constexpr std::uint8_t kMayStartWord = 1;  // a letter that can begin a word with one of the keys
constexpr std::uint8_t kCountsLine = 2;    // a line feed, when lines are needed

// What the byte before lets through: after a separator a letter may start a word, after
// a letter or a joiner only a line feed means anything.
constexpr std::array<std::uint8_t, 256> MakeAfterByte() {
  std::array<std::uint8_t, 256> after{};
  for (int b = 0; b < 256; ++b) after[b] = kByteClasses[b] == kSeparator ? 0xFF : kCountsLine;
  return after;
}

constexpr std::array<std::uint8_t, 256> kAfterByte = MakeAfterByte();

// The number of a file's first line; only tests move it (file_scanner_testing.h).
std::int64_t firstLineNumber = 1;

ScanObserver observer;

// Records a file that could not be opened or read; the list may be full.
void RecordUnopened(const char* path) {
  if (UnopenedFiles.Add(path) < 0) SearchState.UnopenedNotListed += 1;
}

struct Scan {
  const char* Path;
  bool CollectAll;
  PhoneticKey Keys[kMaxKeys];
  std::uint32_t KeyCount;
  // A word starts at a letter that follows a separator, so the state of the word
  // reading is only: the byte before this read, and whether a word that may match runs
  // on from it. A word whose first letter cannot give any key of the term is never
  // looked at: it could not match, and it cannot change where the next word starts.
  std::uint8_t Meaning[256];
  char DisplayName[kShownNameCharacters + 4];
  std::int64_t Size;
  std::int64_t Line;  // more than 2^31 line feeds is only a matter of disk space
  std::int64_t LineStart;  // file position of the current line's first byte
  std::int64_t WordStart;  // file position of the first letter of a carried word
  bool Found;
  std::uint8_t PreviousByte;
  bool Carrying;
  // The letters of a word that runs across reads (at most kMaxWordLetters).
  std::uint8_t Carried[kMaxWordLetters];
  std::uint32_t CarriedLength;
};

void PrepareKeys(Scan& scan) {
  std::uint32_t count = KeyCount;
  if (count > static_cast<std::uint32_t>(kMaxKeys)) count = kMaxKeys;
  scan.KeyCount = count;
  std::memcpy(scan.Keys, KeyTable, sizeof(PhoneticKey) * count);

  bool firstLetterCanMatch[26] = {};
  for (std::uint32_t k = 0; k < count; ++k) {
    char lead = scan.Keys[k].Bytes[0];
    if (lead >= 'a' && lead <= 'z') {
      firstLetterCanMatch[lead - 'a'] = true;
      // A leading "ph" codes as f; a leading "ps" also gets a key that begins with s.
      if (lead == 'f' || lead == 's') firstLetterCanMatch['p' - 'a'] = true;
    } else if (lead == '0') {
      for (char vowel : {'a', 'e', 'i', 'o', 'u', 'y'}) firstLetterCanMatch[vowel - 'a'] = true;
    }
  }
  std::memset(scan.Meaning, kIgnored, sizeof scan.Meaning);
  for (int letter = 0; letter < 26; ++letter) {
    if (!firstLetterCanMatch[letter]) continue;
    scan.Meaning['a' + letter] = kMayStartWord;
    scan.Meaning['A' + letter] = kMayStartWord;
  }
  // Only listed occurrences show a line number.
  if (scan.CollectAll) scan.Meaning[static_cast<unsigned char>('\n')] = kCountsLine;
}

void PrepareDisplayName(Scan& scan) {
  const char* name = scan.Path;
  for (const char* at = scan.Path; *at != 0; ++at) {
    if (*at == '/' || *at == '\\') name = at + 1;
  }
  std::size_t length = std::strlen(name);
  if (length >= kShownNameCharacters) {
    std::memcpy(scan.DisplayName, name, kShownNameCharacters);
    std::memcpy(scan.DisplayName + kShownNameCharacters, "...", 4);
  } else {
    std::memcpy(scan.DisplayName, name, length + 1);
  }
}

// Index of the term's key that `key` equals, or -1.
int MatchingKey(const Scan& scan, const PhoneticKey& key) {
  for (std::uint32_t k = 0; k < scan.KeyCount; ++k) {
    if (scan.Keys[k] == key) return static_cast<int>(k);
  }
  return -1;
}

// Lists one occurrence: the line in the result list box, the path in ResultList.
int ListOccurrence(Scan& scan, const std::uint8_t* letters, std::uint32_t length,
                   std::int64_t wordStart, std::int64_t offset, int key) {
  char shown[kShownWordLetters + 4];
  if (length >= kShownWordLetters) {
    std::memcpy(shown, letters, kShownWordLetters);
    std::memcpy(shown + kShownWordLetters, "...", 4);
  } else {
    std::memcpy(shown, letters, length);
    shown[length] = 0;
  }
  double percentage = static_cast<double>(offset) * 100.0 / static_cast<double>(scan.Size);
  char line[256];
  std::snprintf(line, sizeof line, "%s\t%s\t%" PRId64 " (%.1f%%)\t%" PRId64 " K", shown,
                scan.DisplayName, scan.Line, percentage, scan.Size / 1024);
  // The line goes first: a line refused because of a stop gets no entry either, so the
  // list box and ResultList stay in step for the window thread's own completion.
  if (ListBoxAddLine(kResultListBox, line) < 0 && WorkerCheckpoint() != 0) return kStopped;
  scan.Found = true;
  if (ResultList.Add(scan.Path) < 0) SearchState.LinesWithoutResultEntry += 1;
  if (observer.OccurrenceListed != nullptr) {
    observer.OccurrenceListed({scan.Path, reinterpret_cast<const char*>(letters), length,
                               scan.Line, wordStart - scan.LineStart + 1, wordStart, percentage,
                               scan.Size / 1024, scan.Keys[key], line});
  }
  return kGoOn;
}

// Codes one word (its letters as they stand in the file) and compares it with the keys.
// `wordStart` is the position in the file of its first letter, `offset` that of the
// byte after the word.
int EvaluateWord(Scan& scan, const std::uint8_t* letters, std::uint32_t length,
                 std::int64_t wordStart, std::int64_t offset) {
  if (length > kMaxWordLetters) length = kMaxWordLetters;
  if (length < 2) return kGoOn;  // one-letter words are not words here

  char lower[kMaxWordLetters + 1];
  for (std::uint32_t i = 0; i < length; ++i) lower[i] = static_cast<char>(letters[i] | 0x20);
  lower[length] = 0;

  // The spelling reductions of the file side; each rule is tested on the lower-case word,
  // never on what has been written so far.
  char reduced[kMaxWordLetters + 1];
  std::uint32_t written = 0;
  reduced[written++] = (lower[0] == 'p' && lower[1] == 'h') ? 'f' : lower[0];
  for (std::uint32_t i = 1; i < length; ++i) {
    char c = lower[i];
    char previous = lower[i - 1];
    char next = lower[i + 1];  // the terminator after the last letter
    if (c == 'c' && next == 'k') continue;
    if (c == 'c' && (previous == 's' || previous == 'x') &&
        (next == 'e' || next == 'i' || next == 'y')) {
      continue;
    }
    if (c == 's' && previous == 'x') continue;
    reduced[written++] = c;
  }
  reduced[written] = 0;

  int key = MatchingKey(scan, ComputePhoneticKey(reduced, written));
  // "ps" is also heard as a plain s (psalm, psyche).
  if (key < 0 && reduced[0] == 'p' && reduced[1] == 's') {
    key = MatchingKey(scan, ComputePhoneticKey(reduced + 1, written - 1));
  }
  if (key < 0) return kGoOn;
  if (!scan.CollectAll) return kMatchFound;
  return ListOccurrence(scan, letters, length, wordStart, offset, key);
}

void Carry(Scan& scan, const std::uint8_t* from, const std::uint8_t* to) {
  std::size_t room = kMaxWordLetters - scan.CarriedLength;
  std::size_t count = static_cast<std::size_t>(to - from);
  if (count > room) count = room;
  std::memcpy(scan.Carried + scan.CarriedLength, from, count);
  scan.CarriedLength += static_cast<std::uint32_t>(count);
}

std::uint32_t EndOfLetters(const std::uint8_t* bytes, std::uint32_t from, std::uint32_t count) {
  while (from < count && kByteClasses[bytes[from]] == kLetter) ++from;
  return from;
}

// Examines every byte of one read. `chunkOffset` is the file position of its first byte.
int ScanChunk(Scan& scan, const std::uint8_t* bytes, std::uint32_t count,
              std::int64_t chunkOffset) {
  std::uint32_t at = 0;
  std::uint8_t previous = scan.PreviousByte;
  if (scan.Carrying) {
    std::uint32_t end = EndOfLetters(bytes, 0, count);
    Carry(scan, bytes, bytes + end);
    if (end == count) return kGoOn;  // the word goes on into the next read
    scan.Carrying = false;
    std::uint32_t length = scan.CarriedLength;
    scan.CarriedLength = 0;
    if (kByteClasses[bytes[end]] != kJoiner) {
      int outcome = EvaluateWord(scan, scan.Carried, length, scan.WordStart, chunkOffset + end);
      if (outcome != kGoOn) return outcome;
    }
    // The byte that ended the word is looked at below (it may be a line feed).
    at = end;
    if (end > 0) previous = bytes[end - 1];
  }

  // Both lookups of a byte are independent of the byte before's outcome, so the loop
  // branches only at line feeds and at the starts of words that may match.
  const std::uint8_t* meaning = scan.Meaning;
  for (; at < count; ++at) {
    std::uint8_t byte = bytes[at];
    std::uint8_t what = meaning[byte] & kAfterByte[previous];
    previous = byte;
    if (what == kIgnored) continue;
    if (what == kCountsLine) {
      ++scan.Line;
      scan.LineStart = chunkOffset + at + 1;
      continue;
    }
    std::uint32_t end = EndOfLetters(bytes, at + 1, count);
    if (end == count) {
      scan.WordStart = chunkOffset + at;
      Carry(scan, bytes + at, bytes + end);
      scan.Carrying = true;
      scan.PreviousByte = bytes[count - 1];
      return kGoOn;
    }
    // A joiner spoils the word; a separator ends it and is looked at next, so that a
    // line feed counts after the word.
    if (kByteClasses[bytes[end]] != kJoiner) {
      int outcome = EvaluateWord(scan, bytes + at, end - at, chunkOffset + at, chunkOffset + end);
      if (outcome != kGoOn) return outcome;
    }
    at = end - 1;
    previous = bytes[at];
  }
  scan.PreviousByte = bytes[count - 1];
  return kGoOn;
}

void CloseScanFile() { CloseFile(SearchState.ScanFileHandle.exchange(kNoFile)); }

}  // namespace

void StartLineNumbersAt(std::int64_t first) { firstLineNumber = first; }

void SetScanObserver(const ScanObserver& replacement) { observer = replacement; }

bool ScanFile(const char* path, ScanMode scanMode) {
  if (observer.FileStarted != nullptr) observer.FileStarted(path);
  std::uint8_t* buffer = SearchState.ReadBuffer.load();
  FileHandle file = buffer != nullptr ? OpenFileForScan(path) : kInvalidFile;
  SearchState.ScanFileHandle = IsOpenFile(file) ? file : kNoFile;
  if (!IsOpenFile(file)) {
    RecordUnopened(path);
    return false;
  }

  Scan scan;
  scan.Size = GetFileSize64(file);
  if (scan.Size < 0) {
    RecordUnopened(path);
    CloseScanFile();
    return false;
  }
  if (scan.Size == 0) {
    CloseScanFile();
    return false;
  }
  scan.Path = path;
  scan.CollectAll = scanMode == ScanMode::ListEveryOccurrence;
  scan.Line = firstLineNumber;
  scan.LineStart = 0;
  scan.WordStart = 0;
  scan.Found = false;
  scan.PreviousByte = ' ';  // the file begins as after a separator
  scan.Carrying = false;
  scan.CarriedLength = 0;
  PrepareKeys(scan);
  PrepareDisplayName(scan);

  std::int64_t offset = 0;
  for (;;) {
    std::int64_t got = ReadFileChunk(file, buffer, kReadChunkSize);
    if (got < 0) {
      RecordUnopened(path);
      CloseScanFile();
      return false;
    }
    if (got == 0) break;
    int outcome = ScanChunk(scan, buffer, static_cast<std::uint32_t>(got), offset);
    offset += got;
    if (outcome == kMatchFound) {
      CloseScanFile();
      return true;
    }
    if (outcome == kStopped || WorkerCheckpoint() != 0) {
      CloseScanFile();
      return false;
    }
  }

  // A word that ends the file, with nothing after it, is still a word.
  if (scan.Carrying) {
    std::uint32_t length = scan.CarriedLength;
    scan.CarriedLength = 0;
    int outcome = EvaluateWord(scan, scan.Carried, length, scan.WordStart, offset);
    if (outcome == kMatchFound) {
      CloseScanFile();
      return true;
    }
    if (outcome == kStopped) {
      CloseScanFile();
      return false;
    }
  }

  CloseScanFile();
  if (!scan.CollectAll) return false;
  SearchState.FilesSearched += 1;
  return scan.Found;
}
