// What tests need of the scanner beyond what the program uses. Not for the program's own
// code. Search worker only, or the test's thread while no search runs.
#pragma once

#include <cstdint>

// Numbers the first line of every file scanned from now on `first` instead of 1, so that
// a test can reach line numbers that would otherwise take gigabytes of line feeds.
void StartLineNumbersAt(std::int64_t first);
