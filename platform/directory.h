// Directory enumeration by a specification: a directory part and a wild-card pattern.
// Called by the search worker (enumeration) and the window thread (cleanup after Stop).
#pragma once

#include <cstdint>

using FindHandle = std::intptr_t;
constexpr FindHandle kNoFind = 0;
constexpr FindHandle kInvalidFind = -1;  // counts as none wherever a handle is tested

struct FindEntry {
  char Name[256];    // name without the directory
  bool IsDirectory;  // the entry's type after following a symbolic link
  bool IsLink;       // a symbolic link or another reparse point: never entered as a directory
  bool IsRegularFile;  // a regular file, after following a link, as far as the listing tells
};

// The separator the walk puts after a subdirectory's name in a search specification it queues.
#ifdef _WIN32
constexpr char kSubdirectorySeparator = '\\';
#else
constexpr char kSubdirectorySeparator = '/';
#endif

// Results of FindNext.
constexpr int kFindOk = 0;
constexpr int kFindNoMoreFiles = 1;  // the normal end of the enumeration
constexpr int kFindFailed = -1;      // any other failure

// Starts an enumeration of `spec`. The directory part ends at the last '/' or '\';
// an empty directory part is the current directory. The wild cards are the platform's:
// on Windows its own, elsewhere those of WildcardMatch (spec_pattern.h): only '*' and '?'
// are wild, letters match without regard to case, and "*.*" matches every name ("." and
// ".." included). Returns a handle and fills `entry` with the first match, or
// kInvalidFind when nothing matches or the directory cannot be read. A name longer than
// an entry holds is passed over, never cut.
FindHandle FindFirst(const char* spec, FindEntry* entry);

// Fills `entry` with the next match.
int FindNext(FindHandle find, FindEntry* entry);

// Releases the enumeration; none and invalid handles are ignored.
void FindClose(FindHandle find);

inline bool IsOpenFind(FindHandle find) { return find != kNoFind && find != kInvalidFind; }
