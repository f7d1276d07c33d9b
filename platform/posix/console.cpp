// The console on POSIX: a terminal shows the bytes the program writes, as they are.
#include "platform/console.h"

#include <sys/ioctl.h>
#include <unistd.h>

void PrepareConsoleOutput() {}

bool IsTerminal(std::FILE* stream) { return isatty(fileno(stream)) == 1; }

int TerminalColumns(std::FILE* stream) {
  winsize size{};
  if (ioctl(fileno(stream), TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
  return ColumnsFromEnvironment();
}
