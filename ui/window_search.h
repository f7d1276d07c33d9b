// The window's search: the request read from the window's controls, run through the
// window's sink, which shows what the search produces in the status line, the result list,
// message boxes, the buttons and the focus, as each happens.
// ReadWindowRequest and LastWindowRequest: window thread (or a test that plays it), while
// no worker runs for ReadWindowRequest. RunWindowSearch: the search worker (or the thread
// of a test that plays it), with a request of its own.
#pragma once

#include "engine/search_request.h"
#include "engine/search_state.h"

// Reads "Search for:", "Include subdirectories" and "Search in:" (at most 255 characters
// each) into a request, with the switches of the window's menu, and keeps a copy as the
// last request.
SearchRequest ReadWindowRequest();

// `request` through the window's sink (engine/search_driver.h).
int RunWindowSearch(const SearchRequest& request);

// The end of the window's search after a stop, through the window's sink: the window thread,
// once the worker has returned without ending it (engine/search_state.h, EndStoppedSearch).
void EndStoppedWindowSearch();

// What the window's last search handed over at its end (its counts and the lists its lines
// name), or while a search runs its counts so far: for Save and for the summary after a
// line is deleted. The window thread.
SearchSummary WindowSearchResults();

// The state of the window's search: what the search keeps and the window shows, lists,
// saves and opens. Made on first use; the window thread, and the worker of its search.
SearchState& WindowSearchState();

// The request last read: the log's header shows its "Search for:" text and method.
const SearchRequest& LastWindowRequest();
