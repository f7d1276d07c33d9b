#include "cli/terminal.h"

#include <cstdlib>

#ifdef _WIN32
#include <io.h>
#else
#include <sys/ioctl.h>
#include <unistd.h>
#endif

namespace {

constexpr int kDefaultColumns = 80;

int ColumnsFromEnvironment() {
  const char* columns = std::getenv("COLUMNS");
  const long value = columns != nullptr ? std::strtol(columns, nullptr, 10) : 0;
  return value > 0 && value < 10000 ? static_cast<int>(value) : kDefaultColumns;
}

}  // namespace

#ifdef _WIN32

bool IsTerminal(std::FILE* stream) { return _isatty(_fileno(stream)) != 0; }

int TerminalColumns(std::FILE*) { return ColumnsFromEnvironment(); }

#else

bool IsTerminal(std::FILE* stream) { return isatty(fileno(stream)) == 1; }

int TerminalColumns(std::FILE* stream) {
  winsize size{};
  if (ioctl(fileno(stream), TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
  return ColumnsFromEnvironment();
}

#endif
