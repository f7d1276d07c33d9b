// The parts of a search specification (a directory part and a wild-card pattern) and the
// matching of a name against the pattern: text rules of their own, shared by the engine
// and by a directory enumeration whose platform has no wild cards of its own. Any thread.
#pragma once

#include <cstddef>

// Length of the directory part of the first `length` characters of `spec`: up to and
// including its last '/' or '\', or 0 when it has neither.
std::size_t DirectoryPartLength(const char* spec, std::size_t length);

// Only '*' (any run of characters) and '?' (one character) are wild; letters match
// without regard to case; a ".*" that ends the pattern may also match nothing at the end
// of the name ("readme.*" finds "readme", "*x.*" finds "y.x"), so "*.*" matches every name.
bool WildcardMatch(const char* pattern, const char* name);
