// The window's search: the request read from the window's controls, run through the
// window's sink, which shows what the search produces in the status line, the result list,
// message boxes, the buttons and the focus, as each happens.
// ReadWindowRequest and LastWindowRequest: window thread (or a test that plays it), while
// no worker runs for ReadWindowRequest. RunWindowSearch: the search worker (or the thread
// of a test that plays it), after ReadWindowRequest.
#pragma once

#include "engine/search_request.h"

// Reads "Search for:", "Include subdirectories" and "Search in:" (at most 255 characters
// each) into the window's request, with the switches of the window's menu.
void ReadWindowRequest();

// The window's request through the window's sink (engine/search_driver.h).
int RunWindowSearch();

// The request of the last search: the log's header shows its "Search for:" text.
const SearchRequest& LastWindowRequest();
