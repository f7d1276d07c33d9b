// tessik-cli: one search through the headless window on the calling thread. Result lines
// go to standard output as they are added; message texts and then the status line go to
// standard error.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "cli/explain.h"
#include "engine/search_driver.h"
#include "engine/search_state.h"
#include "log/search_log.h"
#include "phonetic/phonetic_key.h"
#include "platform/headless/headless_window.h"
#include "platform/window.h"
#include "ui/main_window_layout.h"

namespace {

constexpr int kExitCompleted = 0;
constexpr int kExitMessage = 1;
constexpr int kExitUsage = 2;

const char kUsage[] =
    "usage: tessik-cli [-s|--subdirs] [--log FILE] [--] SPEC [QUERY...]\n"
    "       tessik-cli --explain WORD\n"
    "\n"
    "Searches the files that match SPEC (a directory part and a pattern such as\n"
    "/home/me/notes/*.txt) for words that sound like QUERY, an expression of words\n"
    "joined by A (and), O (or), N (and not) and X (exclusive or). Without QUERY the\n"
    "matching files are listed.\n"
    "\n"
    "  -s, --subdirs   include the subdirectories below the directory of SPEC\n"
    "  --log FILE      write the search log to FILE after the search\n"
    "  --explain WORD  show the normalised form, spelling variants and keys of WORD\n"
    "  --              end of options: what follows is SPEC and QUERY\n";

char outputBuffer[1 << 20];
std::vector<std::string> messageTexts;

void PrintLine(const char* line) {
  std::fputs(line, stdout);
  std::fputc('\n', stdout);
}

void KeepMessage(const RecordedMessageBox& box) { messageTexts.push_back(box.Text); }

int UsageError(const char* problem) {
  if (problem != nullptr) std::fprintf(stderr, "tessik-cli: %s\n", problem);
  std::fputs(kUsage, stderr);
  return kExitUsage;
}

struct Options {
  bool Subdirs = false;
  const char* LogPath = nullptr;
  const char* ExplainWord = nullptr;
  std::vector<const char*> Operands;  // SPEC, then the QUERY words
};

// Options may stand anywhere before "--"; 0, or the exit code of a usage error.
int ParseOptions(int argc, char** argv, Options* options) {
  bool optionsEnded = false;
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    if (optionsEnded || arg[0] != '-' || arg[1] == '\0') {
      options->Operands.push_back(arg);
    } else if (std::strcmp(arg, "--") == 0) {
      optionsEnded = true;
    } else if (std::strcmp(arg, "-s") == 0 || std::strcmp(arg, "--subdirs") == 0) {
      options->Subdirs = true;
    } else if (std::strcmp(arg, "--log") == 0) {
      if (i + 1 >= argc) return UsageError("--log needs a FILE");
      options->LogPath = argv[++i];
    } else if (std::strcmp(arg, "--explain") == 0) {
      if (i + 1 >= argc) return UsageError("--explain needs a WORD");
      options->ExplainWord = argv[++i];
    } else if (std::strcmp(arg, "-h") == 0 || std::strcmp(arg, "--help") == 0) {
      std::fputs(kUsage, stdout);
      return -1;
    } else {
      return UsageError((std::string("unknown option ") + arg).c_str());
    }
  }
  if (options->ExplainWord != nullptr) {
    if (options->Subdirs || options->LogPath != nullptr || !options->Operands.empty())
      return UsageError("--explain takes one word and nothing else");
    return 0;
  }
  if (options->Operands.empty()) return UsageError("SPEC is missing");
  return 0;
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

int Search(const Options& options) {
  // The window the program would show, built from its own layout, in memory.
  if (SetUpMainWindow() != 0) return kExitMessage;
  SetControlText(kSearchInEdit, options.Operands[0]);
  std::string query;
  for (std::size_t i = 1; i < options.Operands.size(); ++i) {
    if (i > 1) query += ' ';
    query += options.Operands[i];
  }
  SetControlText(kSearchForEdit, query.c_str());
  HeadlessSetCheck(kIncludeSubdirsCheck, options.Subdirs ? 1 : 0);
  HeadlessSetLineSink(PrintLine);
  HeadlessSetMessageSink(KeepMessage);

  int exitCode = RunSearch() == 0 ? kExitCompleted : kExitMessage;
  // A search that a message ended has nothing to log.
  if (exitCode == kExitCompleted && options.LogPath != nullptr &&
      SaveSearchLog(options.LogPath) != 1)
    exitCode = kExitMessage;
  std::fflush(stdout);
  HeadlessSetLineSink(nullptr);
  HeadlessSetMessageSink(nullptr);

  for (const std::string& text : messageTexts) std::fprintf(stderr, "%s\n", text.c_str());
  std::fprintf(stderr, "%s\n", StatusText().c_str());
  return exitCode;
}

}  // namespace

int main(int argc, char** argv) {
  // Result lines can run to tens of thousands: one write per megabyte, not per line.
  std::setvbuf(stdout, outputBuffer, _IOFBF, sizeof outputBuffer);
  InitialisePhonetics();
  Options options;
  int parsed = ParseOptions(argc, argv, &options);
  int exitCode;
  if (parsed > 0) {
    exitCode = parsed;
  } else if (parsed < 0) {
    exitCode = kExitCompleted;
  } else if (options.ExplainWord != nullptr) {
    exitCode = RunExplain(options.ExplainWord);
  } else {
    exitCode = Search(options);
  }
  std::fflush(stdout);
  ClearSearchLists();
  return exitCode;
}
