// The body of the search worker: one search from the two inputs to its end.
// Runs on the worker thread (or on the calling thread in tessik-cli).
#pragma once

// 0 after a completed search or listing; -1 after a refused query, a failed allocation,
// no file found, or a stop. RunSearch reads "Search for:" first (ReadSearchForText), for a
// program that runs the search on its own thread; RunSearchOfReadText is the window's
// worker, whose window thread read it before starting the worker.
int RunSearch();
int RunSearchOfReadText();
