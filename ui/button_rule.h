// The button-state rule of the main window, applied from the list state. Called by the
// window thread, and by the window's sink on the search worker when a search has ended.
#pragma once

// Go reads "&Go", Pause reads "&Pause" and is disabled; Save follows the NonEmpty flags
// of the window search's ResultList and UnopenedFiles; Del and Clear follow the count of
// its ResultList.
void RefreshButtons();
