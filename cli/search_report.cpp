#include "cli/search_report.h"

#include <cstdio>
#include <set>

#include "cli/escape.h"
#include "engine/search_state.h"
#include "platform/files.h"
#include "platform/window.h"

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

std::string StatusText() {
  char text[512];
  GetControlText(kStatusLine, text, sizeof text);
  std::string status = text;
  std::size_t end = status.find_last_not_of(' ');
  status.erase(end == std::string::npos ? 0 : end + 1);
  return status;
}

std::vector<LeftOutCount> LeftOutCounts(bool withLog) {
  return {{"folders_queue_full", SearchState.FoldersQueueFull},
          {"folders_spec_too_long", SearchState.FoldersSpecTooLong},
          {"files_set_full", SearchState.FilesSetFull},
          {"files_path_too_long", SearchState.FilesPathTooLong},
          {"unopened_not_listed", SearchState.UnopenedNotListed},
          {"results_without_entry", withLog ? SearchState.LinesWithoutResultEntry.load() : 0}};
}

std::vector<UnopenedFile> UnopenedFileList() {
  std::vector<UnopenedFile> files;
  std::set<std::string> named;
  for (std::uint32_t i = 0; i < UnopenedFiles.Count; ++i) {
    const char* path = UnopenedFiles.Get(i);
    if (path == nullptr || !named.insert(path).second) continue;
    files.push_back({path, IsExcludedStandardOutput(path)});
  }
  return files;
}

bool LeftOutAnything(bool withLog) {
  for (const LeftOutCount& count : LeftOutCounts(withLog)) {
    if (count.Count > 0) return true;
  }
  return UnopenedFiles.Count > 0;
}

void ReportLeftOut(bool withLog) {
  constexpr std::uint32_t kLongestText = kEntrySize - 1;
  const std::vector<LeftOutCount> counts = LeftOutCounts(withLog);
  SayCount(counts[0].Count, "folder(s) not entered: the queue of folders was full (%u)",
           kDirectoryQueueCapacity);
  SayCount(counts[1].Count, "folder(s) not entered: specification longer than %u characters",
           kLongestText);
  SayCount(counts[2].Count, "file(s) left out: the file set was full (%u)", kFlaggedListCapacity);
  SayCount(counts[3].Count, "file(s) left out: path longer than %u characters", kLongestText);
  for (const UnopenedFile& file : UnopenedFileList()) {
    std::fprintf(
        stderr, "tessik-cli: %s: %s\n", EscapeControls(file.Path.c_str(), scratch),
        file.IsStandardOutput ? "not searched: it is the standard output" : "could not be opened");
  }
  SayCount(counts[4].Count,
           "more failed opening(s) not listed: the list of unopened files was full (%u)",
           kUnopenedFilesCapacity);
  SayCount(counts[5].Count,
           "result line(s) beyond the %u the result list holds: the log shows "
           "\"File name not known\" for them",
           kFlaggedListCapacity);
}
