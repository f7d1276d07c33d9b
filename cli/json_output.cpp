#include "cli/json_output.h"

#include <cstdio>
#include <string_view>

#include "cli/json_text.h"
#include "cli/output.h"
#include "cli/query_variants.h"
#include "cli/search_report.h"
#include "engine/search_state.h"
#include "platform/window.h"

namespace {

std::string line;

void AppendNumber(const char* name, long long value) {
  line += ",\"";
  line += name;
  line += "\":";
  line += std::to_string(value);
}

}  // namespace

void PrintJsonOccurrence(const FoundOccurrence& occurrence) {
  line = "{\"type\":\"match\",";
  AppendJsonText(line, "path", occurrence.Path);
  AppendNumber("line", occurrence.Line);
  AppendNumber("column", occurrence.Column);
  AppendNumber("offset", occurrence.Offset);
  // As the result line rounds it.
  char percentage[32];
  std::snprintf(percentage, sizeof percentage, ",\"percentage\":%.1f", occurrence.Percentage);
  line += percentage;
  AppendNumber("size_k", occurrence.SizeK);
  line += ',';
  AppendJsonText(line, "word", std::string_view(occurrence.Word, occurrence.WordLength));
  line += ',';
  const char* variant = VariantWithKey(occurrence.Key);
  if (variant != nullptr) {
    AppendJsonText(line, "variant", variant);
  } else {
    line += "\"variant\":null";
  }
  line += ',';
  AppendJsonText(line, "key", std::string_view(occurrence.Key.Bytes, sizeof occurrence.Key.Bytes));
  line += '}';
  WriteOut(line);
}

void PrintJsonPath(const char* path) {
  line = "{\"type\":\"file\",";
  AppendJsonText(line, "path", path);
  line += '}';
  WriteOut(line);
}

void PrintJsonSummary(const std::vector<std::string>& messages, int exitStatus, bool withLog) {
  line = "{\"type\":\"summary\",";
  AppendJsonText(line, "status", StatusText());
  line += ",\"messages\":[";
  for (std::size_t i = 0; i < messages.size(); ++i) {
    if (i > 0) line += ',';
    AppendJsonString(line, messages[i]);
  }
  line += ']';
  AppendNumber("files_searched", SearchState.FilesSearched);
  AppendNumber("files_matched", SearchState.MatchedFiles);
  AppendNumber("results", ListBoxCount(kResultListBox));
  line += ",\"unopened\":[";
  bool first = true;
  for (const UnopenedFile& file : UnopenedFileList()) {
    line += first ? "{" : ",{";
    first = false;
    AppendJsonText(line, "path", file.Path);
    line += file.IsStandardOutput ? ",\"reason\":\"standard output\"}"
                                  : ",\"reason\":\"could not be opened\"}";
  }
  line += "],\"left_out\":{";
  first = true;
  for (const LeftOutCount& count : LeftOutCounts(withLog)) {
    if (!first) line += ',';
    first = false;
    line += '"';
    line += count.Name;
    line += "\":";
    line += std::to_string(count.Count);
  }
  line += '}';
  AppendNumber("exit_status", exitStatus);
  line += '}';
  WriteOut(line);
}
