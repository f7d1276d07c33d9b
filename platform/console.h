// The console a command-line program writes its text to. Calling thread of tessik-cli, at
// its start.
#pragma once

// Where the program's code page is UTF-8 (on Windows, as its manifest asks, from Windows
// 10 version 1903 on), makes the console it writes to read UTF-8 too, until the program
// ends, so that file names of every script show as they are. Elsewhere it does nothing:
// a POSIX terminal takes the bytes as the program writes them.
void PrepareConsoleOutput();
