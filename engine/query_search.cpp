// The query search: from the "Search for:" text to the completion text. Once a stop has
// been requested the worker returns at once: the thread that asked for the stop, after
// joining it, ends the search (EndStoppedSearch), so nothing here may call the sink or
// touch the state again.
#include "engine/query_search.h"

#include <cstdint>
#include <memory>

#include "engine/file_set.h"
#include "engine/given_name_term.h"
#include "engine/query_letters.h"
#include "engine/search_state.h"
#include "engine/term_application.h"
#include "platform/files.h"
#include "platform/memory.h"
#include "platform/thread.h"
#include "query/query_validation.h"
#include "query/term_codes.h"
#include "query/term_evaluation.h"

namespace {

// Lists the files that satisfy the expression, in FileSet order. Returns -1 on a stop.
int CollectMatchingFiles(SearchState& state, SearchSink& sink) {
  std::uint32_t count = state.FileSet.Count;
  state.FilesSearched = static_cast<std::int32_t>(count);
  for (std::uint32_t i = 0; i < count; ++i) {
    if (state.FileSet.Flag(i) == 0) continue;
    const char* path = state.FileSet.Get(i);
    // The line goes first: after a stop the stop's end lists the files still flagged, so
    // a line refused for the stop must not leave an entry behind.
    if (sink.FileFound(path) < 0 && WorkerCheckpoint() != 0) return -1;
    if (state.ResultList.Add(path) < 0) sink.LeftOut(LeftOutKind::LineWithoutEntry);
    state.FileSet.Flag(i) = 0;  // listed now: the stop's listing skips it
  }
  return 0;
}

// The common end of a search that applied its query.
int FinishSearch(SearchState& state, SearchSink& sink) {
  // A log written later reads FilesSearched: an expression was applied to every file
  // enumerated.
  if (!IsSingleWordSearch(state.LastTermType)) {
    state.FilesSearched = static_cast<std::int32_t>(state.FileSet.Count.load());
  }
  return EndSearch(state, SearchEnding::QueryAnswered, sink);
}

}  // namespace

int RunQuerySearch(SearchState& state, const SearchRequest& request, SearchSink& sink) {
  char expression[kQueryExpressionSize];
  char word[kTermBufferSize];

  char folded[kFoldedQuerySize];
  if (request.ReadUnicode) {
    // The whole text, whose 255 characters may take more than 255 bytes, as its letters read.
    if (FoldQueryLetters(request.SearchFor, folded) != kQueryLettersFolded)
      return EndSearch(state, SearchEnding::QueryRefused, sink, kQueryFoldedTooLong);
    NormaliseQuery(folded, expression, kFoldedQuerySize - 1);
  } else {
    NormaliseQuery(request.SearchFor, expression);
  }
  int verdict = ValidateQuery(expression);
  if (verdict != kQueryAccepted) return EndSearch(state, SearchEnding::QueryRefused, sink, verdict);

  auto* buffer = static_cast<std::uint8_t*>(AllocateZeroed(kReadChunkSize));
  state.ReadBuffer = buffer;
  // How the search reads its files: the letters of today's encodings, or the bytes'.
  const std::unique_ptr<WordReading> reading =
      request.ReadUnicode ? MakeLetterReading() : MakeByteReading();
  // GEDCOM files and documents, with their switch, are read in letters whatever the reading
  // of the other files.
  const std::unique_ptr<RecordsReading> records =
      request.ReadRecords ? MakeRecordsReading() : nullptr;
  if (buffer == nullptr || reading == nullptr || (request.ReadRecords && records == nullptr))
    return EndSearch(state, SearchEnding::NoMemory, sink);

  sink.CollectingFiles(false);
  if (WorkerCheckpoint() != 0) return -1;
  const int built = BuildFileSet(state, request.SearchIn, request.IncludeSubdirectories, sink);
  if (built != kFileSetBuilt) return EndWithoutFiles(state, built, sink);

  // With more threads than one, helpers read the files: each hears the term itself.
  HelperReading helpers;
  const HelperReading* withHelpers = nullptr;
  if (request.Threads > 1) {
    // The thread that runs the search reads too, whatever file is due that no helper has
    // taken yet.
    helpers.Helpers = request.Threads - 1;
    helpers.FirstLine = state.FirstLineNumber;
    helpers.PieceSize = request.PieceSize;
    helpers.MakeReading = [&request] {
      return request.ReadUnicode ? MakeLetterReading() : MakeByteReading();
    };
    helpers.HearTerm = [&request, &word] {
      return request.GivenNames
                 ? HearWithGivenNames(*request.Method, word, request.UserGivenNames)
                 : request.Method->Hear(word);
    };
    // GEDCOM files and documents, with their switch: each helper reads them whole with its
    // own letters, and the texts kept for the other terms are the search's.
    if (records != nullptr) {
      helpers.MakeRecords = [&records] { return MakeRecordsReading(records->Texts); };
    }
    withHelpers = &helpers;
  }

  if (state.FileSet.Count != 0) {
    for (;;) {
      std::int32_t code = TakeNextTerm(word, expression, state.FirstTermTaken);
      state.LastTermType = code;
      if (code == kNoTermLeft) break;
      // With given-name equivalents the word is heard with its family.
      const std::unique_ptr<HeardTerm> term =
          request.GivenNames ? HearWithGivenNames(*request.Method, word, request.UserGivenNames)
                             : request.Method->Hear(word);
      if (term == nullptr) return EndSearch(state, SearchEnding::NoMemory, sink);
      if (code == kSingleWord) {
        // The pass lists every occurrence itself and leaves the FileSet empty.
        if (RunSingleWordPass(state, *term, *reading, sink, records.get(), withHelpers) != 0)
          return -1;
        return FinishSearch(state, sink);
      }
      if (IsExpressionTerm(code) &&
          ApplyTerm(state, code, *term, *reading, sink, records.get(), withHelpers) != 0)
        return -1;
    }
  }

  if (CollectMatchingFiles(state, sink) != 0) return -1;
  return FinishSearch(state, sink);
}
