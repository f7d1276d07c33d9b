// The search log: the results of the last search written to a text file. Window thread.
#pragma once

// Writes the log to `path`; 1 when all of it was written, 0 after a failure has been
// reported to the user in a message box (what was written stays on disk).
int SaveSearchLog(const char* path);

// Index of the first tab of `text`, or 0 when it has none.
int FindFirstTab(const char* text);
