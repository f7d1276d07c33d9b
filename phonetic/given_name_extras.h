// The user's own given-name equivalents, read from the text of a file of lines such as
//   william: bill willy wm. gul.
// (a name, a colon and its equivalents; an equivalent written with a final point is an
// abbreviation, matched as written; the others are heard by the method; "#" begins a
// comment). A line that cannot be read is left out, with a problem that names its line.
// Made by the caller of a search before it starts, and only read after: any thread.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

struct GivenNameExtraLink {
  std::string Word;  // 2 to 62 letters a-z
  std::string Name;
  bool AsWritten;
};

struct GivenNameProblem {
  int Line;            // 1-based
  std::string Reason;  // e.g. "\"b1ll\" is not a word of 2 to 62 letters"
};

class GivenNameExtras {
 public:
  // Reads `length` bytes of text: every line that can be read adds its links; every other
  // line adds a problem and nothing else. Returns the number of problems of this text.
  int Read(const char* text, std::size_t length);

  const std::vector<GivenNameExtraLink>& Links() const { return links_; }
  const std::vector<GivenNameProblem>& Problems() const { return problems_; }

 private:
  std::vector<GivenNameExtraLink> links_;
  std::vector<GivenNameProblem> problems_;
};
