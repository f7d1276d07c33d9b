#include "cli/search_report.h"

#include <cstdio>

#include "cli/escape.h"
#include "engine/search_state.h"
#include "platform/files.h"

namespace {

std::string scratch;

// "tessik-cli: COUNT " and `what`, which names `limit` with %u.
void SayCount(std::uint32_t count, const char* what, std::uint32_t limit) {
  if (count == 0) return;
  std::fprintf(stderr, "tessik-cli: %u ", static_cast<unsigned>(count));
  std::fprintf(stderr, what, static_cast<unsigned>(limit));
  std::fputc('\n', stderr);
}

}  // namespace

std::vector<LeftOutCount> LeftOutCounts(const SearchRecord& record, bool withLog) {
  return {
      {"folders_queue_full", record.LeftOutCount(LeftOutKind::FolderQueueFull)},
      {"folders_spec_too_long", record.LeftOutCount(LeftOutKind::FolderSpecTooLong)},
      {"files_set_full", record.LeftOutCount(LeftOutKind::FileSetFull)},
      {"files_path_too_long", record.LeftOutCount(LeftOutKind::FilePathTooLong)},
      {"unopened_not_listed", record.LeftOutCount(LeftOutKind::UnopenedNotListed)},
      {"results_without_entry", withLog ? record.LeftOutCount(LeftOutKind::LineWithoutEntry) : 0}};
}

std::vector<UnopenedFile> UnopenedFileList(const SearchRecord& record) {
  std::vector<UnopenedFile> files;
  for (const std::string& path : record.NotOpened()) {
    files.push_back({path, IsExcludedStandardOutput(path.c_str()), record.RefusalOf(path)});
  }
  return files;
}

bool LeftOutAnything(const SearchRecord& record, bool withLog) {
  for (const LeftOutCount& count : LeftOutCounts(record, withLog)) {
    if (count.Count > 0) return true;
  }
  return !record.NotOpened().empty();
}

void ReportLeftOut(const SearchRecord& record, bool withLog) {
  constexpr std::uint32_t kLongestText = kEntrySize - 1;
  const std::vector<LeftOutCount> counts = LeftOutCounts(record, withLog);
  SayCount(counts[0].Count, "folder(s) not entered: the queue of folders was full (%u)",
           kDirectoryQueueCapacity);
  SayCount(counts[1].Count, "folder(s) not entered: specification longer than %u characters",
           kLongestText);
  SayCount(counts[2].Count, "file(s) left out: the file set was full (%u)", kFlaggedListCapacity);
  SayCount(counts[3].Count, "file(s) left out: path longer than %u characters", kLongestText);
  for (const UnopenedFile& file : UnopenedFileList(record)) {
    std::fprintf(
        stderr, "tessik-cli: %s: %s\n", EscapeControls(file.Path.c_str(), scratch),
        file.IsStandardOutput ? "not searched: it is the standard output"
        : file.Refusal != nullptr ? file.Refusal
                                  : "could not be opened");
  }
  SayCount(counts[4].Count,
           "more failed opening(s) not listed: the list of unopened files was full (%u)",
           kUnopenedFilesCapacity);
  SayCount(counts[5].Count,
           "result line(s) beyond the %u the result list holds: the log shows "
           "\"File name not known\" for them",
           kFlaggedListCapacity);
}
