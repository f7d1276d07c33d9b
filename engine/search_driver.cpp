#include "engine/search_driver.h"

#include "engine/file_set.h"
#include "engine/query_search.h"
#include "engine/search_state.h"
#include "platform/thread.h"

namespace {

// Everything a search collects starts empty; the previous cleanup has already released
// the buffer and the handles, so they are only forgotten here.
void ResetForNewSearch(SearchState& state) {
  state.FileSet.Clear();
  state.DirectoryQueue.Clear();
  state.UnopenedFiles.Clear();
  state.FirstTermTaken = 0;
  state.LastTermType = 0;
  state.ReadBuffer = nullptr;
  state.PatternFindHandle = kNoFind;
  state.SubdirFindHandle = kNoFind;
  state.MatchedFiles = 0;
  state.FilesSearched = 0;
}

bool IsBlank(const char* text) {
  while (*text == ' ') ++text;
  return *text == '\0';
}

// Lists the files that match the search specification, without reading any of them.
int ListFiles(SearchState& state, const SearchRequest& request, SearchSink& sink) {
  sink.CollectingFiles(true);
  const int built = BuildFileSet(state, request.SearchIn, request.IncludeSubdirectories, sink);
  if (built != kFileSetBuilt) return EndWithoutFiles(state, built, sink);

  std::uint32_t count = state.FileSet.Count;
  state.FilesSearched = static_cast<int>(count);
  for (std::uint32_t i = 0; i < count; ++i) {
    if (WorkerCheckpoint() != 0) return -1;
    const char* path = state.FileSet.Get(i);
    int entry = state.ResultList.Add(path);
    if (entry < 0) sink.LeftOut(LeftOutKind::LineWithoutEntry);
    if (sink.FileFound(path) < 0 && WorkerCheckpoint() != 0) {
      // Stopped while the line was on its way: the entry must not outlive its line.
      if (entry >= 0) state.ResultList.RemoveAt(static_cast<std::uint32_t>(entry));
      return -1;
    }
  }
  if (WorkerCheckpoint() != 0) return -1;
  return EndSearch(state, SearchEnding::FilesListed, sink);
}

}  // namespace

int RunSearch(SearchState& state, const SearchRequest& request, SearchSink& sink) {
  ResetForNewSearch(state);
  if (IsBlank(request.SearchFor)) return ListFiles(state, request, sink);
  return RunQuerySearch(state, request, sink);
}
