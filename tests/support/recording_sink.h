// A search's sink that keeps what it is told, for the engine's tests: the lines the
// window's list would show (result lines as the window writes them, or paths), the files
// searched with their term codes, the files not opened, what was left out and how the
// search ended. Like the window, it shows nothing once a stop has been requested of the
// worker it is called on: a line is then refused (-1) and every other call has no effect.
// Called on the search's thread; read by the test once the search has ended.
#pragma once

#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "engine/result_line.h"
#include "engine/search_sink.h"

struct RecordedOccurrence {
  std::string Path;
  std::string Word;
  std::int64_t Line;
  std::int64_t Column;
  std::int64_t Offset;
  std::string Code;     // the key or code that matched
  std::string Variant;  // "" for none

  bool operator==(const RecordedOccurrence&) const = default;
};
void PrintTo(const RecordedOccurrence& occurrence, std::ostream* out);

class RecordingSink : public SearchSink {
 public:
  void CollectingFiles(bool listing) override;
  void SearchingFile(const char* path, std::int32_t termCode) override;
  int OccurrenceFound(const FoundOccurrence& occurrence) override;
  int FileFound(const char* path) override;
  void FileNotOpened(const char* path) override;
  void LeftOut(LeftOutKind kind) override;
  void SearchEnding(const SearchSummary& summary) override;
  void SearchEnded(const SearchSummary& summary) override;

  std::uint32_t LeftOutCount(LeftOutKind kind) const { return leftOut_[static_cast<int>(kind)]; }

  std::vector<std::string> Lines;  // every line shown, in order
  std::vector<RecordedOccurrence> Occurrences;
  std::vector<std::pair<std::string, std::int32_t>> Searched;  // path and term code
  std::vector<std::string> NotOpened;
  std::vector<bool> Collecting;        // one entry per CollectingFiles: whether a listing
  std::vector<SearchSummary> Endings;  // SearchEnding calls
  std::vector<SearchSummary> Ended;    // SearchEnded calls
  // Runs before each line is shown (on the search's thread), e.g. to request a stop there.
  std::function<void(const std::string& line)> BeforeLine;

 private:
  int Show(const std::string& line);
  ResultLine resultLine_{};        // a line offered before any file (a stopped scan) names none
  std::uint32_t leftOut_[6] = {};  // by LeftOutKind
};
