// The search log: a header with the search text and the counts, one line per result,
// the files that could not be opened, and an end banner. Every piece goes to the file
// in one write, and a piece is never cut: the buffers hold the longest one.
#include "log/search_log.h"

#include <cstdio>
#include <cstring>

#include "engine/search_state.h"
#include "platform/files.h"
#include "platform/window.h"
#include "query/term_codes.h"

namespace {

constexpr const char* kErrorTitle = " Error";
constexpr const char* kCreateFailed = " System error.\n File could not be created. ";
constexpr const char* kWriteFailed = " System error.\n Could not write to file. ";

// The headers hold the search text (255 characters) and three counts besides their
// fixed text of under 300 characters.
constexpr int kHeaderSize = 1024;
// A list-box line: the scanner's lines are far shorter; a path line is at most 255.
constexpr int kLineTextSize = 1024;
// The word column of a line, three tabs, a path of 255 characters and CR LF.
constexpr int kPieceSize = kLineTextSize + 3 + kEntrySize + 2 + 1;

constexpr const char* kWordHeader =
    "********************** Search results **********************\r\n\r\n"
    "Search string: %.255s.\r\n"
    "Searched %d file(s).\r\n"
    "Found: %d word(s) in %d file(s).\r\n"
    "++++++++++++++++++++++++++++++++++++++\r\n"
    "Word:\t\t\t\tFile:\r\n"
    "-------------------------------------------------------\r\n";

constexpr const char* kExpressionHeader =
    "********************** Search results **********************\r\n\r\n"
    "Search expression: %.255s.\r\n"
    "Searched %d file(s).\r\n"
    "Found %d matching file(s).\r\n"
    "++++++++++++++++++++++++++++++++++++++\r\n"
    "Files:\r\n"
    "---------------------------------------------\r\n";

constexpr const char* kUnopenedHeader =
    "\r\n++++++++++++++++++++++++++++++++++++++++++++\r\n"
    "The following %d files could not be opened for searching.\r\n"
    "You can try searching them again later.\r\n"
    "-----------------------------------------------\r\n";

constexpr const char* kEndBanner =
    "\r\n******************** End of search log ********************\r\n";

// Writes one piece; false unless all of it went to the file.
bool WritePiece(FileHandle file, const char* piece, int length) {
  if (length < 0) return false;
  return WriteFileBytes(file, piece, static_cast<std::uint32_t>(length)) == length;
}

// snprintf's length, or -1 when the piece would not fit (it is then not written at all).
int Fitted(int length, int size) { return length >= 0 && length < size ? length : -1; }

bool WriteWordLines(FileHandle file) {
  char text[kLineTextSize];
  char piece[kPieceSize];
  // The count is asked again after every line: a search may still be adding lines.
  for (int i = 0; i < ListBoxCount(kResultListBox); ++i) {
    if (ListBoxGetText(kResultListBox, i, text, kLineTextSize) < 0) text[0] = 0;
    const int wordLength = FindFirstTab(text);
    const char* path = static_cast<std::uint32_t>(i) < ResultList.Count.load()
                           ? ResultList.Get(static_cast<std::uint32_t>(i))
                           : nullptr;
    if (path == nullptr) path = "File name not known";
    const int length =
        Fitted(std::snprintf(piece, kPieceSize, "%.*s\t\t\t%.255s\r\n", wordLength, text, path),
               kPieceSize);
    if (!WritePiece(file, piece, length)) return false;
  }
  return true;
}

bool WriteResultPaths(FileHandle file) {
  char piece[kPieceSize];
  for (std::uint32_t i = 0; i < ResultList.Count.load(); ++i) {
    const char* path = ResultList.Get(i);
    if (path == nullptr) break;
    const int length = Fitted(std::snprintf(piece, kPieceSize, "%.255s\r\n", path), kPieceSize);
    if (!WritePiece(file, piece, length)) return false;
  }
  return true;
}

bool WriteUnopenedFiles(FileHandle file, const char* lineFormat) {
  const std::uint32_t count = UnopenedFiles.Count.load();
  if (count == 0) return true;
  char piece[kPieceSize];
  int length = Fitted(std::snprintf(piece, kPieceSize, kUnopenedHeader, static_cast<int>(count)),
                      kPieceSize);
  if (!WritePiece(file, piece, length)) return false;
  for (std::uint32_t i = 0; i < UnopenedFiles.Count.load(); ++i) {
    const char* path = UnopenedFiles.Get(i);
    if (path == nullptr) break;
    length = Fitted(std::snprintf(piece, kPieceSize, lineFormat, path), kPieceSize);
    if (!WritePiece(file, piece, length)) return false;
  }
  return true;
}

bool WriteLog(FileHandle file) {
  char header[kHeaderSize];
  const bool wordLayout = IsSingleWordSearch(SearchState.LastTermType.load());
  int length;
  if (wordLayout) {
    length = std::snprintf(header, kHeaderSize, kWordHeader, SearchState.SearchText,
                           static_cast<int>(SearchState.FilesSearched.load()),
                           ListBoxCount(kResultListBox),
                           static_cast<int>(SearchState.MatchedFiles.load()));
  } else {
    length = std::snprintf(header, kHeaderSize, kExpressionHeader, SearchState.SearchText,
                           static_cast<int>(SearchState.FilesSearched.load()),
                           ListBoxCount(kResultListBox));
  }
  if (!WritePiece(file, header, Fitted(length, kHeaderSize))) return false;

  if (wordLayout) {
    if (!WriteWordLines(file)) return false;
    // Unopened files end with CR LF here, with LF alone in the expression layout.
    if (!WriteUnopenedFiles(file, "%.255s\r\n")) return false;
  } else {
    if (!WriteResultPaths(file)) return false;
    if (!WriteUnopenedFiles(file, "%.255s\n")) return false;
  }

  return WritePiece(file, kEndBanner, static_cast<int>(std::strlen(kEndBanner)));
}

}  // namespace

int SaveSearchLog(const char* path) {
  const FileHandle file = CreateFileForWrite(path);
  if (!IsOpenFile(file)) {
    ShowMessageBox(kErrorTitle, kCreateFailed, MessageIcon::Error);
    return 0;
  }
  if (!WriteLog(file)) {
    // What was written so far stays in the file.
    ShowMessageBox(kErrorTitle, kWriteFailed, MessageIcon::Error);
    CloseFile(file);
    return 0;
  }
  CloseFile(file);
  return 1;
}

int FindFirstTab(const char* text) {
  for (int i = 0; text[i] != 0; ++i) {
    if (text[i] == '\t') return i;
  }
  return 0;
}
