// tessik-cli's standard output: the lines of a search, in large buffered writes, and the
// end of the program at the first write that fails. When standard output is the terminal
// that shows the progress line, the line is cleared before anything is written and the
// lines written are shown before it is drawn again. Calling thread of tessik-cli.
#pragma once

#include <string>

// The exit status after a write to standard output failed.
constexpr int kExitOutputFailed = 4;

// Once, before anything is written.
void PrepareOutput();

// Writes `line` and a line feed.
void WriteOut(const char* line);
void WriteOut(const std::string& line);

// Writes what is buffered. Returns 0, or the error number of a write that failed, now or
// earlier.
int FlushOut();

// Before the progress line is drawn: what is buffered goes to the terminal first, when
// standard output is one.
void FlushOutBeforeProgress();

// Says on standard error that standard output could not be written, and ends the program.
[[noreturn]] void StopOnOutputFailure(int error);
