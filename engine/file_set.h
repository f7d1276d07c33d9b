// Enumeration of the files a search covers: the "Search in:" specification, applied to
// one directory or, with subdirectories, to the whole tree below it. Search worker only.
#pragma once

#include "engine/search_sink.h"

struct SearchState;

constexpr int kSpecBufferSize = 260;  // working buffers: at most 259 characters

// Splits `spec` at its last '/' or '\': the directory part keeps the separator, the
// pattern is the rest. Both outputs hold kSpecBufferSize bytes.
void SplitSearchSpec(const char* spec, char* directoryPart, char* pattern);

// What BuildFileSet answers.
constexpr int kFileSetBuilt = 0;          // the enumeration completed (FileSet may be empty)
constexpr int kFileSetStopped = -1;       // a stop was requested
constexpr int kNoFileMatches = -2;        // the directory has no file that matches
constexpr int kNoFileMatchesInTree = -3;  // nor has the tree below it, with subdirectories

// Fills the state's FileSet from `specText`, depth first through its DirectoryQueue with
// `includeSubdirectories`. What has to be left out is told to `sink`.
int BuildFileSet(SearchState& state, const char* specText, bool includeSubdirectories,
                 SearchSink& sink);
