// What tessik-cli asks of the terminal for its progress line, on POSIX and on Windows
// alike. Calling thread of tessik-cli.
#pragma once

#include <cstdio>

// Whether `stream` writes to a terminal (a console on Windows).
bool IsTerminal(std::FILE* stream);

// The width of the terminal that `stream` writes to, in columns: what the terminal says,
// else the COLUMNS variable, else 80.
int TerminalColumns(std::FILE* stream);
