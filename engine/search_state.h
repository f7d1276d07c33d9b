// The state of a search, a record its caller makes and hands in (SearchState below). While
// a search runs only the worker changes the lists, handles, buffer and counters; the window
// thread reads what the record's comment names and touches the rest again only after the
// worker has ended. Each function: the thread that runs the search, or the window thread
// after the worker has ended.
#pragma once

#include <atomic>
#include <cstdint>

#include "engine/file_set.h"
#include "engine/search_sink.h"
#include "engine/string_list.h"
#include "platform/directory.h"
#include "platform/files.h"

constexpr std::uint32_t kDirectoryQueueCapacity = 5120;
constexpr std::uint32_t kUnopenedFilesCapacity = 1024;

// The enumeration's working buffers (file_set.cpp): the worker's alone.
struct FileSetScratch {
  char CurrentSpec[kSpecBufferSize];
  char DirectoryPart[kSpecBufferSize];
  char Pattern[kSpecBufferSize];
  char Scratch[kSpecBufferSize];
  FindEntry Entry;
};

// Everything one search keeps: its lists, the handles and buffer it holds, its flags and
// counts. The caller makes one (on the heap: the two flagged lists are large) and hands it
// to every search it runs; two searches at once need two.
// Shared with the window thread while a search runs, and only these: SearchRunning and
// SearchPaused (Go, Stop, Pause), the counts and LastTermType (a log saved meanwhile), and
// the lists' Count and NonEmpty and the entries of ResultList and UnopenedFiles (Save, a
// double-click, the buttons), all read-only for it then except the two flags. Everything else is the worker's until the search has ended.
struct SearchState {
  SearchState() = default;
  SearchState(const SearchState&) = delete;
  SearchState& operator=(const SearchState&) = delete;

  FlaggedStringList FileSet;
  FlaggedStringList ResultList;
  StringList DirectoryQueue{kDirectoryQueueCapacity};
  StringList UnopenedFiles{kUnopenedFilesCapacity};
  std::atomic<FindHandle> PatternFindHandle{kNoFind};
  std::atomic<FindHandle> SubdirFindHandle{kNoFind};
  std::atomic<FileHandle> ScanFileHandle{kNoFile};
  std::atomic<std::uint8_t*> ReadBuffer{nullptr};  // kReadChunkSize bytes, zero-filled
  std::atomic<std::int32_t> SearchRunning{0};
  std::atomic<std::int32_t> SearchPaused{0};
  std::atomic<std::int32_t> FirstTermTaken{0};
  std::atomic<std::int32_t> LastTermType{0};
  std::atomic<std::int32_t> FilesSearched{0};
  std::atomic<std::int32_t> MatchedFiles{0};

  // The worker's.
  FileSetScratch FileSetBuffers;
  // The number of a file's first line; only tests move it, to reach line numbers that
  // would otherwise take gigabytes of line feeds.
  std::int64_t FirstLineNumber = 1;
};

// The end-of-search cleanup: empties FileSet and DirectoryQueue, closes any open
// enumeration and file, frees the read buffer, clears the running, paused and
// first-term flags. Safe with nothing open, and twice in a row. Runs on the worker at the
// end of its search, or on the window thread only after the worker has ended.
void ResetSearchState(SearchState& state);

// The counts of the search so far and its lists, for a summary that ends it as `ending`
// says (Running: for the window thread while the search runs, from the shared counts).
SearchSummary SummaryOfSearch(const SearchState& state, SearchEnding ending, int refusal = 0);

// Ends the search on the worker: tells the sink the end (SearchEnding), cleans up, and
// tells it again (SearchEnded); a stop in between leaves the rest to EndStoppedSearch.
// 0 for a search that completed (FilesListed, QueryAnswered), else -1.
int EndSearch(SearchState& state, SearchEnding ending, SearchSink& sink, int refusal = 0);

// Ends a search that a stop cut short, on the thread that asked for the stop once the
// worker has returned (the worker leaves its state as the stop found it). The counts are
// made to agree with the lines shown; an expression's files that satisfy it so far go to
// the sink (FileFound) and to ResultList; then the sink hears the end of a Stopped search,
// the state is cleaned up, and the sink hears SearchEnded. Always -1.
int EndStoppedSearch(SearchState& state, SearchSink& sink);

// The end of a search whose file set could not be built (BuildFileSet's answer).
int EndWithoutFiles(SearchState& state, int built, SearchSink& sink);

// Clears the four lists in the reverse order of their construction.
void ClearSearchLists(SearchState& state);
