// tessik-cli: one search through the headless window on the calling thread. Result lines
// go to standard output as they are added; message texts, what the search left out and
// then the status line go to standard error.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "cli/arguments.h"
#include "cli/escape.h"
#include "cli/explain.h"
#include "engine/search_driver.h"
#include "engine/search_state.h"
#include "log/search_log.h"
#include "phonetic/phonetic_key.h"
#include "platform/files.h"
#include "platform/headless/headless_window.h"
#include "platform/window.h"
#include "query/term_codes.h"
#include "ui/main_window_layout.h"

namespace {

constexpr int kExitCompleted = 0;
constexpr int kExitMessage = 1;
constexpr int kExitUsage = 2;
constexpr int kExitLeftOut = 3;
constexpr int kExitOutputFailed = 4;

static_assert(kMaxSpecCharacters + 1 == sizeof SearchState.SearchSpecText);
static_assert(kMaxQueryCharacters + 1 == sizeof SearchState.SearchText);

const char kUsage[] =
    "usage: tessik-cli [-s|--subdirs] [--log FILE] [--] SPEC [QUERY...]\n"
    "       tessik-cli --explain WORD\n"
    "\n"
    "Searches the files that match SPEC (a directory part and a pattern such as\n"
    "/home/me/notes/*.txt) for words that sound like QUERY, an expression of words\n"
    "joined by A (and), O (or), N (and not) and X (exclusive or). Without QUERY the\n"
    "matching files are listed. SPEC and QUERY hold at most 255 characters each.\n"
    "\n"
    "  -s, --subdirs   include the subdirectories below the directory of SPEC\n"
    "  --log FILE      write the search log to FILE after the search\n"
    "  --explain WORD  show the normalised form, spelling variants and keys of WORD\n"
    "  --              end of options: what follows is SPEC and QUERY\n"
    "\n"
    "Exit status: 0 the search completed; 1 a message ended it, or the log could not\n"
    "be written; 2 usage error; 3 the search completed but left out folders, files or\n"
    "result entries, each said on standard error; 4 standard output could not be written.\n";

char outputBuffer[1 << 20];
std::vector<std::string> messageTexts;
std::string escapeScratch;

// Ends the program at the first write to standard output that fails: a search whose
// results cannot be written is not worth going on with.
[[noreturn]] void StopOnOutputFailure(int error) {
  std::fprintf(stderr, "tessik-cli: could not write to standard output: %s\n",
               std::strerror(error));
  std::fflush(stderr);
  std::exit(kExitOutputFailed);
}

void WriteOut(const char* text) {
  if (std::fputs(text, stdout) == EOF || std::fputc('\n', stdout) == EOF)
    StopOnOutputFailure(errno);
}

// A word search adds result lines; a listing and an expression search add paths.
void PrintLine(const char* line) {
  const bool resultLine = IsSingleWordSearch(SearchState.LastTermType);
  WriteOut(resultLine ? EscapeResultLine(line, escapeScratch)
                      : EscapeControls(line, escapeScratch));
}

void KeepMessage(const RecordedMessageBox& box) { messageTexts.push_back(box.Text); }

void Complain(const std::string& text) {
  std::fprintf(stderr, "tessik-cli: %s\n", EscapeControls(text.c_str(), escapeScratch));
}

int UsageError(const std::string& problem) {
  Complain(problem);
  std::fputs(kUsage, stderr);
  return kExitUsage;
}

// The status line without its padding blanks.
std::string StatusText() {
  char text[512];
  GetControlText(kStatusLine, text, sizeof text);
  std::string status = text;
  std::size_t end = status.find_last_not_of(' ');
  status.erase(end == std::string::npos ? 0 : end + 1);
  return status;
}

// "tessik-cli: COUNT " and `what`, which names `limit` with %u.
void SayCount(std::uint32_t count, const char* what, std::uint32_t limit) {
  if (count == 0) return;
  std::fprintf(stderr, "tessik-cli: %u ", static_cast<unsigned>(count));
  std::fprintf(stderr, what, static_cast<unsigned>(limit));
  std::fputc('\n', stderr);
}

// One line on standard error for each kind of thing the search left out, and one for
// each file it could not open. True when there was anything.
bool ReportLeftOut() {
  constexpr std::uint32_t kLongestText = kEntrySize - 1;
  const std::uint32_t counts[] = {
      SearchState.FoldersQueueFull,  SearchState.FoldersSpecTooLong,
      SearchState.FilesSetFull,      SearchState.FilesPathTooLong,
      SearchState.UnopenedNotListed, SearchState.LinesWithoutResultEntry};
  bool any = false;
  for (std::uint32_t count : counts) any = any || count > 0;
  SayCount(counts[0], "folder(s) not entered: the queue of folders was full (%u)",
           kDirectoryQueueCapacity);
  SayCount(counts[1], "folder(s) not entered: specification longer than %u characters",
           kLongestText);
  SayCount(counts[2], "file(s) left out: the file set was full (%u)", kFlaggedListCapacity);
  SayCount(counts[3], "file(s) left out: path longer than %u characters", kLongestText);
  // An expression search may fail on one file once per term: it is named once.
  std::set<std::string> named;
  for (std::uint32_t i = 0; i < UnopenedFiles.Count; ++i) {
    const char* path = UnopenedFiles.Get(i);
    if (path == nullptr || !named.insert(path).second) continue;
    any = true;
    std::fprintf(stderr, "tessik-cli: %s: %s\n", EscapeControls(path, escapeScratch),
                 IsExcludedStandardOutput(path) ? "not searched: it is the standard output"
                                                : "could not be opened");
  }
  SayCount(counts[4], "more failed opening(s) not listed: the list of unopened files was full (%u)",
           kUnopenedFilesCapacity);
  SayCount(counts[5],
           "result line(s) beyond the %u the result list holds: the log shows "
           "\"File name not known\" for them",
           kFlaggedListCapacity);
  return any;
}

int Search(const Options& options) {
  // The window the program would show, built from its own layout, in memory.
  if (SetUpMainWindow() != 0) return kExitMessage;
  SetControlText(kSearchInEdit, options.Spec);
  SetControlText(kSearchForEdit, options.Query.c_str());
  HeadlessSetCheck(kIncludeSubdirsCheck, options.Subdirs ? 1 : 0);
  HeadlessSetLineSink(PrintLine);
  HeadlessSetMessageSink(KeepMessage);

  int exitCode = RunSearch() == 0 ? kExitCompleted : kExitMessage;
  // A search that a message ended has nothing to log.
  if (exitCode == kExitCompleted && options.LogPath != nullptr &&
      SaveSearchLog(options.LogPath) != 1)
    exitCode = kExitMessage;
  const bool written = std::fflush(stdout) == 0 && !std::ferror(stdout);
  const int writeError = errno;
  HeadlessSetLineSink(nullptr);
  HeadlessSetMessageSink(nullptr);

  for (const std::string& text : messageTexts) std::fprintf(stderr, "%s\n", text.c_str());
  const bool leftOut = ReportLeftOut();
  std::fprintf(stderr, "%s\n", EscapeControls(StatusText().c_str(), escapeScratch));
  if (!written) StopOnOutputFailure(writeError);
  if (exitCode == kExitCompleted && leftOut) exitCode = kExitLeftOut;
  return exitCode;
}

}  // namespace

int main(int argc, char** argv) {
  // Result lines can run to tens of thousands: one write per megabyte, not per line.
  std::setvbuf(stdout, outputBuffer, _IOFBF, sizeof outputBuffer);
  // Standard output may be a file in the searched tree: the search must not read it.
  ExcludeStandardOutputFromScan();
  InitialisePhonetics();
  Options options;
  int exitCode = kExitCompleted;
  switch (ParseArguments(argc, argv, &options)) {
    case ParseStatus::UsageError:
      exitCode = UsageError(options.Problem);
      break;
    case ParseStatus::Help:
      std::fputs(kUsage, stdout);
      break;
    case ParseStatus::Explain:
      exitCode = RunExplain(options.ExplainWord);
      break;
    case ParseStatus::Search:
      exitCode = Search(options);
      break;
  }
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) StopOnOutputFailure(errno);
  ClearSearchLists();
  return exitCode;
}
