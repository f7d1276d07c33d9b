#include "support/recording_sink.h"

#include "platform/thread.h"

namespace {

// A stop concerns the worker alone: the engine meets it only there (WorkerCheckpoint), and
// a test that plays the search on its own thread after a stopped worker is not stopped.
bool Stopped() { return OnWorkerThread() && StopRequested(); }

}  // namespace

void PrintTo(const RecordedOccurrence& occurrence, std::ostream* out) {
  *out << occurrence.Word << " in " << occurrence.Path << " line " << occurrence.Line << " column "
       << occurrence.Column << " offset " << occurrence.Offset << " code " << occurrence.Code
       << " spelling \"" << occurrence.Variant << '"';
}

void RecordingSink::CollectingFiles(bool listing) {
  if (!Stopped()) Collecting.push_back(listing);
}

void RecordingSink::SearchingFile(const char* path, std::int32_t termCode) {
  if (Stopped()) return;
  Searched.emplace_back(path, termCode);
  StartResultLines(&resultLine_, path);
}

int RecordingSink::Show(const std::string& line) {
  if (BeforeLine) BeforeLine(line);
  if (Stopped()) return -1;
  Lines.push_back(line);
  return 0;
}

int RecordingSink::OccurrenceFound(const FoundOccurrence& occurrence) {
  const int shown = Show(FormatResultLine(&resultLine_, occurrence));
  if (shown == 0) {
    Occurrences.push_back({occurrence.Path, std::string(occurrence.Word, occurrence.WordLength),
                           occurrence.Line, occurrence.Column, occurrence.Offset,
                           occurrence.Code,
                           occurrence.Variant != nullptr ? occurrence.Variant : ""});
  }
  return shown;
}

int RecordingSink::FileFound(const char* path) { return Show(path); }

void RecordingSink::FileNotOpened(const char* path) {
  if (!Stopped()) NotOpened.emplace_back(path);
}

void RecordingSink::LeftOut(LeftOutKind kind) {
  if (!Stopped()) leftOut_[static_cast<int>(kind)] += 1;
}

void RecordingSink::SearchEnding(const SearchSummary& summary) {
  if (!Stopped()) Endings.push_back(summary);
}

void RecordingSink::SearchEnded(const SearchSummary& summary) {
  if (!Stopped()) Ended.push_back(summary);
}
