// tessik-cli's progress line: while a search runs and standard error is a terminal, the
// file being searched, on one line of standard error that is drawn over and over (at
// most ten times a second) and cleared at the end. Never on a file or a pipe.
// Calling thread of tessik-cli, on which the search runs.
#pragma once

// Turns the line on when standard error is a terminal; it stays off otherwise.
void StartProgress();

// Asked before each file is read: true when the line is on and no drawing happened in the
// last tenth of a second; the drawing that follows counts from now.
bool ProgressDue();

// Draws "Searching  PATH" over the line (after what standard output holds has gone out to
// the terminal, when it writes to one: FlushOutBeforeProgress).
void DrawProgress(const char* path);

// Erases the line when it is shown, leaving the cursor at the start of the line.
void ClearProgress();

// Clears the line and turns it off.
void EndProgress();
