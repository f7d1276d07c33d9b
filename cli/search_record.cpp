#include "cli/search_record.h"

#include <algorithm>
#include <cstring>

#include "cli/escape.h"
#include "cli/output.h"
#include "cli/progress.h"
#include "texts/search_texts.h"

static_assert(static_cast<int>(LeftOutKind::LineWithoutEntry) == 5);

void SearchRecord::SearchingFile(const char* path, std::int32_t) {
  if (ProgressDue()) {
    FlushOutBeforeProgress();
    DrawProgress(path);
  }
  StartResultLines(&resultLine_, path);
  shownNameHoldsControl_ = HoldsControl(resultLine_.ShownName, resultLine_.ShownNameLength);
}

int SearchRecord::OccurrenceFound(const FoundOccurrence& occurrence) {
  ++lines_;
  const char* line = nullptr;
  if (keepLineTexts_ || PrintsResultLines()) line = FormatResultLine(&resultLine_, occurrence);
  if (keepLineTexts_) KeepLineText(line);
  if (holding_) {
    held_.push_back({occurrence, occurrence.Path, std::string(occurrence.Word, occurrence.WordLength),
                     occurrence.Variant != nullptr ? occurrence.Variant : "", line != nullptr ? line : "",
                     occurrence.Record != nullptr ? occurrence.Record : ""});
    if (occurrence.Variant == nullptr) held_.back().Occurrence.Variant = nullptr;
    return 0;
  }
  PrintOccurrence(occurrence, line);
  return 0;
}

void SearchRecord::PrintHeld() {
  std::stable_sort(held_.begin(), held_.end(), [](const HeldOccurrence& a, const HeldOccurrence& b) {
    return a.Occurrence.Score > b.Occurrence.Score;
  });
  shownNameHoldsControl_ = true;
  for (HeldOccurrence& held : held_) {
    FoundOccurrence& occurrence = held.Occurrence;
    occurrence.Path = held.Path.c_str();
    occurrence.Word = held.Word.data();
    if (occurrence.Variant != nullptr) occurrence.Variant = held.Variant.c_str();
    if (occurrence.Record != nullptr) occurrence.Record = held.Record.c_str();
    PrintOccurrence(occurrence, PrintsResultLines() ? held.Line.c_str() : nullptr);
  }
  held_.clear();
}

int SearchRecord::FileFound(const char* path) {
  ++lines_;
  if (keepLineTexts_) KeepLineText(path);
  PrintPath(path);
  return 0;
}

void SearchRecord::FileNotOpened(const char* path) {
  if (named_.insert(path).second) notOpened_.emplace_back(path);
}

void SearchRecord::FileRefused(const char* path, const char* reason) {
  refusals_.emplace(path, reason);
}

void SearchRecord::LeftOut(LeftOutKind kind) { leftOut_[static_cast<int>(kind)] += 1; }

void SearchRecord::SearchEnding(const SearchSummary& summary) {
  summary_ = summary;
  SearchMessage message;
  if (MessageOfEnding(summary, &message)) {
    messages_.emplace_back(message.Text);
    // After no files the window's status line reads "Ready" again; after the other
    // messages it keeps what it had.
    if (summary.Ending == SearchEnding::NoFiles || summary.Ending == SearchEnding::NoFilesInTree)
      status_ = "Ready";
    return;
  }
  char text[256];
  const std::uint32_t mode = summary.Ending == SearchEnding::FilesListed ? kCompletedListing
                             : summary.Ending == SearchEnding::Stopped   ? kStoppedSearch
                                                                         : kCompletedSearch;
  FormatSummary(mode, CountsOfSummary(summary, lines_), text, sizeof text);
  status_ = text;
  // Trailing blanks are the window's padding, and the status is shown without it.
  const std::size_t end = status_.find_last_not_of(' ');
  status_.erase(end == std::string::npos ? 0 : end + 1);
}

namespace {

// A block of kept lines; a line (a result line or a path) is far shorter.
constexpr std::size_t kTextBlockSize = 1 << 20;

}  // namespace

void SearchRecord::KeepLineText(const char* text) {
  std::size_t length = std::strlen(text);
  if (length > kTextBlockSize - 1) length = kTextBlockSize - 1;  // no line is that long
  const std::size_t size = length + 1;
  if (textBlocks_.empty() || blockUsed_ + size > kTextBlockSize) {
    textBlocks_.push_back(std::make_unique_for_overwrite<char[]>(kTextBlockSize));
    blockUsed_ = 0;
  }
  char* at = textBlocks_.back().get() + blockUsed_;
  std::memcpy(at, text, length);
  at[length] = '\0';
  blockUsed_ += size;
  lineStarts_.push_back(at);
}

int SearchRecord::Text(int index, char* buffer, int size) const {
  if (index < 0 || static_cast<std::size_t>(index) >= lineStarts_.size() || size <= 0) return -1;
  const char* text = lineStarts_[static_cast<std::size_t>(index)];
  const std::size_t textLength = std::strlen(text);
  const std::size_t length = textLength < static_cast<std::size_t>(size - 1)
                                 ? textLength
                                 : static_cast<std::size_t>(size - 1);
  std::memcpy(buffer, text, length);
  buffer[length] = '\0';
  return static_cast<int>(length);
}
