#include "ui/status_line.h"

#include <cstdio>
#include <cstring>

#include "engine/search_state.h"
#include "platform/window.h"
#include "query/term_codes.h"
#include "ui/window_search.h"

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
  std::uint32_t count = WindowSearchState().FileSet.Count;
  for (std::uint32_t i = 0; i < count; ++i) {
    if (WindowSearchState().FileSet.Flag(i) == 0) continue;
    const char* path = WindowSearchState().FileSet.Get(i);
    WindowSearchState().ResultList.Add(
        path);  // a line is shown even when the list has no room for its entry
    ListBoxAddLine(kResultListBox, path);
  }
}

}  // namespace

void ShowCompletionStatus(std::uint32_t mode) {
  if (mode < kCompletedSearch || mode > kCompletedListing) return;
  const bool singleWord = IsSingleWordSearch(WindowSearchState().LastTermType);
  ListBoxSetHorizontalExtent(kResultListBox, singleWord ? kWordListExtent : kFileListExtent);

  const SummaryCounts counts{singleWord, ListBoxCount(kResultListBox),
                             WindowSearchState().FilesSearched, WindowSearchState().MatchedFiles,
                             static_cast<int>(WindowSearchState().UnopenedFiles.Count)};
  char text[kSummarySize];
  const int length = FormatSummary(mode, counts, text, sizeof text);
  if (mode == kStoppedSearch && !singleWord) ListFlaggedFiles();
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
