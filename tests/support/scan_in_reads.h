// A scanner fed a text cut into reads, as a file's reads come to it, and what it lists
// collected: the harness the byte reading's and the letter reading's tests and fuzzers
// share. Any one thread.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/word_reading.h"
#include "support/reference_words.h"

// What a scan listed, in the plain reading's terms.
struct Collected {
  std::vector<ReferenceFind> Finds;
  std::int64_t StopAfter = -1;  // answer kScanStopped after this many
};

// The listener: `context` is the Collected.
inline int CollectFind(void* context, const WordFound& found) {
  auto& collected = *static_cast<Collected*>(context);
  collected.Finds.push_back(
      {found.Start, found.End, found.Line, found.LineStart, found.Key,
       std::string(reinterpret_cast<const char*>(found.Letters), found.Length)});
  const auto count = static_cast<std::int64_t>(collected.Finds.size());
  return count == collected.StopAfter ? kScanStopped : kScanGoOn;
}

// Gives `text` to the started `reading` in reads of the sizes `nextSize()` chooses; runs of
// zero bytes go as holes when `holes` is true. Returns the outcome of the last step.
template <typename NextSize>
int FeedInReads(WordReading& reading, const std::string& text, NextSize&& nextSize, bool holes) {
  std::size_t at = 0;
  while (at < text.size()) {
    if (holes && text[at] == '\0') {
      const int outcome = reading.ReadZeroRun(static_cast<std::int64_t>(at));
      if (outcome != kScanGoOn) return outcome;
      while (at < text.size() && text[at] == '\0') ++at;
      continue;
    }
    std::size_t size = nextSize();
    if (size > text.size() - at) size = text.size() - at;
    const int outcome =
        reading.Read(reinterpret_cast<const std::uint8_t*>(text.data() + at),
                     static_cast<std::uint32_t>(size), static_cast<std::int64_t>(at));
    if (outcome != kScanGoOn) return outcome;
    at += size;
  }
  return reading.Finish(static_cast<std::int64_t>(text.size()));
}
