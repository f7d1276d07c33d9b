// The commands that start, hold and end the search worker: Go, Stop, Pause or Resume,
// and the closing of the window. Window thread only.
#pragma once

void GoCommand();
void StopCommand();
void PauseCommand();
// Ends a running or paused search without a status text, cleans up and destroys the
// window (its destruction posts the quit message).
void CloseCommand();
