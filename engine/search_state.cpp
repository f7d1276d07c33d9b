#include "engine/search_state.h"

#include "engine/file_set.h"
#include "platform/memory.h"
#include "platform/thread.h"
#include "query/term_codes.h"

void ResetSearchState(SearchState& state) {
  state.FileSet.Clear();
  state.DirectoryQueue.Clear();
  FindClose(state.PatternFindHandle.exchange(kNoFind));
  FindClose(state.SubdirFindHandle.exchange(kNoFind));
  FreeBlock(state.ReadBuffer.exchange(nullptr));
  CloseFile(state.ScanFileHandle.exchange(kNoFile));
  state.SearchPaused = 0;
  state.SearchRunning = 0;
  state.FirstTermTaken = 0;
}

SearchSummary SummaryOfSearch(const SearchState& state, SearchEnding ending, int refusal) {
  return {ending,
          refusal,
          IsSingleWordSearch(state.LastTermType),
          state.FilesSearched,
          state.MatchedFiles,
          state.UnopenedFiles.Count};
}

int EndSearch(SearchState& state, SearchEnding ending, SearchSink& sink, int refusal) {
  const SearchSummary summary = SummaryOfSearch(state, ending, refusal);
  sink.SearchEnding(summary);
  // The summary may have been cut short: Stop shows its own.
  if (WorkerCheckpoint() != 0) return -1;
  ResetSearchState(state);
  sink.SearchEnded(summary);
  const bool completed =
      ending == SearchEnding::FilesListed || ending == SearchEnding::QueryAnswered;
  return completed ? 0 : -1;
}

int EndWithoutFiles(SearchState& state, int built, SearchSink& sink) {
  if (built == kFileSetStopped || WorkerCheckpoint() != 0) return -1;
  return EndSearch(
      state, built == kNoFileMatchesInTree ? SearchEnding::NoFilesInTree : SearchEnding::NoFiles,
      sink);
}

void ClearSearchLists(SearchState& state) {
  state.UnopenedFiles.Clear();
  state.DirectoryQueue.Clear();
  state.ResultList.Clear();
  state.FileSet.Clear();
}
