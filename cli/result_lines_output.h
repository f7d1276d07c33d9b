// tessik-cli's default output: every line the window's result list would show, as it
// shows it (tabs kept), the file column's control bytes escaped (escape.h).
// Calling thread of tessik-cli, on which the search runs.
#pragma once

#include <string>

#include "cli/search_record.h"

class ResultLinePrinter final : public SearchRecord {
 public:
  using SearchRecord::SearchRecord;

 private:
  void PrintOccurrence(const FoundOccurrence& occurrence, const char* line) override;
  void PrintPath(const char* path) override;
  bool PrintsResultLines() const override { return true; }

  std::string scratch_;
};
