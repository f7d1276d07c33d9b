// tessik-cli: one search on the calling thread, printed by the sink of the output form
// asked for. Result lines (or their --vimgrep or --json form) go to standard output as
// they are found; message texts, what the search left out and then the status line go to
// standard error.
#include <cstdio>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "cli/arguments.h"
#include "cli/escape.h"
#include "cli/explain.h"
#include "cli/folder_hint.h"
#include "cli/json_output.h"
#include "cli/output.h"
#include "cli/progress.h"
#include "cli/result_lines_output.h"
#include "cli/search_record.h"
#include "cli/search_report.h"
#include "cli/vimgrep_output.h"
#include "engine/search_driver.h"
#include "engine/search_request.h"
#include "engine/search_state.h"
#include "log/search_log.h"
#include "phonetic/phonetic_key.h"
#include "platform/console.h"
#include "platform/thread.h"
#include "platform/files.h"
#include "texts/given_name_file.h"
#include "texts/version.h"

namespace {

constexpr int kExitCompleted = 0;
constexpr int kExitMessage = 1;
constexpr int kExitUsage = 2;
constexpr int kExitLeftOut = 3;
static_assert(kExitOutputFailed == 4);

static_assert(kMaxSpecCharacters + 1 == kSearchTextSize);
static_assert(kMaxQueryCharacters == kSearchForCharacters);

const char kUsage[] =
    "usage: tessik-cli [-s|--subdirs] [--method=METHOD] [--encoding=auto] [--given-names]\n"
    "                  [--records] [--log FILE] [--vimgrep|--json] [--sort=score]\n"
    "                  [-j N|--threads=N] [--] SPEC [QUERY...]\n"
    "       tessik-cli [--method=METHOD] [--encoding=auto] [--given-names] --explain WORD\n"
    "       tessik-cli --method=scored [--encoding=auto] --explain WORD OTHER\n"
    "       tessik-cli --version\n"
    "\n"
    "Searches the files that match SPEC (a directory part and a pattern such as\n"
    "/home/me/notes/*.txt) for words that sound like QUERY, an expression of words\n"
    "joined by A (and), O (or), N (and not) and X (exclusive or). Without QUERY the\n"
    "matching files are listed. SPEC and QUERY hold at most 255 characters each.\n"
    "\n"
    "  -s, --subdirs   include the subdirectories below the directory of SPEC\n"
    "  --method=METHOD how words are heard: soundex (the default: the Soundex keys of\n"
    "                  the word and of its spelling variants), dm (Daitch-Mokotoff\n"
    "                  Soundex, for names from Central and Eastern Europe) or scored\n"
    "                  (a word matches when its score, an edit distance weighed by\n"
    "                  what is learned from labeled name pairs, reaches a threshold;\n"
    "                  each word found shows its score)\n"
    "  --encoding=auto read UTF-8, UTF-16 and Windows-1252 text, with accented, Cyrillic\n"
    "                  and Greek letters read as a-z, in the files and in QUERY; the\n"
    "                  default, ascii, reads the letters A-Z alone\n"
    "  --given-names   a given name finds its family: its nicknames and the names a\n"
    "                  nickname stands for (Bill, William), heard by METHOD; the Latin\n"
    "                  forms of registers with their case endings (Gulielmi), heard too;\n"
    "                  and the abbreviations of records (Wm, Jno), matched as written.\n"
    "                  Lines of your own: NAME: EQUIVALENT... in the file\n"
    "                  given-names.txt of the settings folder (~/.config/tessik/;\n"
    "                  %APPDATA%\\Tessik\\ on Windows)\n"
    "  --records       read GEDCOM files (first line 0 HEAD) in the character set their\n"
    "                  header names, CONC lines joined, and .docx, .odt and .epub\n"
    "                  documents as their paragraphs, one line each; their letters\n"
    "                  are read with accents folded; --json names a GEDCOM word's record\n"
    "  --log FILE      write the search log to FILE after the search\n"
    "  --vimgrep       print PATH:LINE:COLUMN:WORD for each word found, or the full path\n"
    "                  of each file listed, instead of the result lines\n"
    "  --json          print JSON Lines: a \"match\" or \"file\" object for each result,\n"
    "                  then a \"summary\"\n"
    "  --sort=score    print the words found best score first (--method=scored)\n"
    "  -j N, --threads=N\n"
    "                  read the files on N threads (default: one per processor); what\n"
    "                  is found and printed is the same with any N, in the same order\n"
    "  --explain WORD  show the normalised form, spelling variants and keys of WORD\n"
    "                  (with --method=dm: its Daitch-Mokotoff codes; with\n"
    "                  --encoding=auto: first the word folded to a-z; with\n"
    "                  --given-names: then its family, each with its keys)\n"
    "  --explain WORD OTHER\n"
    "                  with --method=scored: how OTHER is aligned with WORD, each\n"
    "                  operation with its cost and weight, the score and the threshold\n"
    "  --version       show the version\n"
    "  --              end of options: what follows is SPEC and QUERY\n"
    "\n"
    "Exit status: 0 the search completed; 1 a message ended it, or the log could not\n"
    "be written; 2 usage error; 3 the search completed but left out folders, files or\n"
    "result entries, each said on standard error; 4 standard output could not be written.\n";

std::string escapeScratch;

// The sink that prints the search in the form asked for.
std::unique_ptr<SearchRecord> MakePrinter(OutputForm form, bool keepLineTexts,
                                          bool givenNames) {
  switch (form) {
    case OutputForm::Vimgrep:
      return std::make_unique<VimgrepPrinter>(keepLineTexts);
    case OutputForm::Json:
      return std::make_unique<JsonPrinter>(keepLineTexts, givenNames);
    case OutputForm::ResultLines:
      break;
  }
  return std::make_unique<ResultLinePrinter>(keepLineTexts);
}

void Complain(const std::string& text) {
  std::fprintf(stderr, "tessik-cli: %s\n", EscapeControls(text.c_str(), escapeScratch));
}

int UsageError(const std::string& problem) {
  Complain(problem);
  std::fputs(kUsage, stderr);
  return kExitUsage;
}

int Search(const Options& options) {
  const std::string hint = FolderHint(options.Spec);
  if (!hint.empty()) std::fprintf(stderr, "%s\n", hint.c_str());

  // Only the log reads the lines back; without it a line printed is a line forgotten.
  const bool withLog = options.LogPath != nullptr;
  const std::unique_ptr<SearchRecord> printer = MakePrinter(options.Output, withLog, options.GivenNames);
  SearchRecord& record = *printer;
  if (options.ReadUnicode) record.CountColumnsDecoded();
  SearchRequest request = MakeSearchRequest(options.Spec, options.Query.c_str(), options.Subdirs);
  request.Method = options.Method;
  request.ReadUnicode = options.ReadUnicode;
  request.ReadRecords = options.ReadRecords;
  request.Threads = options.Threads > 0 ? options.Threads : ProcessorCount();
  GivenNameExtras userGivenNames;
  if (options.GivenNames) {
    std::vector<std::string> problems;
    LoadUserGivenNames(&userGivenNames, &problems);
    for (const std::string& problem : problems) Complain(problem);
    request.GivenNames = true;
    request.UserGivenNames = &userGivenNames;
  }
  if (options.SortByScore) record.HoldForScores();
  StartProgress();
  // The search's state: its lists are large, so it lives on the heap.
  const std::unique_ptr<SearchState> owned(new (std::nothrow) SearchState);
  if (owned == nullptr) return kExitMessage;
  SearchState& state = *owned;
  int exitCode = RunSearch(state, request, record) == 0 ? kExitCompleted : kExitMessage;
  EndProgress();
  record.PrintHeld();
  // A search that a message ended has nothing to log.
  if (exitCode == kExitCompleted && withLog) {
    const int saved = SaveSearchLog(options.LogPath, record.Summary(), request, record);
    if (saved != kLogWritten) {
      record.AddMessage(LogFailureMessage(saved).Text);
      exitCode = kExitMessage;
    }
  }
  if (exitCode == kExitCompleted && LeftOutAnything(record, withLog)) exitCode = kExitLeftOut;
  if (options.Output == OutputForm::Json) PrintJsonSummary(record, exitCode, withLog);
  const int writeError = FlushOut();

  for (const std::string& text : record.Messages()) std::fprintf(stderr, "%s\n", text.c_str());
  ReportLeftOut(record, withLog);
  std::fprintf(stderr, "%s\n", EscapeControls(record.Status().c_str(), escapeScratch));
  if (writeError != 0) StopOnOutputFailure(writeError);
  return exitCode;
}

}  // namespace

int main(int argc, char** argv) {
  PrepareConsoleOutput();
  PrepareOutput();
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
    case ParseStatus::Version:
      std::fputs("tessik-cli (Tessik) " TESSIK_VERSION "\n", stdout);
      break;
    case ParseStatus::Explain:
      exitCode = RunExplain(options.ExplainWord, options.ExplainOther, *options.Method,
                            options.ReadUnicode, options.GivenNames);
      break;
    case ParseStatus::Search:
      exitCode = Search(options);
      break;
  }
  const int writeError = FlushOut();
  if (writeError != 0) StopOnOutputFailure(writeError);
  return exitCode;
}
