#include "cli/result_lines_output.h"

#include "cli/escape.h"
#include "cli/output.h"

void ResultLinePrinter::PrintOccurrence(const FoundOccurrence&, const char* line) {
  WriteOut(EscapeResultLine(line, scratch_));
}

void ResultLinePrinter::PrintPath(const char* path) { WriteOut(EscapeControls(path, scratch_)); }
