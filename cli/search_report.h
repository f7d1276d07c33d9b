// What tessik-cli tells of a search once it has ended: the folders, files and result
// entries it left out, on standard error and in the --json summary.
// Calling thread of tessik-cli, after the search.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "cli/search_record.h"

// The counts of what was left out, with the names the --json summary gives them. A result
// line without a result entry loses its file name in the log only: it counts when the
// search writes a log (`withLog`), and is 0 otherwise, since every line was printed whole.
struct LeftOutCount {
  const char* Name;
  std::uint32_t Count;
};
std::vector<LeftOutCount> LeftOutCounts(const SearchRecord& record, bool withLog);

// The files that could not be opened (SearchRecord::NotOpened). `IsStandardOutput`: not
// searched because standard output writes to it.
struct UnopenedFile {
  std::string Path;
  bool IsStandardOutput;
  const char* Refusal;  // a document refused, why ("refused: ..."); else nullptr
};
std::vector<UnopenedFile> UnopenedFileList(const SearchRecord& record);

// Whether the search left out anything: folders, files, a file it could not open, or (with
// a log) a result entry.
bool LeftOutAnything(const SearchRecord& record, bool withLog);

// One line on standard error for each kind of thing left out, and one for each file that
// could not be opened.
void ReportLeftOut(const SearchRecord& record, bool withLog);
