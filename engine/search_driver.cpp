#include "engine/search_driver.h"

#include "engine/file_set.h"
#include "engine/query_search.h"
#include "engine/search_state.h"
#include "platform/thread.h"

namespace {

// Everything a search collects starts empty; the previous cleanup has already released
// the buffer and the handles, so they are only forgotten here.
void ResetForNewSearch() {
  FileSet.Clear();
  DirectoryQueue.Clear();
  UnopenedFiles.Clear();
  SearchState.FirstTermTaken = 0;
  SearchState.LastTermType = 0;
  SearchState.ReadBuffer = nullptr;
  SearchState.PatternFindHandle = kNoFind;
  SearchState.SubdirFindHandle = kNoFind;
  SearchState.MatchedFiles = 0;
  SearchState.FilesSearched = 0;
}

bool IsBlank(const char* text) {
  while (*text == ' ') ++text;
  return *text == '\0';
}

// Lists the files that match the search specification, without reading any of them.
int ListFiles(const SearchRequest& request, SearchSink& sink) {
  sink.CollectingFiles(true);
  const int built = BuildFileSet(request.SearchIn, request.IncludeSubdirectories, sink);
  if (built != kFileSetBuilt) return EndWithoutFiles(built, sink);

  std::uint32_t count = FileSet.Count;
  SearchState.FilesSearched = static_cast<int>(count);
  for (std::uint32_t i = 0; i < count; ++i) {
    if (WorkerCheckpoint() != 0) return -1;
    const char* path = FileSet.Get(i);
    int entry = ResultList.Add(path);
    if (entry < 0) sink.LeftOut(LeftOutKind::LineWithoutEntry);
    if (sink.FileFound(path) < 0 && WorkerCheckpoint() != 0) {
      // Stopped while the line was on its way: the entry must not outlive its line.
      if (entry >= 0) ResultList.RemoveAt(static_cast<std::uint32_t>(entry));
      return -1;
    }
  }
  if (WorkerCheckpoint() != 0) return -1;
  return EndSearch(SearchEnding::FilesListed, sink);
}

}  // namespace

int RunSearch(const SearchRequest& request, SearchSink& sink) {
  ResetForNewSearch();
  if (IsBlank(request.SearchFor)) return ListFiles(request, sink);
  return RunQuerySearch(request, sink);
}
