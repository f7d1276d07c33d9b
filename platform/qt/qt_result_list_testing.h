// What tests and the window benchmark read of the result list beyond the window
// services. Window thread.
#pragma once

#include <vector>

// The lines the view has been told of so far.
int QtShownLineCount();
// The tab stops in pixels from the start of the text.
std::vector<int> QtTabStopPixels();
