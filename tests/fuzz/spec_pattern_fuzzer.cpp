// The "Search in:" text as the engine takes it apart: the split into a directory part and
// a pattern, and the wild-card match of a name against the pattern, each held against a
// plain reference written here. Every byte value but the terminator reaches them; half of
// the inputs are spelt in the few characters that mean something to them, so that stars,
// question marks, dots and separators come often.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "engine/file_set.h"
#include "platform/spec_pattern.h"

namespace {

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

constexpr char kMeaningful[] = "*?.aAbB/\\x";

std::string TakeText(FuzzedDataProvider& input, std::size_t most, bool meaningful) {
  std::string text = input.ConsumeRandomLengthString(most);
  // A C string ends at its first zero byte.
  text.resize(std::strlen(text.c_str()));
  if (meaningful) {
    for (char& c : text) c = kMeaningful[static_cast<unsigned char>(c) % (sizeof(kMeaningful) - 1)];
  }
  return text;
}

// A copy on the heap of exactly the text and its terminator, so that a read past the end
// is caught.
char* HeapCopy(const std::string& text) {
  char* copy = static_cast<char*>(std::malloc(text.size() + 1));
  std::memcpy(copy, text.c_str(), text.size() + 1);
  return copy;
}

unsigned char Folded(unsigned char c) { return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c; }

// Whole-string match by dynamic programming: '*' any run, '?' any one character, every
// other character itself, ASCII letters without regard to case.
bool PlainMatch(const std::string& pattern, const std::string& name) {
  const std::size_t p = pattern.size();
  const std::size_t n = name.size();
  // can[i][j]: pattern[i..] matches name[j..].
  std::vector<std::vector<char>> can(p + 1, std::vector<char>(n + 1, 0));
  can[p][n] = 1;
  for (std::size_t i = p; i-- > 0;) {
    for (std::size_t j = n + 1; j-- > 0;) {
      const unsigned char pc = static_cast<unsigned char>(pattern[i]);
      if (pc == '*') {
        can[i][j] = can[i + 1][j] || (j < n && can[i][j + 1]);
      } else if (j < n &&
                 (pc == '?' || Folded(pc) == Folded(static_cast<unsigned char>(name[j])))) {
        can[i][j] = can[i + 1][j + 1];
      }
    }
  }
  return can[0][0] != 0;
}

// A pattern ending in ".*" (the stars of a run counting as one) also matches a name that
// matches what stands before the ".*", with nothing for the extension: "readme.*" finds
// "readme", and "*.*" finds every name.
bool ReferenceMatch(const std::string& pattern, const std::string& name) {
  if (PlainMatch(pattern, name)) return true;
  std::string stem = pattern;
  while (!stem.empty() && stem.back() == '*') stem.pop_back();
  if (stem.size() == pattern.size() || stem.empty() || stem.back() != '.') return false;
  stem.pop_back();
  return PlainMatch(stem, name);
}

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const bool meaningful = input.ConsumeBool();
  const std::string pattern = TakeText(input, 48, meaningful);
  const std::string name = TakeText(input, 64, meaningful);
  // The search specification runs past the 259 characters that a split looks at when it is long.
  std::string spec = pattern + name;
  if (!spec.empty() && input.ConsumeBool()) {
    while (spec.size() < 300) spec += spec;
  }

  char* heapPattern = HeapCopy(pattern);
  char* heapName = HeapCopy(name);
  Check(WildcardMatch(heapPattern, heapName) == ReferenceMatch(pattern, name));
  Check(!WildcardMatch(nullptr, heapName));
  Check(!WildcardMatch(heapPattern, nullptr));
  std::free(heapPattern);
  std::free(heapName);

  char* heapSpec = HeapCopy(spec);
  // The directory part of any leading part of the text: up to and including its last
  // separator.
  for (std::size_t length : {spec.size(), spec.size() / 2, std::size_t{0}}) {
    std::size_t expected = 0;
    for (std::size_t i = 0; i < length; ++i) {
      if (IsSeparator(spec[i])) expected = i + 1;
    }
    Check(DirectoryPartLength(heapSpec, length) == expected);
  }

  // The split looks at the first 259 characters only; the two parts are exactly those,
  // cut after the last separator among them.
  char* directory = static_cast<char*>(std::malloc(kSpecBufferSize));
  char* patternPart = static_cast<char*>(std::malloc(kSpecBufferSize));
  SplitSearchSpec(heapSpec, directory, patternPart);
  const std::string taken = spec.substr(0, kSpecBufferSize - 1);
  const std::size_t last = taken.find_last_of("/\\");
  const std::string expectedDirectory = last == std::string::npos ? "" : taken.substr(0, last + 1);
  Check(std::memchr(directory, '\0', kSpecBufferSize) != nullptr);
  Check(std::memchr(patternPart, '\0', kSpecBufferSize) != nullptr);
  Check(directory == expectedDirectory);
  Check(patternPart == taken.substr(expectedDirectory.size()));
  std::free(directory);
  std::free(patternPart);
  std::free(heapSpec);
  return 0;
}
