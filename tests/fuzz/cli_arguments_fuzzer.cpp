// Feeds command lines cut from random bytes (each NUL ends an argument) to tessik-cli's
// argument parsing and traps on any answer out of shape: a search without a SPEC, a SPEC
// or QUERY longer than a search reads, a usage error without its reason or one whose
// reason, escaped as the program prints it, would not be one line of text.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "cli/arguments.h"
#include "cli/escape.h"
#include "engine/search_request.h"
#include "platform/character_cut.h"

namespace {

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

bool HasControl(const char* text) {
  for (const char* at = text; *at != '\0'; ++at) {
    const auto byte = static_cast<unsigned char>(*at);
    if (byte < 0x20 || byte == 0x7F) return true;
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::string> words{"tessik-cli"};
  std::string word;
  for (std::size_t i = 0; i < size; ++i) {
    if (data[i] == 0) {
      words.push_back(word);
      word.clear();
    } else {
      word += static_cast<char>(data[i]);
    }
  }
  if (size > 0) words.push_back(word);
  std::vector<const char*> argv;
  for (const std::string& w : words) argv.push_back(w.c_str());
  argv.push_back(nullptr);

  Options options;
  const ParseStatus status = ParseArguments(static_cast<int>(words.size()), argv.data(), &options);
  switch (status) {
    case ParseStatus::Search:
      Check(options.Spec != nullptr && options.ExplainWord == nullptr);
      Check(std::strlen(options.Spec) <= kMaxSpecCharacters);
      Check(CountCharacters(options.Query.data(), options.Query.size()) <= kMaxQueryCharacters);
      Check(options.Query.size() < static_cast<std::size_t>(kSearchForSize));
      Check(options.Problem.empty());
      break;
    case ParseStatus::Explain:
      Check(options.ExplainWord != nullptr && options.Spec == nullptr);
      Check(!options.Subdirs && options.LogPath == nullptr && options.Query.empty());
      Check(options.Output == OutputForm::ResultLines);
      break;
    case ParseStatus::Help:
    case ParseStatus::Version:
      break;
    case ParseStatus::UsageError: {
      Check(!options.Problem.empty());
      std::string scratch;
      Check(!HasControl(EscapeControls(options.Problem.c_str(), scratch)));
      break;
    }
  }
  // Whatever the answer, nothing points outside the arguments.
  for (const char* kept : {options.Spec, options.LogPath, options.ExplainWord}) {
    if (kept == nullptr) continue;
    bool found = false;
    for (const std::string& w : words) found = found || kept == w.c_str();
    Check(found);
  }
  return 0;
}
