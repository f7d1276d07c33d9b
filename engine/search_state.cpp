#include "engine/search_state.h"

#include "engine/file_set.h"
#include "platform/memory.h"
#include "platform/thread.h"
#include "query/term_codes.h"

// Constructed in this order at start-up (one translation unit keeps the order).
FlaggedStringList FileSet;
FlaggedStringList ResultList;
StringList DirectoryQueue(kDirectoryQueueCapacity);
StringList UnopenedFiles(kUnopenedFilesCapacity);

SearchStateRecord SearchState;

void ResetSearchState() {
  FileSet.Clear();
  DirectoryQueue.Clear();
  FindClose(SearchState.PatternFindHandle.exchange(kNoFind));
  FindClose(SearchState.SubdirFindHandle.exchange(kNoFind));
  FreeBlock(SearchState.ReadBuffer.exchange(nullptr));
  CloseFile(SearchState.ScanFileHandle.exchange(kNoFile));
  SearchState.SearchPaused = 0;
  SearchState.SearchRunning = 0;
  SearchState.FirstTermTaken = 0;
}

SearchSummary SummaryOfSearch(SearchEnding ending, int refusal) {
  return {ending,
          refusal,
          IsSingleWordSearch(SearchState.LastTermType),
          SearchState.FilesSearched,
          SearchState.MatchedFiles,
          UnopenedFiles.Count};
}

int EndSearch(SearchEnding ending, SearchSink& sink, int refusal) {
  const SearchSummary summary = SummaryOfSearch(ending, refusal);
  sink.SearchEnding(summary);
  // The summary may have been cut short: Stop shows its own.
  if (WorkerCheckpoint() != 0) return -1;
  ResetSearchState();
  sink.SearchEnded(summary);
  const bool completed =
      ending == SearchEnding::FilesListed || ending == SearchEnding::QueryAnswered;
  return completed ? 0 : -1;
}

int EndWithoutFiles(int built, SearchSink& sink) {
  if (built == kFileSetStopped || WorkerCheckpoint() != 0) return -1;
  return EndSearch(
      built == kNoFileMatchesInTree ? SearchEnding::NoFilesInTree : SearchEnding::NoFiles, sink);
}

void ClearSearchLists() {
  UnopenedFiles.Clear();
  DirectoryQueue.Clear();
  ResultList.Clear();
  FileSet.Clear();
}
