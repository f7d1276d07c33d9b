// What the window remembers between runs (its switches, and nothing else), by name: on
// Linux in $XDG_CONFIG_HOME/tessik/settings (~/.config when that is not set), on Windows
// under the current user's HKEY_CURRENT_USER\Software\Tessik. Window thread only.
#pragma once

// The whole number stored under `name` (a short ASCII name), or `missing` when none is
// stored or the store cannot be read.
int ReadSetting(const char* name, int missing);

// Stores `value` under `name`, keeping what else is stored; 0, or -1 when it could not be
// stored (the previous value then stays as it was).
int WriteSetting(const char* name, int value);
