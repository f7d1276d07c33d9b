#include "platform/headless/headless_lines.h"

#include <algorithm>
#include <cstring>

HeadlessLines::HeadlessLines(unsigned startBits)
    : startMask((std::uint64_t{1} << std::clamp(startBits, 1u, 32u)) - 1) {}

void HeadlessLines::Add(const char* text, bool keepText) {
  if (!keepText) {
    if (!starts.empty()) ForgetTexts();
    ++textless;
    return;
  }
  const std::uint64_t start = arena.size();
  // A start past the reach of the kept bits is known by the lines at which it carried.
  const std::uint64_t carried = start / (startMask + 1);
  while (carries.size() < carried) carries.push_back(starts.size());
  starts.push_back(static_cast<std::uint32_t>(start & startMask));
  arena.insert(arena.end(), text, text + std::strlen(text) + 1);
}

std::uint64_t HeadlessLines::Start(std::size_t kept) const {
  const auto carried = static_cast<std::uint64_t>(
      std::upper_bound(carries.begin(), carries.end(), kept) - carries.begin());
  return carried * (startMask + 1) + starts[kept];
}

bool HeadlessLines::Text(std::size_t index, std::string& text) const {
  text.clear();
  if (index < textless || index - textless >= starts.size()) return false;
  for (auto at = arena.begin() + static_cast<std::ptrdiff_t>(Start(index - textless)); *at != '\0';
       ++at) {
    text += *at;
  }
  return true;
}

// The text of an erased line stays in the arena until the list is cleared: a user
// deletes lines one by one, a few at most.
void HeadlessLines::Erase(std::size_t index) {
  if (index < textless) {
    --textless;
    return;
  }
  const std::size_t kept = index - textless;
  if (kept >= starts.size()) return;
  starts.erase(starts.begin() + static_cast<std::ptrdiff_t>(kept));
  for (std::size_t& carry : carries) {
    if (carry > kept) --carry;
  }
}

void HeadlessLines::Clear() {
  ForgetTexts();
  textless = 0;
}

void HeadlessLines::ForgetTexts() {
  textless += starts.size();
  std::deque<char>().swap(arena);
  std::deque<std::uint32_t>().swap(starts);
  std::vector<std::size_t>().swap(carries);
}
