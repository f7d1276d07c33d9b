#include "engine/search_driver.h"

#include "engine/file_set.h"
#include "engine/query_search.h"
#include "engine/search_inputs.h"
#include "engine/search_state.h"
#include "engine/status_line.h"
#include "phonetic/phonetic_key.h"
#include "phonetic/spelling_variants.h"
#include "platform/thread.h"
#include "platform/window.h"

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
  SearchState.FoldersQueueFull = 0;
  SearchState.FoldersSpecTooLong = 0;
  SearchState.FilesSetFull = 0;
  SearchState.FilesPathTooLong = 0;
  SearchState.UnopenedNotListed = 0;
  SearchState.LinesWithoutResultEntry = 0;
  KeyCount = 0;
  VariantCount = 0;
}

bool IsBlank(const char* text) {
  while (*text == ' ') ++text;
  return *text == '\0';
}

// Lists the files that match the search specification, without reading any of them.
int ListFiles() {
  ShowPaddedStatus("Searching...", kListingSearchingBlanks);
  int subdirState = ReadSearchInputs();
  if (BuildFileSet(SearchState.SearchSpecText, subdirState) < 0) return -1;

  std::uint32_t count = FileSet.Count;
  SearchState.FilesSearched = static_cast<int>(count);
  for (std::uint32_t i = 0; i < count; ++i) {
    if (WorkerCheckpoint() != 0) return -1;
    const char* path = FileSet.Get(i);
    int entry = ResultList.Add(path);
    if (entry < 0) SearchState.LinesWithoutResultEntry += 1;
    if (ListBoxAddLine(kResultListBox, path) < 0 && WorkerCheckpoint() != 0) {
      // Stopped while the line was on its way: the entry must not outlive its line.
      if (entry >= 0) ResultList.RemoveAt(static_cast<std::uint32_t>(entry));
      return -1;
    }
  }
  if (WorkerCheckpoint() != 0) return -1;
  ShowCompletionStatus(kCompletedListing);
  if (WorkerCheckpoint() != 0) return -1;  // the summary may have been cut: Stop shows its own
  ResetSearchState();
  return 0;
}

}  // namespace

int RunSearch() {
  ReadSearchForText();
  return RunSearchOfReadText();
}

int RunSearchOfReadText() {
  ResetForNewSearch();
  if (IsBlank(SearchState.SearchText)) return ListFiles();
  return RunQuerySearch();
}
