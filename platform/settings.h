// What the window remembers between runs (its switches, and nothing else), by name: on
// Linux in $XDG_CONFIG_HOME/tessik/settings (~/.config when that is not set), on Windows
// under the current user's HKEY_CURRENT_USER\Software\Tessik; and the files a user writes
// for the program beside them. Window thread only, or tessik-cli's only thread.
#pragma once

#include <cstddef>
#include <string>

// The whole number stored under `name` (a short ASCII name), or `missing` when none is
// stored or the store cannot be read.
int ReadSetting(const char* name, int missing);

// Stores `value` under `name`, keeping what else is stored; 0, or -1 when it could not be
// stored (the previous value then stays as it was).
int WriteSetting(const char* name, int value);

// The name of the user's file of given-name equivalents in the settings folder.
constexpr const char* kGivenNamesFileName = "given-names.txt";

// The file `name` of the folder where the user keeps files of their own for the program,
// written by hand: $XDG_CONFIG_HOME/tessik/ on Linux (~/.config/tessik/ when that is not
// set), %APPDATA%\Tessik\ on Windows, whose settings are in the registry and have no
// folder. Sets *path to the file's path ("" when no folder is known) and *text to its
// bytes, at most kMaxUserFileBytes of them. 0 when read; 1 when there is no such file;
// -1 when it cannot be read or is larger.
constexpr std::size_t kMaxUserFileBytes = 1024 * 1024;
int ReadUserFile(const char* name, std::string* path, std::string* text);
