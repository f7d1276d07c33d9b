#include "platform/spec_pattern.h"

namespace {

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

std::size_t DirectoryPartLength(const char* spec, std::size_t length) {
  std::size_t split = 0;
  for (std::size_t i = 0; i < length; ++i) {
    if (spec[i] == '/' || spec[i] == '\\') split = i + 1;
  }
  return split;
}

bool WildcardMatch(const char* pattern, const char* name) {
  if (pattern == nullptr || name == nullptr) return false;
  // Backtracking to the last '*' only: a later star always covers what an earlier
  // one could, so this is linear in memory and never recurses.
  const char* p = pattern;
  const char* n = name;
  const char* starP = nullptr;
  const char* starN = nullptr;
  while (*n != '\0') {
    if (*p == '*') {
      starP = p++;
      starN = n;
    } else if (*p != '\0' && (*p == '?' || LowerAscii(*p) == LowerAscii(*n))) {
      ++p;
      ++n;
    } else if (starP != nullptr) {
      p = starP + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (*p == '*') ++p;
  if (*p == '\0') return true;
  // A ".*" that ends the pattern may also match nothing at the end of the name: "readme.*"
  // finds "readme", and "*.*" finds every name.
  if (*p != '.' || p[1] != '*') return false;
  ++p;
  while (*p == '*') ++p;
  return *p == '\0';
}
