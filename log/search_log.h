// The search log: the results of the last search written to a text file, from what the
// search handed its sink at its end (or its counts so far) and the lines the result list
// shows. The window thread (or tessik-cli's only one).
#pragma once

#include "engine/search_request.h"
#include "engine/search_sink.h"

// The lines the result list shows, in order, as the log reads them. The count is asked
// again after every line: a search may still be adding lines while the log is written.
class ShownLines {
 public:
  virtual int Count() const = 0;
  // Copies at most size - 1 characters of line `index` and a terminator; returns the
  // length, or -1 when there is no such line.
  virtual int Text(int index, char* buffer, int size) const = 0;

 protected:
  ~ShownLines() = default;
};

// What SaveSearchLog answers.
constexpr int kLogWritten = 1;
constexpr int kLogNotCreated = -1;
constexpr int kLogNotWritten = -2;  // what was written stays in the file

// Writes the log of the search that `request` asked for and `results` sums up, to `path`.
// The header names the search's method only when it is not the program's own, and the
// reading of today's encodings only when it was on. The lists of `results` are read as
// they stand, and again after every line: a search may still be adding to them.
int SaveSearchLog(const char* path, const SearchSummary& results, const SearchRequest& request,
                  const ShownLines& lines);

// The message that tells the user why a log was not written (kLogNotCreated or
// kLogNotWritten).
struct LogFailure {
  const char* Title;
  const char* Text;
};
LogFailure LogFailureMessage(int result);

// Index of the first tab of `text`, or 0 when it has none.
int FindFirstTab(const char* text);
