// What tessik-cli keeps of a search while it runs, as the sink every printer starts from:
// the texts of the messages, the status line, the lines the window's result list would
// show (their texts only when a log is to be written), the files that could not be opened,
// the counts of what was left out, and the progress line on a terminal. A printer adds
// how each result is printed. Calling thread of tessik-cli, on which the search runs.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "cli/decoded_columns.h"
#include "engine/result_line.h"
#include "engine/search_sink.h"
#include "log/search_log.h"

class SearchRecord : public SearchSink, public ShownLines {
 public:
  explicit SearchRecord(bool keepLineTexts) : keepLineTexts_(keepLineTexts) {}

  void CollectingFiles(bool) override {}
  void SearchingFile(const char* path, std::int32_t termCode) override;
  int OccurrenceFound(const FoundOccurrence& occurrence) override;
  int FileFound(const char* path) override;
  void FileNotOpened(const char* path) override;
  void FileRefused(const char* path, const char* reason) override;
  void LeftOut(LeftOutKind kind) override;
  void SearchEnding(const SearchSummary& summary) override;
  void SearchEnded(const SearchSummary&) override {}

  // The lines, for the log.
  int Count() const override { return lines_; }
  int Text(int index, char* buffer, int size) const override;

  // Holds the occurrences back instead of printing them as they are found; PrintHeld prints
  // them, the best score first and equal scores in the order found (--sort=score).
  void HoldForScores() { holding_ = true; }
  void PrintHeld();
  // Columns as an editor counts them once the files are decoded to UTF-8 (a search that
  // reads today's encodings), instead of the bytes of the file.
  void CountColumnsDecoded() { decodedColumns_ = std::make_unique<DecodedColumns>(); }

  // A message of the program's own, after the search (a log that could not be written).
  void AddMessage(const char* text) { messages_.emplace_back(text); }
  const std::vector<std::string>& Messages() const { return messages_; }
  // The status line as the window would show it, without its padding blanks.
  const std::string& Status() const { return status_; }
  const SearchSummary& Summary() const { return summary_; }
  std::uint32_t LeftOutCount(LeftOutKind kind) const { return leftOut_[static_cast<int>(kind)]; }
  // The files that could not be opened, each once though an expression may try one once
  // per term, in the order they were met.
  const std::vector<std::string>& NotOpened() const { return notOpened_; }
  // Why a document of NotOpened was refused, or nullptr.
  const char* RefusalOf(const std::string& path) const {
    const auto found = refusals_.find(path);
    return found == refusals_.end() ? nullptr : found->second;
  }

 protected:
  // A single-word search's occurrence; `line` is its result line.
  virtual void PrintOccurrence(const FoundOccurrence& occurrence, const char* line) = 0;
  // A file of a listing or of an expression search.
  virtual void PrintPath(const char* path) = 0;
  // Whether PrintOccurrence is given the result line (else nullptr, unless it is kept).
  virtual bool PrintsResultLines() const { return false; }
  // Whether the file name that the result lines show holds a control byte: true for the
  // lines printed after the search (PrintHeld), which come from many files.
  bool ShownNameHoldsControl() const { return shownNameHoldsControl_; }
  // The column a printer shows for an occurrence.
  std::int64_t ColumnOf(const FoundOccurrence& occurrence) {
    return decodedColumns_ == nullptr || occurrence.ColumnDecoded
               ? occurrence.Column
               : decodedColumns_->ColumnAt(occurrence.Path, occurrence.Offset, occurrence.Column);
  }

 private:
  void KeepLineText(const char* text);

  struct HeldOccurrence {
    FoundOccurrence Occurrence;
    // The record's text lives no longer than its file's scan: it is copied too.
    std::string Path, Word, Variant, Line, Record;
  };

  bool keepLineTexts_;
  bool holding_ = false;
  bool shownNameHoldsControl_ = true;
  std::vector<HeldOccurrence> held_;
  int lines_ = 0;
  // The kept lines, each with its terminator, one after another in blocks that are
  // filled and never moved (a search may list hundreds of thousands: memory touched once
  // is cheaper than a buffer copied as it grows), and where each begins.
  std::vector<std::unique_ptr<char[]>> textBlocks_;
  std::size_t blockUsed_ = 0;
  std::deque<const char*> lineStarts_;
  ResultLine resultLine_;
  std::vector<std::string> messages_;
  std::string status_ = "Ready";  // the window's status line before any search
  SearchSummary summary_{};
  std::uint32_t leftOut_[6] = {};
  std::vector<std::string> notOpened_;
  std::set<std::string> named_;
  std::map<std::string, const char*> refusals_;
  std::unique_ptr<DecodedColumns> decodedColumns_;
};
