#include "cli/progress.h"

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "cli/escape.h"
#include "cli/utf8.h"
#include "platform/console.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr auto kInterval = std::chrono::milliseconds(100);
constexpr char kPrefix[] = "Searching  ";
constexpr char kCut[] = "...";

bool on = false;
bool drawn = false;  // a drawing has happened since the line was turned on
Clock::time_point lastDrawing;
int shownWidth = 0;  // columns the line takes on the screen now; 0 when clear
std::string scratch;

// The columns of each character of `text`, by its first byte; a byte that begins no
// valid sequence is one character of its own.
std::vector<std::pair<std::size_t, int>> Characters(const std::string& text) {
  std::vector<std::pair<std::size_t, int>> characters;
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
  const auto* end = bytes + text.size();
  for (const unsigned char* at = bytes; at < end;) {
    char32_t codePoint;
    std::size_t length = DecodeUtf8(at, end, &codePoint);
    characters.emplace_back(static_cast<std::size_t>(at - bytes),
                            length == 0 ? 1 : TerminalWidth(codePoint));
    at += length == 0 ? 1 : length;
  }
  return characters;
}

void WriteToTerminal(const std::string& text) {
  std::fwrite(text.data(), 1, text.size(), stderr);
  std::fflush(stderr);
}

// "Searching  " and `path` (its control bytes escaped) as they fit in `columns` columns:
// the head of the text and as much of the end of the path as fits, the rest shown as
// "...". `*width` gets the columns the result takes.
std::string ProgressText(const char* path, int columns, int* width) {
  const std::string escaped = EscapeControls(path, scratch);
  const auto characters = Characters(escaped);
  const int prefixWidth = static_cast<int>(sizeof kPrefix - 1);
  int pathWidth = 0;
  for (const auto& character : characters) pathWidth += character.second;
  if (prefixWidth + pathWidth <= columns) {
    *width = prefixWidth + pathWidth;
    return kPrefix + escaped;
  }
  // The end of a path says most: keep as much of it as fits after the cut.
  const int room = columns - prefixWidth - static_cast<int>(sizeof kCut - 1);
  int kept = 0;
  std::size_t from = escaped.size();
  for (auto at = characters.rbegin(); at != characters.rend() && kept + at->second <= room; ++at) {
    kept += at->second;
    from = at->first;
  }
  *width = prefixWidth + static_cast<int>(sizeof kCut - 1) + kept;
  return std::string(kPrefix) + kCut + escaped.substr(from);
}

}  // namespace

void StartProgress() {
  on = IsTerminal(stderr);
  drawn = false;
  shownWidth = 0;
}

bool ProgressDue() {
  if (!on) return false;
  const Clock::time_point now = Clock::now();
  if (drawn && now - lastDrawing < kInterval) return false;
  drawn = true;
  lastDrawing = now;
  return true;
}

void DrawProgress(const char* path) {
  // The last column is left free: a terminal that wraps there would start a new line.
  int columns = TerminalColumns(stderr) - 1;
  if (columns < 20) columns = 20;
  int width = 0;
  std::string line(1, '\r');
  line += ProgressText(path, columns, &width);
  // What is left of a longer line is blanked out; the blanks count as shown.
  if (width < shownWidth) line.append(static_cast<std::size_t>(shownWidth - width), ' ');
  WriteToTerminal(line);
  if (width > shownWidth) shownWidth = width;
}

void ClearProgress() {
  if (shownWidth == 0) return;
  // A carriage return, blanks over what was shown, and a carriage return again.
  std::string blank(static_cast<std::size_t>(shownWidth) + 2, ' ');
  blank.front() = '\r';
  blank.back() = '\r';
  WriteToTerminal(blank);
  shownWidth = 0;
}

void EndProgress() {
  ClearProgress();
  on = false;
}
