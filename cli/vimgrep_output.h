// tessik-cli --vimgrep: a line an editor can jump to for every occurrence,
// PATH:LINE:COLUMN:WORD, and the bare path of every file of an expression search or a
// listing. Paths are shown as everywhere on standard output, control bytes as \xHH.
// Calling thread of tessik-cli, on which the search runs.
#pragma once

#include "engine/scan_observer.h"

void PrintVimgrepOccurrence(const FoundOccurrence& occurrence);
void PrintVimgrepPath(const char* path);
