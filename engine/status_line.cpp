#include "engine/status_line.h"

#include <cstdio>
#include <cstring>

#include "engine/search_state.h"
#include "platform/window.h"
#include "query/term_codes.h"

namespace {

constexpr int kSummarySize = 256;
constexpr int kProgressSize = 400;

// `length` characters of `buffer` followed by `blanks` blanks, as far as `size` allows.
void ShowWithBlanks(char* buffer, int size, int length, int blanks) {
  if (length < 0) length = 0;
  if (length > size - 1) length = size - 1;
  if (blanks < 0) blanks = 0;
  if (blanks > size - 1 - length) blanks = size - 1 - length;
  std::memset(buffer + length, ' ', static_cast<std::size_t>(blanks));
  buffer[length + blanks] = '\0';
  SetControlText(kStatusLine, buffer);
}

// The paths of the files that satisfy the expression so far go below the lines already
// shown; a line is shown even when ResultList is full.
void ListFlaggedFiles() {
  std::uint32_t count = FileSet.Count;
  for (std::uint32_t i = 0; i < count; ++i) {
    if (FileSet.Flag(i) == 0) continue;
    const char* path = FileSet.Get(i);
    if (ResultList.Add(path) < 0) SearchState.LinesWithoutResultEntry += 1;
    ListBoxAddLine(kResultListBox, path);
  }
}

}  // namespace

void ShowCompletionStatus(std::uint32_t mode) {
  if (mode < kCompletedSearch || mode > kCompletedListing) return;
  bool singleWord = IsSingleWordSearch(SearchState.LastTermType);
  ListBoxSetHorizontalExtent(kResultListBox, singleWord ? 250 : 600);

  char text[kSummarySize];
  int lines = ListBoxCount(kResultListBox);
  int filesSearched = SearchState.FilesSearched;
  int matched = SearchState.MatchedFiles;
  int unopened = static_cast<int>(UnopenedFiles.Count);
  int length = 0;
  if (mode == kCompletedListing) {
    length = std::snprintf(text, sizeof text,
                           "Completed:  Found %d file(s) matching specification.", lines);
  } else if (mode == kDeletedLine) {
    length = singleWord ? std::snprintf(text, sizeof text,
                                        "Completed:  %d file(s) searched. Found %d item(s).",
                                        filesSearched, lines)
                        : std::snprintf(text, sizeof text,
                                        "Completed:  Found %d file(s) matching expression.", lines);
  } else if (singleWord) {
    length = unopened > 0
                 ? std::snprintf(text, sizeof text,
                                 "Completed:  %d item(s) found. %d file(s) couldn't be opened.",
                                 lines, unopened)
                 : std::snprintf(text, sizeof text,
                                 "Completed:  %d file(s) searched. Found %d item(s) in %d file(s).",
                                 filesSearched, lines, matched);
  } else if (mode == kCompletedSearch) {
    // The log reads FilesSearched later, so it takes the number of files enumerated.
    int files = static_cast<int>(FileSet.Count);
    SearchState.FilesSearched = files;
    length = std::snprintf(text, sizeof text,
                           "Completed:  %d file(s) searched. %d file(s) matched expression.", files,
                           matched);
  } else {
    length = std::snprintf(text, sizeof text,
                           "Inerrupted:  %d intermediate file(s) match expression.", matched);
    ListFlaggedFiles();
  }
  if (length > kStatusWidth) length = kStatusWidth;
  ShowWithBlanks(text, sizeof text, length, kStatusWidth - length);
}

void ShowPaddedStatus(const char* text, int blanks) {
  char buffer[kProgressSize];
  int length = std::snprintf(buffer, sizeof buffer, "%s", text != nullptr ? text : "");
  ShowWithBlanks(buffer, sizeof buffer, length, blanks);
}

void ShowScanProgress(const char* path, int blanks) {
  char buffer[kProgressSize];
  int length = std::snprintf(buffer, sizeof buffer, "Searching  %s", path != nullptr ? path : "");
  ShowWithBlanks(buffer, sizeof buffer, length, blanks);
}
