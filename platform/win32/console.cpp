// The console on Win32. A console reads what a program writes in its own output code page
// (the system's OEM one, unless someone changed it), not in the program's: a program whose
// code page is UTF-8 sets the console to UTF-8 and gives it back its code page at the end,
// since the console outlives the program.
#include "platform/console.h"

#include <io.h>
#include <windows.h>

#include <cstdlib>

namespace {

UINT consoleCodePageBefore = 0;

void RestoreConsoleCodePage() { SetConsoleOutputCP(consoleCodePageBefore); }

}  // namespace

void PrepareConsoleOutput() {
  if (GetACP() != CP_UTF8) return;  // a Windows older than the manifest: its code page
  const UINT current = GetConsoleOutputCP();
  if (current == 0 || current == CP_UTF8) return;  // 0: no console
  if (SetConsoleOutputCP(CP_UTF8) == 0) return;
  consoleCodePageBefore = current;
  std::atexit(RestoreConsoleCodePage);
}

bool IsTerminal(std::FILE* stream) { return _isatty(_fileno(stream)) != 0; }

int TerminalColumns(std::FILE*) { return ColumnsFromEnvironment(); }
