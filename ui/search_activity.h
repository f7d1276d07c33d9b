// What the window's search is doing, as the program knows it: nothing, running, or paused.
// The window thread sets it where a search starts, pauses, resumes and is stopped or the
// window closes; the window's sink sets it on the search worker once a search that ended by
// itself has made its last window calls. Read by the window thread (Go or Stop).
#pragma once

enum class SearchActivity { Idle, Running, Paused };

SearchActivity WindowSearchActivity();
void SetWindowSearchActivity(SearchActivity activity);
// Sets `to` only when the activity is `from`: a pause or a resume of a search that has
// meanwhile ended leaves it Idle. True when it was set.
bool ChangeWindowSearchActivity(SearchActivity from, SearchActivity to);
