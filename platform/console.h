// The console a command-line program writes its text to. Calling thread of tessik-cli, at
// its start.
#pragma once

#include <cstdio>

// Where the program's code page is UTF-8 (on Windows, as its manifest asks, from Windows
// 10 version 1903 on), makes the console it writes to read UTF-8 too, until the program
// ends, so that file names of every script show as they are. Elsewhere it does nothing:
// a POSIX terminal takes the bytes as the program writes them.
void PrepareConsoleOutput();

// Whether `stream` writes to a terminal (a console on Windows).
bool IsTerminal(std::FILE* stream);

// The width of the terminal that `stream` writes to, in columns: what the terminal says
// (POSIX), else the COLUMNS variable, else 80.
int TerminalColumns(std::FILE* stream);

// The COLUMNS variable when it holds a width, else 80 (the backends' last resort).
int ColumnsFromEnvironment();
