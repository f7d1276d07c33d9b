// The query search: from the "Search for:" text to the completion text. Once a stop has
// been requested the worker returns at once: the window thread, after joining it, shows
// the stop's text and cleans up, so nothing here may touch the window or the state again.
#include "engine/query_search.h"

#include <cstdint>

#include "engine/file_set.h"
#include "engine/search_inputs.h"
#include "engine/search_state.h"
#include "engine/status_line.h"
#include "engine/term_application.h"
#include "phonetic/phonetic_key.h"
#include "phonetic/spelling_variants.h"
#include "platform/files.h"
#include "platform/memory.h"
#include "platform/thread.h"
#include "platform/window.h"
#include "query/duplicate_keys.h"
#include "query/query_validation.h"
#include "query/term_codes.h"
#include "query/term_evaluation.h"

namespace {

// Puts the term's normalised word, spelling variants and distinct keys in the phonetic
// tables that the scanner reads.
void PrepareQueryTerm(const char* term) {
  NormaliseQueryWord(term);
  GenerateSpellingVariants();
  ComputeVariantKeys();
  RemoveDuplicateKeys();
}

// Lists the files that satisfy the expression, in FileSet order. Returns -1 on a stop.
int CollectMatchingFiles() {
  std::uint32_t count = FileSet.Count;
  SearchState.FilesSearched = static_cast<std::int32_t>(count);
  for (std::uint32_t i = 0; i < count; ++i) {
    if (FileSet.Flag(i) == 0) continue;
    const char* path = FileSet.Get(i);
    // The line goes first: after a stop the window thread lists the flagged files itself,
    // so a line refused for the stop must not leave an entry behind.
    if (ListBoxAddLine(kResultListBox, path) < 0 && WorkerCheckpoint() != 0) return -1;
    if (ResultList.Add(path) < 0) SearchState.LinesWithoutResultEntry += 1;
    FileSet.Flag(i) = 0;  // listed now: the window thread's listing after a stop skips it
  }
  return 0;
}

// The common end of a finished search. Returns -1 when a stop came first.
int FinishSearch() {
  ShowCompletionStatus(kCompletedSearch);
  if (WorkerCheckpoint() != 0) return -1;
  ResetSearchState();
  SetControlFocus(kResultListBox);
  return 0;
}

}  // namespace

int RunQuerySearch() {
  char expression[kQueryExpressionSize];
  char term[kTermBufferSize];

  NormaliseQuery(SearchState.SearchText, expression);
  int verdict = ValidateQuery(expression);
  if (verdict != kQueryAccepted) {
    const char* message = QueryRefusalMessage(verdict);
    ShowMessageBox(" Tessik", message != nullptr ? message : "", MessageIcon::Information);
    if (WorkerCheckpoint() != 0) return -1;
    ResetSearchState();
    SetControlFocus(kSearchForEdit);
    return -1;
  }

  auto* buffer = static_cast<std::uint8_t*>(AllocateZeroed(kReadChunkSize));
  SearchState.ReadBuffer = buffer;
  if (buffer == nullptr) {
    ShowMessageBox(" Error", " Insufficient memory to open files. ", MessageIcon::Error);
    if (WorkerCheckpoint() != 0) return -1;
    ResetSearchState();
    return -1;
  }

  ShowPaddedStatus("Searching...", kQuerySearchingBlanks);
  int subdirState = ReadSearchInputs();
  if (WorkerCheckpoint() != 0) return -1;
  if (BuildFileSet(SearchState.SearchSpecText, subdirState) != 0) return -1;

  if (FileSet.Count != 0) {
    for (;;) {
      std::int32_t code = TakeNextTerm(term, expression, SearchState.FirstTermTaken);
      SearchState.LastTermType = code;
      if (code == kNoTermLeft) break;
      PrepareQueryTerm(term);
      if (code == kSingleWord) {
        // The pass lists every occurrence itself and leaves the FileSet empty.
        if (RunSingleWordPass() != 0) return -1;
        return FinishSearch();
      }
      if (IsExpressionTerm(code) && ApplyTerm(code) != 0) return -1;
    }
  }

  if (CollectMatchingFiles() != 0) return -1;
  return FinishSearch();
}
