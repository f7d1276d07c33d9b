// Enumeration of the files a search covers: the "Search in:" specification, applied to
// one directory or, with subdirectories, to the whole tree below it. Search worker only.
#pragma once

constexpr int kSpecBufferSize = 260;  // working buffers: at most 259 characters

// Splits `spec` at its last '/' or '\': the directory part keeps the separator, the
// pattern is the rest. Both outputs hold kSpecBufferSize bytes.
void SplitSearchSpec(const char* spec, char* directoryPart, char* pattern);

// Fills FileSet from `specText` (depth first through DirectoryQueue when `subdirState`
// is 1). Returns 0 when the enumeration completed (FileSet may be empty), or -1 when the
// search has ended: nothing was found (the message has been shown, the state reset, the
// status set to "Ready" and the focus moved), or a stop was requested.
int BuildFileSet(const char* specText, int subdirState);
