// tessik-cli --vimgrep: a line an editor can jump to for every occurrence,
// PATH:LINE:COLUMN:WORD, and the bare path of every file of an expression search or a
// listing. Paths are shown as everywhere on standard output, control bytes as \xHH.
// Calling thread of tessik-cli, on which the search runs.
#pragma once

#include <string>

#include "cli/search_record.h"

class VimgrepPrinter final : public SearchRecord {
 public:
  using SearchRecord::SearchRecord;

 private:
  void PrintOccurrence(const FoundOccurrence& occurrence, const char* line) override;
  void PrintPath(const char* path) override;

  std::string line_;
  std::string scratch_;
};
