// The console on POSIX: a terminal shows the bytes the program writes, as they are.
#include "platform/console.h"

void PrepareConsoleOutput() {}
