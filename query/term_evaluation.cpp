// Term extraction and the left-to-right evaluation of a query over the file set.
#include "query/term_evaluation.h"

#include <cstring>

#include "engine/file_scanner.h"
#include "engine/search_state.h"
#include "engine/status_line.h"
#include "platform/thread.h"
#include "query/query_validation.h"

namespace {

constexpr int kMaxTermLength = kTermBufferSize - 1;

// Blanks after the progress text; the sole NOT term shows two fewer.
constexpr int kProgressBlanks = 86;
constexpr int kSoleNotProgressBlanks = 84;

std::int32_t CodeOfOperator(char op) {
  switch (op) {
    case 'A':
    case 'a':
      return kTermAnd;
    case 'N':
    case 'n':
      return kTermAndNot;
    case 'X':
    case 'x':
      return kTermXor;
    default:
      return kTermOr;
  }
}

// A term longer than the buffer keeps its first letters; the rest is still consumed.
void CopyTerm(char* term, const char* from, std::size_t length) {
  if (length > static_cast<std::size_t>(kMaxTermLength)) length = kMaxTermLength;
  std::memcpy(term, from, length);
  term[length] = 0;
}

std::size_t WordLength(const char* text) {
  std::size_t length = 0;
  while (text[length] != 0 && text[length] != ' ') ++length;
  return length;
}

void SetFlag(std::uint32_t index, bool set) {
  std::uint8_t& flag = FileSet.Flag(index);
  const bool wasSet = flag != 0;
  if (wasSet == set) return;
  // The count follows the flag at once, so a stop between two files leaves them agreeing.
  flag = set ? 1 : 0;
  if (set) {
    SearchState.MatchedFiles.fetch_add(1);
  } else {
    SearchState.MatchedFiles.fetch_sub(1);
  }
}

// Off the worker no stop can come (WorkerCheckpoint never reports one there either), so a
// stop left over from an earlier worker does not cut a search on the calling thread short.
bool StopCameIn() { return OnWorkerThread() && StopRequested(); }

enum class Scanned { Flagged, Unflagged, Every };

// Scans the entries the term can change and hands each answer to `decide`, which gives
// the entry's new flag. -1 as soon as a stop is requested: the answer of a file cut
// short is not trusted.
template <typename Decide>
int ScanEntries(Scanned which, std::uint32_t scanMode, int blanks, Decide decide) {
  for (std::uint32_t i = 0; i < FileSet.Count.load(); ++i) {
    const bool flagged = FileSet.Flag(i) != 0;
    if (which == Scanned::Flagged && !flagged) continue;
    if (which == Scanned::Unflagged && flagged) continue;
    if (WorkerCheckpoint() != 0) return -1;
    const char* path = FileSet.Get(i);
    if (path == nullptr) break;
    ShowScanProgress(path, blanks);
    const bool found = ScanFile(path, scanMode);
    if (StopCameIn()) return -1;
    SetFlag(i, decide(flagged, found));
  }
  return 0;
}

}  // namespace

std::int32_t TakeNextTerm(char* term, char* expression) {
  term[0] = 0;
  if (expression[0] == 0) return kNoTermLeft;

  if (SearchState.FirstTermTaken.load() == 0 && std::strchr(expression, ' ') == nullptr) {
    CopyTerm(term, expression, std::strlen(expression));
    return kSingleWord;
  }

  // The expression is normalised, so blanks stand alone between words; skipping any
  // extra ones keeps an empty word from becoming a term.
  std::size_t at = 0;
  while (expression[at] == ' ') ++at;
  char op = 'O';
  if (IsOperatorLetter(expression[at]) && expression[at + 1] == ' ') {
    op = expression[at];
    at += 2;
    while (expression[at] == ' ') ++at;
  }
  const std::size_t termLength = WordLength(expression + at);
  CopyTerm(term, expression + at, termLength);
  at += termLength;
  if (expression[at] == ' ') ++at;
  std::memmove(expression, expression + at, std::strlen(expression + at) + 1);

  if (termLength == 0) {
    // Only an operator was left: there is no term to apply.
    expression[0] = 0;
    return kNoTermLeft;
  }

  std::int32_t code = CodeOfOperator(op);
  // A first term counts as standing alone even when a one-letter word follows it.
  if (SearchState.FirstTermTaken.load() == 0 && std::strlen(expression) < 2) code -= 100;
  SearchState.FirstTermTaken.store(1);
  return code;
}

int ApplyTerm(std::int32_t code) {
  switch (code) {
    case kTermOr:
    case kTermOr - 100:
    case kTermAnd - 100:
    case kTermXor - 100:
      return ScanEntries(Scanned::Unflagged, kTermOr, kProgressBlanks,
                         [](bool, bool found) { return found; });
    case kTermAnd:
      return ScanEntries(Scanned::Flagged, kTermAnd, kProgressBlanks,
                         [](bool, bool found) { return found; });
    case kTermAndNot:
      return ScanEntries(Scanned::Flagged, kTermAndNot, kProgressBlanks,
                         [](bool, bool found) { return !found; });
    case kTermXor:
      return ScanEntries(Scanned::Every, kTermXor, kProgressBlanks,
                         [](bool flagged, bool found) { return flagged != found; });
    case kTermAndNot - 100:
      return ScanEntries(Scanned::Every, kTermAndNot, kSoleNotProgressBlanks,
                         [](bool, bool found) { return !found; });
    default:
      return 0;
  }
}

int RunSingleWordPass() {
  // From the last entry down, so that removing the file just scanned moves nothing and
  // the set always holds the files not yet finished.
  for (std::uint32_t i = FileSet.Count.load(); i-- > 0;) {
    if (WorkerCheckpoint() != 0) return -1;
    const char* path = FileSet.Get(i);
    if (path == nullptr) continue;
    ShowScanProgress(path, kProgressBlanks);
    const bool found = ScanFile(path, kScanAll);
    if (StopCameIn() && !found) return -1;  // a file with hits was scanned to its end
    if (found) SearchState.MatchedFiles.fetch_add(1);
    FileSet.RemoveAt(i);
  }
  return 0;
}
