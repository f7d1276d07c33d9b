// The one process-wide record of search state, shared by the window thread and the
// search worker. While a search runs only the worker changes the lists, handles, buffer
// and counters; the window thread touches them again only after the worker has ended.
#pragma once

#include <atomic>
#include <cstdint>

#include "engine/search_sink.h"
#include "engine/string_list.h"
#include "platform/directory.h"
#include "platform/files.h"

constexpr std::uint32_t kDirectoryQueueCapacity = 5120;
constexpr std::uint32_t kUnopenedFilesCapacity = 1024;

// Process-wide lists, constructed at start-up in this order and cleared at exit in the
// reverse order (see ClearSearchLists).
extern FlaggedStringList FileSet;
extern FlaggedStringList ResultList;
extern StringList DirectoryQueue;
extern StringList UnopenedFiles;

struct SearchStateRecord {
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
};

extern SearchStateRecord SearchState;

// The end-of-search cleanup: empties FileSet and DirectoryQueue, closes any open
// enumeration and file, frees the read buffer, clears the running, paused and
// first-term flags. Safe with nothing open, and twice in a row. Runs on the worker at the
// end of its search, or on the window thread only after the worker has ended.
void ResetSearchState();

// The counts of the search so far, for a summary that ends it as `ending` says.
SearchSummary SummaryOfSearch(SearchEnding ending, int refusal = 0);

// Ends the search on the worker: tells the sink the end (SearchEnding), cleans up, and
// tells it again (SearchEnded); a stop in between leaves the rest to the window thread.
// 0 for a search that completed (FilesListed, QueryAnswered), else -1.
int EndSearch(SearchEnding ending, SearchSink& sink, int refusal = 0);

// The end of a search whose file set could not be built (BuildFileSet's answer).
int EndWithoutFiles(int built, SearchSink& sink);

// Clears the four lists in the reverse order of their construction (program exit).
void ClearSearchLists();
