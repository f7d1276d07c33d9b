#include "cli/result_lines_output.h"

#include <cstring>

#include "cli/escape.h"
#include "cli/output.h"

void ResultLinePrinter::PrintOccurrence(const FoundOccurrence& occurrence, const char* line) {
  // Most lines: neither the file's name nor the word holds a control byte, and the line is
  // whole, so its only control bytes are the three tabs between its columns, which stay.
  if (!ShownNameHoldsControl() && !HoldsControl(occurrence.Word, occurrence.WordLength) &&
      std::strlen(line) < kLongestResultLine) {
    WriteOut(line);
    return;
  }
  WriteOut(EscapeResultLine(line, scratch_));
}

void ResultLinePrinter::PrintPath(const char* path) { WriteOut(EscapeControls(path, scratch_)); }
