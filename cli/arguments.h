// tessik-cli's command line, read into Options without printing anything or touching the
// search, so that the program and a fuzzer call the same code.
#pragma once

#include <cstddef>
#include <string>

#include "engine/sound_method.h"

// What the search worker reads of "Search in:" (bytes, as a path is held) and of "Search
// for:" (characters: letters beyond ASCII take more than one byte in UTF-8). A longer SPEC
// or QUERY would be cut into a different search, so it is refused instead.
constexpr std::size_t kMaxSpecCharacters = 255;
constexpr std::size_t kMaxQueryCharacters = 255;

// The most threads -j takes.
constexpr int kMaxThreads = 256;

enum class ParseStatus { Search, Explain, Help, Version, UsageError };

// What standard output gets of a search: the result lines as the window lists them,
// PATH:LINE:COLUMN:WORD lines for an editor (--vimgrep), or JSON Lines (--json).
enum class OutputForm { ResultLines, Vimgrep, Json };

struct Options {
  bool Subdirs = false;
  OutputForm Output = OutputForm::ResultLines;
  const SoundMethod* Method = &DefaultSoundMethod();
  bool ReadUnicode = false;  // --encoding=auto
  bool GivenNames = false;   // --given-names
  bool ReadRecords = false;  // --records
  const char* LogPath = nullptr;
  const char* ExplainWord = nullptr;
  const char* ExplainOther = nullptr;  // --explain WORD OTHER: why OTHER matches WORD or not
  bool SortByScore = false;            // --sort=score
  int Threads = 0;  // -j N, --threads=N: threads that read the files; 0: one per processor
  const char* Spec = nullptr;
  std::string Query;    // the QUERY words joined by single blanks; empty when none
  std::string Problem;  // after a usage error: what is wrong, in one line
};

// Options may stand anywhere before "--"; a lone "-" is an operand. `argv` holds `argc`
// texts, the program's name first. -h, --help or --version ends the reading at once.
ParseStatus ParseArguments(int argc, const char* const* argv, Options* options);
