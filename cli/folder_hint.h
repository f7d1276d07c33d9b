// The hint tessik-cli gives when SPEC names a folder: the search looks in the folder
// above it for files named like it, which is seldom what was meant, so one line on
// standard error suggests the files in the folder. Calling thread of tessik-cli.
#pragma once

#include <string>

// The hint for `spec` ("tessik-cli: SPEC is a folder; to search the files in it, give
// 'SPEC/*'", its control bytes escaped), or "" when `spec` names no folder.
std::string FolderHint(const char* spec);
