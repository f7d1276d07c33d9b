#include "cli/json_output.h"

#include <cstdio>
#include <string_view>
#include <utility>

#include "cli/json_text.h"
#include "cli/output.h"
#include "cli/search_report.h"

namespace {

void AppendNumber(std::string& line, const char* name, long long value) {
  line += ",\"";
  line += name;
  line += "\":";
  line += std::to_string(value);
}

}  // namespace

void JsonPrinter::PrintOccurrence(const FoundOccurrence& occurrence, const char*) {
  std::string& line = line_;
  line = "{\"type\":\"match\",";
  AppendJsonText(line, "path", occurrence.Path);
  AppendNumber(line, "line", occurrence.Line);
  AppendNumber(line, "column", ColumnOf(occurrence));
  AppendNumber(line, "offset", occurrence.Offset);
  // As the result line rounds it.
  char percentage[32];
  std::snprintf(percentage, sizeof percentage, ",\"percentage\":%.1f", occurrence.Percentage);
  line += percentage;
  AppendNumber(line, "size_k", occurrence.SizeK);
  line += ',';
  AppendJsonText(line, "word", std::string_view(occurrence.Word, occurrence.WordLength));
  line += ',';
  if (occurrence.Variant != nullptr) {
    AppendJsonText(line, "variant", occurrence.Variant);
  } else {
    line += "\"variant\":null";
  }
  line += ',';
  // An abbreviation matched as written has no key.
  if (occurrence.Code[0] != '\0') {
    AppendJsonText(line, "key", occurrence.Code);
  } else {
    line += "\"key\":null";
  }
  if (equivalents_) {
    for (const auto& [name, text] : {std::pair{"equivalent", occurrence.Equivalent},
                                     std::pair{"equivalent_kind", occurrence.EquivalentKind}}) {
      line += ',';
      if (text != nullptr) {
        AppendJsonText(line, name, text);
      } else {
        line += std::string("\"") + name + "\":null";
      }
    }
  }
  if (occurrence.Score != kNoScore) AppendNumber(line, "score", occurrence.Score);
  // The GEDCOM record the word stands in (records and documents).
  if (occurrence.Record != nullptr) {
    line += ',';
    AppendJsonText(line, "record", occurrence.Record);
  }
  line += '}';
  WriteOut(line);
}

void JsonPrinter::PrintPath(const char* path) {
  line_ = "{\"type\":\"file\",";
  AppendJsonText(line_, "path", path);
  line_ += '}';
  WriteOut(line_);
}

void PrintJsonSummary(const SearchRecord& record, int exitStatus, bool withLog) {
  const std::vector<std::string>& messages = record.Messages();
  std::string line = "{\"type\":\"summary\",";
  AppendJsonText(line, "status", record.Status());
  line += ",\"messages\":[";
  for (std::size_t i = 0; i < messages.size(); ++i) {
    if (i > 0) line += ',';
    AppendJsonString(line, messages[i]);
  }
  line += ']';
  AppendNumber(line, "files_searched", record.Summary().FilesSearched);
  AppendNumber(line, "files_matched", record.Summary().MatchedFiles);
  AppendNumber(line, "results", record.Count());
  line += ",\"unopened\":[";
  bool first = true;
  for (const UnopenedFile& file : UnopenedFileList(record)) {
    line += first ? "{" : ",{";
    first = false;
    AppendJsonText(line, "path", file.Path);
    if (file.Refusal != nullptr) {
      line += ',';
      AppendJsonText(line, "reason", file.Refusal);
      line += '}';
      continue;
    }
    line += file.IsStandardOutput ? ",\"reason\":\"standard output\"}"
                                  : ",\"reason\":\"could not be opened\"}";
  }
  line += "],\"left_out\":{";
  first = true;
  for (const LeftOutCount& count : LeftOutCounts(record, withLog)) {
    if (!first) line += ',';
    first = false;
    line += '"';
    line += count.Name;
    line += "\":";
    line += std::to_string(count.Count);
  }
  line += '}';
  AppendNumber(line, "exit_status", exitStatus);
  line += '}';
  WriteOut(line);
}
