#include "texts/search_texts.h"

#include <cstdio>

#include "query/query_validation.h"

namespace {

const char kNoFilesText[] =
    "No files were found that correspond to   \nthe search pattern that you entered\nas the "
    "'Search in:' string. Please\ncheck the filename and/or directory.";
const char kNoFilesInTreeText[] =
    "No files were found that correspond    \nto the search pattern that you entered\nas the  "
    "'Search in:'  string. Please\ncheck the filename and/or directory.";

// The summary as snprintf gives it.
int Summary(std::uint32_t mode, const SummaryCounts& counts, char* text, int size) {
  const auto length = static_cast<std::size_t>(size);
  if (mode == kCompletedListing) {
    return std::snprintf(text, length, "Completed:  Found %d file(s) matching specification.",
                         counts.Lines);
  }
  if (mode == kDeletedLine) {
    return counts.SingleWord
               ? std::snprintf(text, length, "Completed:  %d file(s) searched. Found %d item(s).",
                               counts.FilesSearched, counts.Lines)
               : std::snprintf(text, length, "Completed:  Found %d file(s) matching expression.",
                               counts.Lines);
  }
  if (mode == kCompletedSearch || mode == kStoppedSearch) {
    if (counts.SingleWord) {
      return counts.UnopenedFiles > 0
                 ? std::snprintf(text, length,
                                 "Completed:  %d item(s) found. %d file(s) couldn't be opened.",
                                 counts.Lines, counts.UnopenedFiles)
                 : std::snprintf(text, length,
                                 "Completed:  %d file(s) searched. Found %d item(s) in %d file(s).",
                                 counts.FilesSearched, counts.Lines, counts.MatchedFiles);
    }
    if (mode == kCompletedSearch) {
      return std::snprintf(text, length,
                           "Completed:  %d file(s) searched. %d file(s) matched expression.",
                           counts.FilesSearched, counts.MatchedFiles);
    }
    return std::snprintf(text, length, "Inerrupted:  %d intermediate file(s) match expression.",
                         counts.MatchedFiles);
  }
  text[0] = '\0';
  return 0;
}

}  // namespace

int FormatSummary(std::uint32_t mode, const SummaryCounts& counts, char* text, int size) {
  int length = Summary(mode, counts, text, size);
  if (length < 0) length = 0;
  if (length > kStatusWidth) length = kStatusWidth;
  if (length > size - 1) length = size - 1;
  text[length] = '\0';
  return length;
}

SummaryCounts CountsOfSummary(const SearchSummary& summary, int lines) {
  return {summary.SingleWord, lines, summary.FilesSearched, summary.MatchedFiles,
          static_cast<int>(summary.UnopenedFiles)};
}

bool MessageOfEnding(const SearchSummary& summary, SearchMessage* message) {
  switch (summary.Ending) {
    case SearchEnding::QueryRefused: {
      const char* text = QueryRefusalMessage(summary.Refusal);
      *message = {" Tessik", text != nullptr ? text : "", false};
      return true;
    }
    case SearchEnding::NoMemory:
      *message = {" Error", " Insufficient memory to open files. ", true};
      return true;
    case SearchEnding::NoFiles:
      *message = {" Tessik", kNoFilesText, false};
      return true;
    case SearchEnding::NoFilesInTree:
      *message = {" Tessik", kNoFilesInTreeText, false};
      return true;
    case SearchEnding::FilesListed:
    case SearchEnding::QueryAnswered:
    case SearchEnding::Stopped:
    case SearchEnding::Running:
      break;
  }
  return false;
}
