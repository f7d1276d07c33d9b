// The texts the window shows for a search, made from what the search tells its sink: the
// summary when a search ends, is stopped or loses a line, and the message of a search that
// a message ends. The window pads and shows them; tessik-cli prints them. Pure: any thread.
#pragma once

#include <cstdint>

#include "engine/search_sink.h"

// The width of the status line: a summary longer than this is cut to it.
constexpr int kStatusWidth = 90;

// What a summary sums up.
constexpr std::uint32_t kCompletedSearch = 1;
constexpr std::uint32_t kStoppedSearch = 2;
constexpr std::uint32_t kDeletedLine = 3;
constexpr std::uint32_t kCompletedListing = 4;

// The counts a summary shows.
struct SummaryCounts {
  bool SingleWord;
  int Lines;  // the lines of the result list
  int FilesSearched;
  int MatchedFiles;
  int UnopenedFiles;
};

// Writes the summary of `mode` to `text`, which holds `size` (more than kStatusWidth)
// bytes, cut to kStatusWidth characters; returns its length. 0 and "" for a mode out of
// range.
int FormatSummary(std::uint32_t mode, const SummaryCounts& counts, char* text, int size);

// The summary of a search that ended as `summary` says, with `lines` lines listed.
SummaryCounts CountsOfSummary(const SearchSummary& summary, int lines);

struct SearchMessage {
  const char* Title;
  const char* Text;
  bool IsError;  // an error's icon rather than information's
};

// The message of a search that ended without an answer (a refused query, no memory, no
// files); false for one that ended with its answer.
bool MessageOfEnding(const SearchSummary& summary, SearchMessage* message);
