// The state of the searches a test program runs on the engine directly, made on first use:
// one per program, as the window has one. The test's threads, one search at a time.
#pragma once

#include "engine/search_state.h"

inline SearchState& TestSearchState() {
  static SearchState* const state = new SearchState;
  return *state;
}
