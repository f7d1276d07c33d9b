#include "cli/vimgrep_output.h"

#include "cli/escape.h"
#include "cli/output.h"

void VimgrepPrinter::PrintOccurrence(const FoundOccurrence& occurrence, const char*) {
  line_ = EscapeControls(occurrence.Path, scratch_);
  line_ += ':';
  line_ += std::to_string(occurrence.Line);
  line_ += ':';
  line_ += std::to_string(ColumnOf(occurrence));
  line_ += ':';
  // A word is letters A to Z and a to z only: nothing in it needs escaping.
  line_.append(occurrence.Word, occurrence.WordLength);
  WriteOut(line_);
}

void VimgrepPrinter::PrintPath(const char* path) { WriteOut(EscapeControls(path, scratch_)); }
