// The search mode of the driver: validates the query, collects the files and applies
// the query term by term. Search worker only.
#pragma once

// 0 after a completed search; -1 after a refused query, a failed allocation, no file
// found, or a stop.
int RunQuerySearch();
