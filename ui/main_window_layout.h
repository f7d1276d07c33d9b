// The main window's layout: its control table and the start-up that builds the window
// from it. Window thread only, before the message loop runs.
#pragma once

#include "platform/window.h"

constexpr int kControlCount = 16;
// The typing limits of "Search in:" and "Search for:": the longest text the search reads
// of each (the texts of a SearchRequest), so that what the field shows is
// what is searched.
constexpr int kSearchInLimit = 255;
constexpr int kSearchForLimit = 255;

// "Word:", "File:", "Line:" and "File size:" spaced over the four tab stops.
extern const char kColumnHeadingText[];

// The sixteen controls in creation order, which is also the order Tab follows.
extern const ControlRow kControlTable[kControlCount];

// Tab stops of the result list box, in dialog units.
extern const int kResultTabStops[3];

// Creates the main window with its controls and About item, sets tab stops and typing
// limits, applies the button rule, shows the window and puts the focus on "Search in:".
// Returns 0, or -1 when the window could not be created (nothing is shown).
int SetUpMainWindow();
