#include "engine/term_application.h"

#include <new>

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

// The FileSet entries a pass reads, in its order; nullptr when there is no memory for them.
struct PassIndexes {
  explicit PassIndexes(std::uint32_t capacity) : Indexes(new (std::nothrow) std::uint32_t[capacity]) {}
  ~PassIndexes() { delete[] Indexes; }
  std::uint32_t* Indexes;
  std::uint32_t Count = 0;
};

// Helpers read as records only with records readings of their own.
bool WantsHelpers(const HelperReading* helpers, const RecordsReading* records) {
  return helpers != nullptr && helpers->Helpers > 0 &&
         (records == nullptr) == !helpers->MakeRecords;
}

// ApplyTerm with helpers: 1 when they could not be had (the caller reads the files itself).
int ApplyTermWithHelpers(SearchState& state, std::int32_t code, const TermRule& rule,
                         const HeardTerm& term, WordReading& reading, RecordsReading* records,
                         const HelperReading& helpers, SearchSink& sink) {
  const std::uint32_t count = state.FileSet.Count.load();
  PassIndexes pass(count == 0 ? 1 : count);
  if (pass.Indexes == nullptr) return 1;
  // A term changes only the flag of the file it has just read, so the files in its scope
  // are known before the first is read.
  for (std::uint32_t i = 0; i < count; ++i) {
    if (!InScope(rule.Scope, state.FileSet.Flag(i) != 0)) continue;
    if (state.FileSet.Get(i) == nullptr) break;
    pass.Indexes[pass.Count++] = i;
  }
  if (pass.Count == 0) return 0;
  FileReaders readers;
  if (readers.Start(state, helpers, ScanMode::StopAtFirstMatch, pass.Indexes, pass.Count) != 0)
    return 1;
  for (std::uint32_t k = 0; k < pass.Count; ++k) {
    const std::uint32_t i = pass.Indexes[k];
    const bool matching = state.FileSet.Flag(i) != 0;
    if (WorkerCheckpoint() != 0) return -1;
    sink.SearchingFile(state.FileSet.Get(i), code);
    const int found = readers.Next(state, term, reading, sink, records);
    if (found < 0 || WorkerCheckpoint() != 0) return -1;
    SetFlag(state, i, rule.NewFlag(matching, found == 1));
  }
  return 0;
}

// RunSingleWordPass with helpers: 1 when they could not be had.
int SingleWordPassWithHelpers(SearchState& state, const HeardTerm& term, WordReading& reading,
                              RecordsReading* records, const HelperReading& helpers,
                              SearchSink& sink) {
  const std::uint32_t count = state.FileSet.Count.load();
  PassIndexes pass(count == 0 ? 1 : count);
  if (pass.Indexes == nullptr) return 1;
  for (std::uint32_t i = count; i-- > 0;) {
    if (state.FileSet.Get(i) != nullptr) pass.Indexes[pass.Count++] = i;
  }
  if (pass.Count == 0) return 0;
  FileReaders readers;
  if (readers.Start(state, helpers, ScanMode::ListEveryOccurrence, pass.Indexes, pass.Count) != 0)
    return 1;
  for (std::uint32_t k = 0; k < pass.Count; ++k) {
    const std::uint32_t i = pass.Indexes[k];
    if (WorkerCheckpoint() != 0) return -1;
    sink.SearchingFile(state.FileSet.Get(i), kSingleWord);
    const int found = readers.Next(state, term, reading, sink, records);
    if (found < 0 || (found == 0 && WorkerCheckpoint() != 0)) return -1;
    if (found == 1) state.MatchedFiles.fetch_add(1);
    state.FileSet.RemoveAt(i);
  }
  return 0;
}

}  // namespace

int ApplyTerm(SearchState& state, std::int32_t code, const HeardTerm& term, WordReading& reading,
              SearchSink& sink, RecordsReading* records, const HelperReading* helpers) {
  const TermRule* rule = RuleOfTerm(code);
  if (rule == nullptr) return 0;
  if (WantsHelpers(helpers, records)) {
    const int applied =
        ApplyTermWithHelpers(state, code, *rule, term, reading, records, *helpers, sink);
    if (applied <= 0) return applied;
  }
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
                      SearchSink& sink, RecordsReading* records, const HelperReading* helpers) {
  if (WantsHelpers(helpers, records)) {
    const int passed = SingleWordPassWithHelpers(state, term, reading, records, *helpers, sink);
    if (passed <= 0) return passed;
  }
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
