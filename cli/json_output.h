// tessik-cli --json: JSON Lines on standard output, one object per event. An occurrence
// ("match") tells its full path, line, column, byte offset, percentage and size as the
// result line shows them, the word, and the spelling variant and key of the query it
// sounded like; a file of an expression search or a listing is a "file" object; a
// "summary" ends the output. See json_text.h for texts that are not UTF-8.
// Calling thread of tessik-cli, on which the search runs.
#pragma once

#include <string>

#include "cli/search_record.h"

class JsonPrinter final : public SearchRecord {
 public:
  // With `equivalents`, each match says through which member of the query word's family of
  // given names it was found.
  JsonPrinter(bool keepLineTexts, bool equivalents)
      : SearchRecord(keepLineTexts), equivalents_(equivalents) {}

 private:
  void PrintOccurrence(const FoundOccurrence& occurrence, const char* line) override;
  void PrintPath(const char* path) override;

  std::string line_;
  bool equivalents_;
};

// After the search and its log: the status text, the texts of the messages shown, the
// counts, the files that could not be opened, the counts of what was left out, and the
// exit status the program is about to end with.
void PrintJsonSummary(const SearchRecord& record, int exitStatus, bool withLog);
