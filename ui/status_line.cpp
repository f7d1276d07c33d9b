#include "ui/status_line.h"

#include <cstdio>
#include <cstring>

#include "platform/window.h"

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

}  // namespace

void ShowCompletionStatus(std::uint32_t mode, const SearchSummary& summary) {
  if (mode < kCompletedSearch || mode > kCompletedListing) return;
  ListBoxSetHorizontalExtent(kResultListBox,
                             summary.SingleWord ? kWordListExtent : kFileListExtent);
  char text[kSummarySize];
  const int length =
      FormatSummary(mode, CountsOfSummary(summary, ListBoxCount(kResultListBox)), text, sizeof text);
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
