// The file scanner: reads one file in 64 KiB chunks, cuts it into words and lines,
// codes every word and compares its key with the keys of the current query term.
// Search worker only.
#pragma once

#include <cstdint>

// Scan modes: 1 lists every occurrence; any other value stops at the first match.
constexpr std::uint32_t kScanAll = 1;

// Returns true when an occurrence was listed (mode 1, file read to the end) or a match
// was found (other modes). Files that cannot be opened or read go to UnopenedFiles.
bool ScanFile(const char* path, std::uint32_t scanMode);
