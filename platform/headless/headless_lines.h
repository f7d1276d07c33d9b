// The lines of a list box in memory. A search may list hundreds of thousands of lines, so
// their texts share one arena (each text and its terminator, and a 4-byte start per line),
// and a front end that never reads a line back (tessik-cli without a log) keeps only
// their number. Used under HeadlessRecordLock, from any thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

class HeadlessLines {
 public:
  // `startBits` is how many bits of a text's start each line keeps; a test makes it small
  // to reach the arena's larger positions with a few lines.
  explicit HeadlessLines(unsigned startBits = 32);

  // Appends a line. Without `keepText` only the line is counted; the texts kept before it
  // are forgotten too, so that the lines without a text always come first.
  void Add(const char* text, bool keepText);
  std::size_t Count() const { return textless + starts.size(); }
  // The text of line `index`; false when there is no such line or its text was not kept.
  bool Text(std::size_t index, std::string& text) const;
  void Erase(std::size_t index);
  void Clear();
  // The lines stay, counted, without their texts.
  void ForgetTexts();

 private:
  std::uint64_t Start(std::size_t kept) const;

  std::uint64_t startMask;
  // The first lines, whose texts were not kept.
  std::size_t textless = 0;
  // The kept texts, each with its terminator; a deque grows by blocks, never copying
  // what it holds.
  std::deque<char> arena;
  // The low bits of each kept text's start in the arena.
  std::deque<std::uint32_t> starts;
  // carries[k]: the first kept line whose start lies at or past (k + 1) << startBits.
  std::vector<std::size_t> carries;
};
