#include "engine/search_state.h"

#include <cstring>

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
          state.UnopenedFiles.Count,
          &state.ResultList,
          &state.UnopenedFiles};
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

namespace {

// The counts of a stopped search, made to agree with the lines it has shown.
// An expression search, or a search stopped before its first term: every file still in
// the FileSet counts as searched.
// A single-word search removes each file from the FileSet once it is finished, so the
// FileSet holds the files not finished, the interrupted one last. FilesSearched and
// MatchedFiles count only finished files, but the interrupted file may already have
// lines in the list (a file with hits that was read to its end is counted and removed
// by the pass itself, stop or not). So that the counts agree with the lines shown, an
// interrupted file whose lines stand at the end of the list counts as searched and as a
// file with hits; one without lines is not counted at all.
void CountStoppedFiles(SearchState& state) {
  if (!IsSingleWordSearch(state.LastTermType)) {
    state.FilesSearched = static_cast<std::int32_t>(state.FileSet.Count.load());
    return;
  }
  const std::uint32_t files = state.FileSet.Count;
  const std::uint32_t results = state.ResultList.Count;
  if (files == 0 || results == 0) return;
  const char* interrupted = state.FileSet.Get(files - 1);
  const char* lastResult = state.ResultList.Get(results - 1);
  if (interrupted == nullptr || lastResult == nullptr) return;
  if (std::strcmp(interrupted, lastResult) != 0) return;
  state.FilesSearched += 1;
  state.MatchedFiles += 1;
}

// The files that satisfy the expression so far, below the lines already shown; a line is
// shown even when ResultList has no room for its entry.
void ListFlaggedFiles(SearchState& state, SearchSink& sink) {
  const std::uint32_t count = state.FileSet.Count;
  for (std::uint32_t i = 0; i < count; ++i) {
    if (state.FileSet.Flag(i) == 0) continue;
    const char* path = state.FileSet.Get(i);
    if (state.ResultList.Add(path) < 0) sink.LeftOut(LeftOutKind::LineWithoutEntry);
    sink.FileFound(path);
  }
}

}  // namespace

int EndStoppedSearch(SearchState& state, SearchSink& sink) {
  CountStoppedFiles(state);
  const SearchSummary summary = SummaryOfSearch(state, SearchEnding::Stopped);
  if (!summary.SingleWord) ListFlaggedFiles(state, sink);
  sink.SearchEnding(summary);
  ResetSearchState(state);
  sink.SearchEnded(summary);
  return -1;
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
