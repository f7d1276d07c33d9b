#include "cli/arguments.h"

#include <cstring>

#include "platform/character_cut.h"

namespace {

ParseStatus UsageError(Options* options, std::string problem) {
  options->Problem = std::move(problem);
  return ParseStatus::UsageError;
}

}  // namespace

ParseStatus ParseArguments(int argc, const char* const* argv, Options* options) {
  *options = Options{};
  bool optionsEnded = false;
  int queryWords = 0;
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    if (optionsEnded || arg[0] != '-' || arg[1] == '\0') {
      if (options->Spec == nullptr) {
        options->Spec = arg;
      } else {
        if (queryWords++ > 0) options->Query += ' ';
        options->Query += arg;
      }
    } else if (std::strcmp(arg, "--") == 0) {
      optionsEnded = true;
    } else if (std::strcmp(arg, "-s") == 0 || std::strcmp(arg, "--subdirs") == 0) {
      options->Subdirs = true;
    } else if (std::strcmp(arg, "--log") == 0) {
      if (i + 1 >= argc) return UsageError(options, "--log needs a FILE");
      options->LogPath = argv[++i];
    } else if (std::strcmp(arg, "--method") == 0 || std::strncmp(arg, "--method=", 9) == 0) {
      const char* name = arg[8] == '=' ? arg + 9 : nullptr;
      if (name == nullptr) {
        if (i + 1 >= argc) return UsageError(options, "--method needs a METHOD");
        name = argv[++i];
      }
      options->Method = FindSoundMethod(name);
      if (options->Method == nullptr)
        return UsageError(options, std::string("unknown METHOD ") + name +
                                       " (methods: " + SoundMethodNames() + ")");
    } else if (std::strcmp(arg, "--encoding") == 0 || std::strncmp(arg, "--encoding=", 11) == 0) {
      const char* name = arg[10] == '=' ? arg + 11 : nullptr;
      if (name == nullptr) {
        if (i + 1 >= argc) return UsageError(options, "--encoding needs auto or ascii");
        name = argv[++i];
      }
      if (std::strcmp(name, "auto") == 0) {
        options->ReadUnicode = true;
      } else if (std::strcmp(name, "ascii") == 0) {
        options->ReadUnicode = false;
      } else {
        return UsageError(options,
                          std::string("unknown encoding ") + name + " (encodings: auto, ascii)");
      }
    } else if (std::strcmp(arg, "--given-names") == 0) {
      options->GivenNames = true;
    } else if (std::strcmp(arg, "--explain") == 0) {
      if (i + 1 >= argc) return UsageError(options, "--explain needs a WORD");
      options->ExplainWord = argv[++i];
    } else if (std::strcmp(arg, "--sort") == 0 || std::strncmp(arg, "--sort=", 7) == 0) {
      const char* name = arg[6] == '=' ? arg + 7 : nullptr;
      if (name == nullptr) {
        if (i + 1 >= argc) return UsageError(options, "--sort needs score");
        name = argv[++i];
      }
      if (std::strcmp(name, "score") != 0)
        return UsageError(options, std::string("unknown order ") + name + " (orders: score)");
      options->SortByScore = true;
    } else if (std::strcmp(arg, "--vimgrep") == 0 || std::strcmp(arg, "--json") == 0) {
      const OutputForm form = arg[2] == 'v' ? OutputForm::Vimgrep : OutputForm::Json;
      if (options->Output != OutputForm::ResultLines && options->Output != form)
        return UsageError(options, "--vimgrep and --json cannot be used together");
      options->Output = form;
    } else if (std::strcmp(arg, "-h") == 0 || std::strcmp(arg, "--help") == 0) {
      return ParseStatus::Help;
    } else if (std::strcmp(arg, "--version") == 0) {
      return ParseStatus::Version;
    } else {
      return UsageError(options, std::string("unknown option ") + arg);
    }
  }
  if (options->ExplainWord != nullptr) {
    // A method that scores words explains a second word against the first.
    const bool other = options->Spec != nullptr && options->Query.empty() && options->Method->ScoresWords();
    if (options->Subdirs || options->LogPath != nullptr || (options->Spec != nullptr && !other) ||
        options->Output != OutputForm::ResultLines || options->SortByScore)
      return UsageError(options, options->Method->ScoresWords()
                                     ? "--explain takes one word, or two, and nothing else"
                                     : "--explain takes one word and nothing else");
    options->ExplainOther = options->Spec;
    options->Spec = nullptr;
    return ParseStatus::Explain;
  }
  if (options->SortByScore && !options->Method->ScoresWords())
    return UsageError(options, "--sort=score needs a method that scores words (--method=scored)");
  if (options->Spec == nullptr) return UsageError(options, "SPEC is missing");
  if (std::strlen(options->Spec) > kMaxSpecCharacters)
    return UsageError(options, "SPEC is longer than 255 characters");
  if (CountCharacters(options->Query.data(), options->Query.size()) > kMaxQueryCharacters)
    return UsageError(options, "QUERY is longer than 255 characters");
  return ParseStatus::Search;
}
