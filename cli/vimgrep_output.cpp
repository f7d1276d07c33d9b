#include "cli/vimgrep_output.h"

#include <string>

#include "cli/escape.h"
#include "cli/output.h"

namespace {

std::string line;
std::string scratch;

}  // namespace

void PrintVimgrepOccurrence(const FoundOccurrence& occurrence) {
  line = EscapeControls(occurrence.Path, scratch);
  line += ':';
  line += std::to_string(occurrence.Line);
  line += ':';
  line += std::to_string(occurrence.Column);
  line += ':';
  // A word is letters A to Z and a to z only: nothing in it needs escaping.
  line.append(occurrence.Word, occurrence.WordLength);
  WriteOut(line);
}

void PrintVimgrepPath(const char* path) { WriteOut(EscapeControls(path, scratch)); }
