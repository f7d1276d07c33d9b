// Reading the inputs of a search: "Search for:", and the two that it enumerates, "Search
// in:" and "Include subdirectories". ReadSearchForText: the window thread before it starts
// the worker, or the thread that runs the search itself (tessik-cli, tests).
// ReadSearchInputs: search worker only (or the calling thread in tessik-cli).
#pragma once

// Reads "Search for:" (at most 255 characters) into SearchState.SearchText. The window
// thread may read that text while the search runs (a log saved meanwhile shows it), so the
// worker never writes it: it is read before the worker starts.
void ReadSearchForText();

// Reads the state of "Include subdirectories" and then "Search in:" (at most 255
// characters) into SearchState.SearchSpecText; returns the check state.
int ReadSearchInputs();
