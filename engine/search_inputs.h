// Reading the two inputs of "Search in:" and "Include subdirectories" that a search
// enumerates. Search worker only (or the calling thread in tessik-cli).
#pragma once

// Reads the state of "Include subdirectories" and then "Search in:" (at most 255
// characters) into SearchState.SearchSpecText; returns the check state.
int ReadSearchInputs();
