#include "engine/term_application.h"

#include "engine/file_scanner.h"
#include "engine/search_state.h"
#include "platform/thread.h"
#include "query/term_codes.h"
#include "query/term_evaluation.h"

namespace {

void SetFlag(SearchState& state, std::uint32_t index, bool set) {
  std::uint8_t& flag = state.FileSet.Flag(index);
  const bool wasSet = flag != 0;
  if (wasSet == set) return;
  // The count follows the flag at once, so a stop between two files leaves them agreeing.
  flag = set ? 1 : 0;
  if (set) {
    state.MatchedFiles.fetch_add(1);
  } else {
    state.MatchedFiles.fetch_sub(1);
  }
}

bool InScope(TermScope scope, bool matching) {
  switch (scope) {
    case TermScope::NotMatching:
      return !matching;
    case TermScope::Matching:
      return matching;
    case TermScope::Every:
      return true;
  }
  return false;
}

}  // namespace

int ApplyTerm(SearchState& state, std::int32_t code, const HeardTerm& term, WordReading& reading,
              SearchSink& sink, RecordsReading* records) {
  const TermRule* rule = RuleOfTerm(code);
  if (rule == nullptr) return 0;
  for (std::uint32_t i = 0; i < state.FileSet.Count.load(); ++i) {
    const bool matching = state.FileSet.Flag(i) != 0;
    if (!InScope(rule->Scope, matching)) continue;
    if (WorkerCheckpoint() != 0) return -1;
    const char* path = state.FileSet.Get(i);
    if (path == nullptr) break;
    sink.SearchingFile(path, code);
    const bool found = ScanFile(state, path, ScanMode::StopAtFirstMatch, state.FileSet.Marked(i),
                                term, reading, sink, records);
    // The answer of a file cut short by a stop is not trusted.
    if (WorkerCheckpoint() != 0) return -1;
    SetFlag(state, i, rule->NewFlag(matching, found));
  }
  return 0;
}

int RunSingleWordPass(SearchState& state, const HeardTerm& term, WordReading& reading,
                      SearchSink& sink, RecordsReading* records) {
  // From the last entry down, so that removing the file just scanned moves nothing and
  // the set always holds the files not yet finished.
  for (std::uint32_t i = state.FileSet.Count.load(); i-- > 0;) {
    if (WorkerCheckpoint() != 0) return -1;
    const char* path = state.FileSet.Get(i);
    if (path == nullptr) continue;
    sink.SearchingFile(path, kSingleWord);
    const bool found = ScanFile(state, path, ScanMode::ListEveryOccurrence, state.FileSet.Marked(i),
                                term, reading, sink, records);
    // A file with hits was scanned to its end; one without may have been cut short.
    if (!found && WorkerCheckpoint() != 0) return -1;
    if (found) state.MatchedFiles.fetch_add(1);
    state.FileSet.RemoveAt(i);
  }
  return 0;
}
