#include "cli/arguments.h"

#include <cstring>
#include <string>

#include "platform/character_cut.h"

namespace {

ParseStatus UsageError(Options* options, std::string problem) {
  options->Problem = std::move(problem);
  return ParseStatus::UsageError;
}

enum class OptionValue { NotThis, Missing, Read };

// Whether argv[*i] is the long option `name` ("--method") with its value: the next argument,
// or, where `joined` allows it, what follows "=" in the same one ("--method=dm"). When the
// value is read, *value points to it and *i to the last argument taken.
OptionValue ReadOptionValue(const char* name, bool joined, int argc, const char* const* argv,
                            int* i, const char** value) {
  const char* arg = argv[*i];
  const std::size_t length = std::strlen(name);
  if (std::strncmp(arg, name, length) != 0) return OptionValue::NotThis;
  if (joined && arg[length] == '=') {
    *value = arg + length + 1;
    return OptionValue::Read;
  }
  if (arg[length] != '\0') return OptionValue::NotThis;
  if (*i + 1 >= argc) return OptionValue::Missing;
  *value = argv[++*i];
  return OptionValue::Read;
}

// -j N, -jN, --threads=N or --threads N.
OptionValue ReadThreadsOption(int argc, const char* const* argv, int* i, const char** value) {
  const char* arg = argv[*i];
  if (std::strncmp(arg, "-j", 2) == 0 && arg[2] != '\0') {
    *value = arg + 2;
    return OptionValue::Read;
  }
  if (std::strcmp(arg, "-j") == 0) return ReadOptionValue("-j", false, argc, argv, i, value);
  return ReadOptionValue("--threads", true, argc, argv, i, value);
}

// A thread count from 1 to kMaxThreads, written in decimal digits alone; 0 for anything else.
int ReadThreadCount(const char* text) {
  int count = 0;
  for (const char* c = text; *c != '\0'; ++c) {
    if (*c < '0' || *c > '9') return 0;
    count = count * 10 + (*c - '0');
    if (count > kMaxThreads) return 0;
  }
  return count;
}

}  // namespace

ParseStatus ParseArguments(int argc, const char* const* argv, Options* options) {
  *options = Options{};
  bool optionsEnded = false;
  int queryWords = 0;
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    const char* value = nullptr;
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
    } else if (const OptionValue log = ReadOptionValue("--log", false, argc, argv, &i, &value);
               log != OptionValue::NotThis) {
      if (log == OptionValue::Missing) return UsageError(options, "--log needs a FILE");
      options->LogPath = value;
    } else if (const OptionValue method = ReadOptionValue("--method", true, argc, argv, &i, &value);
               method != OptionValue::NotThis) {
      if (method == OptionValue::Missing) return UsageError(options, "--method needs a METHOD");
      options->Method = FindSoundMethod(value);
      if (options->Method == nullptr)
        return UsageError(options, std::string("unknown METHOD ") + value +
                                       " (methods: " + SoundMethodNames() + ")");
    } else if (const OptionValue encoding =
                   ReadOptionValue("--encoding", true, argc, argv, &i, &value);
               encoding != OptionValue::NotThis) {
      if (encoding == OptionValue::Missing)
        return UsageError(options, "--encoding needs auto or ascii");
      if (std::strcmp(value, "auto") == 0) {
        options->ReadUnicode = true;
      } else if (std::strcmp(value, "ascii") == 0) {
        options->ReadUnicode = false;
      } else {
        return UsageError(options,
                          std::string("unknown encoding ") + value + " (encodings: auto, ascii)");
      }
    } else if (std::strcmp(arg, "--given-names") == 0) {
      options->GivenNames = true;
    } else if (std::strcmp(arg, "--records") == 0) {
      options->ReadRecords = true;
    } else if (const OptionValue explain =
                   ReadOptionValue("--explain", false, argc, argv, &i, &value);
               explain != OptionValue::NotThis) {
      if (explain == OptionValue::Missing) return UsageError(options, "--explain needs a WORD");
      options->ExplainWord = value;
    } else if (const OptionValue threads = ReadThreadsOption(argc, argv, &i, &value);
               threads != OptionValue::NotThis) {
      options->Threads = threads == OptionValue::Read ? ReadThreadCount(value) : 0;
      if (options->Threads == 0)
        return UsageError(options, "-j and --threads need a number of threads from 1 to " +
                                       std::to_string(kMaxThreads));
    } else if (const OptionValue sort = ReadOptionValue("--sort", true, argc, argv, &i, &value);
               sort != OptionValue::NotThis) {
      if (sort == OptionValue::Missing) return UsageError(options, "--sort needs score");
      if (std::strcmp(value, "score") != 0)
        return UsageError(options, std::string("unknown order ") + value + " (orders: score)");
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
    const bool other =
        options->Spec != nullptr && options->Query.empty() && options->Method->ScoresWords();
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
