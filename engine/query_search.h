// The search mode of the driver: validates the query, collects the files and applies
// the query term by term. Search worker only.
#pragma once

#include "engine/search_request.h"
#include "engine/search_sink.h"
#include "engine/search_state.h"

// 0 after a completed search; -1 after a refused query, a failed allocation, no file
// found, or a stop.
int RunQuerySearch(SearchState& state, const SearchRequest& request, SearchSink& sink);
