// The commands that use the file dialogs: Browse picks the file to search, Save writes
// the search log. Window thread only.
#pragma once

#include "platform/window.h"

constexpr int kDialogPathSize = 510;

extern const FileFilter kBrowseFilters[2];
extern const FileFilter kSaveFilters[2];

void BrowseCommand();
void SaveCommand();
