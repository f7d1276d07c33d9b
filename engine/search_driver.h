// The front door of a search: a request in, everything the search produces out to a sink,
// and what it keeps in the caller's state. Runs on the search worker (or on the calling
// thread in tessik-cli and the tests); pause and stop are the worker's checkpoints
// (platform/thread.h). Two searches may run at once, each with a state and sink of its own.
#pragma once

#include "engine/search_request.h"
#include "engine/search_sink.h"
#include "engine/search_state.h"

// 0 after a completed search or listing; -1 after a refused query, a failed allocation,
// no file found, or a stop.
int RunSearch(SearchState& state, const SearchRequest& request, SearchSink& sink);
