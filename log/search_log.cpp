// The search log: a header with the search text and the counts, one line per result,
// the files that could not be opened, and an end banner. The pieces are gathered into
// blocks, each of which goes to the file in one write; a piece is never cut: the buffers
// hold the longest one, and a block takes a piece only whole.
#include "log/search_log.h"

#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <new>
#include <string>
#include <string_view>

#include "engine/string_list.h"
#include "platform/files.h"

namespace {

constexpr const char* kErrorTitle = " Error";
constexpr const char* kCreateFailed = " System error.\n File could not be created. ";
constexpr const char* kWriteFailed = " System error.\n Could not write to file. ";

// The headers hold the search text (255 characters, up to 1020 bytes in UTF-8), the lines
// of the switches and three counts besides their fixed text: under 700 characters more.
constexpr int kHeaderSize = 2048;
static_assert(kSearchForSize + 700 <= kHeaderSize);
// A list-box line: the scanner's lines are far shorter; a path line is at most 255.
constexpr int kLineTextSize = 1024;

constexpr const char* kWordHeader =
    "********************** Search results **********************\r\n\r\n"
    "Search string: %s.\r\n"
    "%s"
    "Searched %d file(s).\r\n"
    "Found: %d word(s) in %d file(s).\r\n"
    "++++++++++++++++++++++++++++++++++++++\r\n"
    "Word:\t\t\t\tFile:\r\n"
    "-------------------------------------------------------\r\n";

constexpr const char* kExpressionHeader =
    "********************** Search results **********************\r\n\r\n"
    "Search expression: %s.\r\n"
    "%s"
    "Searched %d file(s).\r\n"
    "Found %d matching file(s).\r\n"
    "++++++++++++++++++++++++++++++++++++++\r\n"
    "Files:\r\n"
    "---------------------------------------------\r\n";

// The lines under the search text that name the switches that were on: a method other than
// the program's own, given names, and the letters of today's encodings.
constexpr const char* kMethodLine = "Method: %s.\r\n";
constexpr int kMethodLineSize = 128;
// The line under it when given names found their equivalents.
constexpr const char* kGivenNamesLine =
    "Given names: with their nicknames, abbreviations and Latin forms.\r\n";
constexpr const char* kReadUnicodeLine = "Reading: Accented, Cyrillic and Greek letters.\r\n";
constexpr const char* kReadRecordsLine =
    "Reading: GEDCOM records and documents (.docx, .odt, .epub) as their text.\r\n";

constexpr const char* kUnopenedHeader =
    "\r\n++++++++++++++++++++++++++++++++++++++++++++\r\n"
    "The following %d files could not be opened for searching.\r\n"
    "You can try searching them again later.\r\n"
    "-----------------------------------------------\r\n";

constexpr const char* kEndBanner =
    "\r\n******************** End of search log ********************\r\n";

// A write per line would make the log far slower to write than the search was to run:
// the pieces go out in blocks of this size.
constexpr int kBlockSize = 64 * 1024;
// The longest piece: the word column of a line, three tabs, a path and CR LF.
static_assert(kLineTextSize + 3 + kEntrySize + 2 <= kBlockSize && kHeaderSize <= kBlockSize);

// One writing of a log: the search it tells of and the block being filled.
class LogWriter {
 public:
  LogWriter(FileHandle file, const SearchSummary& results) : results(results), File(file) {}
  bool WriteLog(const SearchRequest& request, const ShownLines& lines);

 private:
  bool FlushBlock();
  bool WriteJoined(std::initializer_list<std::string_view> parts);
  bool WritePiece(const char* piece, int length);
  bool WriteWordLines(const ShownLines& lines);
  bool WriteResultPaths();
  bool WriteUnopenedFiles(std::string_view lineEnd);

  // The lists' counts as they stand (none for a summary without lists), and their entries.
  std::uint32_t PathCount() const {
    return results.ResultList != nullptr ? results.ResultList->Count.load() : 0;
  }
  const char* Path(std::uint32_t i) const { return results.ResultList->Get(i); }
  std::uint32_t UnopenedCount() const {
    return results.UnopenedList != nullptr ? results.UnopenedList->Count.load() : 0;
  }
  const char* Unopened(std::uint32_t i) const { return results.UnopenedList->Get(i); }

  const SearchSummary& results;
  FileHandle File;
  int Used = 0;
  char Bytes[kBlockSize];
};

}  // namespace

// Writes the block's bytes; false unless all of them went to the file.
bool LogWriter::FlushBlock() {
  const int used = Used;
  Used = 0;
  return used == 0 || WriteFileBytes(File, Bytes, static_cast<std::uint32_t>(used)) == used;
}

// Adds one piece, the texts of `parts` one after the other, to the block, writing the
// block first when the piece does not fit; false when a write failed.
bool LogWriter::WriteJoined(std::initializer_list<std::string_view> parts) {
  std::size_t length = 0;
  for (std::string_view part : parts) length += part.size();
  if (length > kBlockSize) return false;
  if (Used + length > kBlockSize && !FlushBlock()) return false;
  for (std::string_view part : parts) {
    std::memcpy(Bytes + Used, part.data(), part.size());
    Used += static_cast<int>(part.size());
  }
  return true;
}

// A piece made by snprintf, of `length` bytes (-1 when it could not be made).
bool LogWriter::WritePiece(const char* piece, int length) {
  return length >= 0 && WriteJoined({std::string_view(piece, static_cast<std::size_t>(length))});
}

// A path as the log shows it: its first 255 characters.
static std::string_view Shown(const char* path) { return {path, strnlen(path, kEntrySize - 1)}; }

// snprintf's length, or -1 when the piece would not fit (it is then not written at all).
static int Fitted(int length, int size) { return length >= 0 && length < size ? length : -1; }

bool LogWriter::WriteWordLines(const ShownLines& lines) {
  char text[kLineTextSize];
  for (int i = 0; i < lines.Count(); ++i) {
    if (lines.Text(i, text, kLineTextSize) < 0) text[0] = 0;
    const int wordLength = FindFirstTab(text);
    const char* path = static_cast<std::uint32_t>(i) < PathCount()
                           ? Path(static_cast<std::uint32_t>(i))
                           : nullptr;
    if (path == nullptr) path = "File name not known";
    const std::string_view word(text, static_cast<std::size_t>(wordLength));
    if (!WriteJoined({word, "\t\t\t", Shown(path), "\r\n"})) return false;
  }
  return true;
}

bool LogWriter::WriteResultPaths() {
  for (std::uint32_t i = 0; i < PathCount(); ++i) {
    const char* path = Path(i);
    if (path == nullptr) break;
    if (!WriteJoined({Shown(path), "\r\n"})) return false;
  }
  return true;
}

bool LogWriter::WriteUnopenedFiles(std::string_view lineEnd) {
  const std::uint32_t count = UnopenedCount();
  if (count == 0) return true;
  char header[kHeaderSize];
  const int length = std::snprintf(header, kHeaderSize, kUnopenedHeader, static_cast<int>(count));
  if (!WritePiece(header, Fitted(length, kHeaderSize))) return false;
  for (std::uint32_t i = 0; i < UnopenedCount(); ++i) {
    const char* path = Unopened(i);
    if (path == nullptr) break;
    if (!WriteJoined({Shown(path), lineEnd})) return false;
  }
  return true;
}

bool LogWriter::WriteLog(const SearchRequest& request, const ShownLines& lines) {
  const char* searchText = request.SearchFor;
  std::string method;
  if (request.Method->Title() != nullptr) {
    char line[kMethodLineSize];
    std::snprintf(line, sizeof line, kMethodLine, request.Method->Title());
    method = line;
  }
  if (request.GivenNames) method += kGivenNamesLine;
  if (request.ReadUnicode) method += kReadUnicodeLine;
  if (request.ReadRecords) method += kReadRecordsLine;
  char header[kHeaderSize];
  const bool wordLayout = results.SingleWord;
  int length;
  if (wordLayout) {
    length = std::snprintf(header, kHeaderSize, kWordHeader, searchText, method.c_str(),
                           static_cast<int>(results.FilesSearched), lines.Count(),
                           static_cast<int>(results.MatchedFiles));
  } else {
    length = std::snprintf(header, kHeaderSize, kExpressionHeader, searchText, method.c_str(),
                           static_cast<int>(results.FilesSearched), lines.Count());
  }
  if (!WritePiece(header, Fitted(length, kHeaderSize))) return false;

  if (wordLayout) {
    if (!WriteWordLines(lines)) return false;
    // Unopened files end with CR LF here, with LF alone in the expression layout.
    if (!WriteUnopenedFiles("\r\n")) return false;
  } else {
    if (!WriteResultPaths()) return false;
    if (!WriteUnopenedFiles("\n")) return false;
  }

  return WritePiece(kEndBanner, static_cast<int>(std::strlen(kEndBanner))) && FlushBlock();
}

int SaveSearchLog(const char* path, const SearchSummary& results, const SearchRequest& request,
                  const ShownLines& lines) {
  const FileHandle file = CreateFileForWrite(path);
  if (!IsOpenFile(file)) return kLogNotCreated;
  const std::unique_ptr<LogWriter> writer(new (std::nothrow) LogWriter(file, results));
  const bool written = writer != nullptr && writer->WriteLog(request, lines);
  CloseFile(file);
  return written ? kLogWritten : kLogNotWritten;
}

LogFailure LogFailureMessage(int result) {
  return {kErrorTitle, result == kLogNotCreated ? kCreateFailed : kWriteFailed};
}

int FindFirstTab(const char* text) {
  for (int i = 0; text[i] != 0; ++i) {
    if (text[i] == '\t') return i;
  }
  return 0;
}
