// The body of the search worker: one search from the two inputs to its end.
// Runs on the worker thread (or on the calling thread in tessik-cli).
#pragma once

// 0 after a completed search or listing; -1 after a refused query, a failed allocation,
// no file found, or a stop.
int RunSearch();
