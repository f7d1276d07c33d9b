// The button-state rule of the main window, applied from the list state. Called by the
// window thread and by the cleanup at the end of a search on the worker.
#pragma once

// Go reads "&Go", Pause reads "&Pause" and is disabled; Save follows the NonEmpty flags
// of ResultList and UnopenedFiles; Del and Clear follow the count of ResultList.
void RefreshButtons();
