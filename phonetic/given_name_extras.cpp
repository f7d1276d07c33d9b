#include "phonetic/given_name_extras.h"

namespace {

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

// `text` lower-cased into `word` when it is 2 to 62 letters A-Z a-z.
bool ReadWord(const std::string& text, std::string* word) {
  if (text.size() < 2 || text.size() > 62) return false;
  word->clear();
  for (const char c : text) {
    if (!IsLetter(c)) return false;
    word->push_back(static_cast<char>(c | 0x20));
  }
  return true;
}

std::string Quoted(const std::string& text) {
  // A line may hold any bytes: the message shows at most a word's worth, controls as '?'.
  std::string shown;
  for (const char c : text.substr(0, 64)) {
    shown.push_back(static_cast<unsigned char>(c) < 0x20 || c == 0x7F ? '?' : c);
  }
  return "\"" + shown + (text.size() > 64 ? "...\"" : "\"");
}

// The links of one line, or the reason it cannot be read ("" for a line with nothing).
std::string ReadLine(const std::string& line, std::vector<GivenNameExtraLink>* links) {
  std::string text = line.substr(0, line.find('#'));
  std::size_t first = 0;
  while (first < text.size() && IsBlank(text[first])) ++first;
  if (first == text.size()) return "";
  const std::size_t colon = text.find(':');
  if (colon == std::string::npos) return "no colon after the name (write NAME: EQUIVALENT ...)";
  std::size_t nameEnd = colon;
  while (nameEnd > first && IsBlank(text[nameEnd - 1])) --nameEnd;
  const std::string rawName = text.substr(first, nameEnd - first);
  std::string name;
  if (!ReadWord(rawName, &name))
    return "the name " + Quoted(rawName) + " is not a word of 2 to 62 letters A-Z";
  std::vector<GivenNameExtraLink> found;
  std::size_t at = colon + 1;
  while (at < text.size()) {
    while (at < text.size() && IsBlank(text[at])) ++at;
    std::size_t end = at;
    while (end < text.size() && !IsBlank(text[end])) ++end;
    if (end == at) break;
    std::string raw = text.substr(at, end - at);
    at = end;
    const bool asWritten = raw.size() > 1 && raw.back() == '.';
    if (asWritten) raw.pop_back();
    GivenNameExtraLink link{"", name, asWritten};
    if (!ReadWord(raw, &link.Word))
      return "the equivalent " + Quoted(raw) + " is not a word of 2 to 62 letters A-Z";
    if (link.Word != name) found.push_back(link);
  }
  if (found.empty()) return "no equivalent after the colon";
  links->insert(links->end(), found.begin(), found.end());
  return "";
}

}  // namespace

int GivenNameExtras::Read(const char* text, std::size_t length) {
  int problems = 0;
  int number = 0;
  for (std::size_t start = 0; start < length;) {
    std::size_t end = start;
    while (end < length && text[end] != '\n') ++end;
    ++number;
    const std::string reason = ReadLine(std::string(text + start, end - start), &links_);
    if (!reason.empty()) {
      problems_.push_back({number, reason});
      ++problems;
    }
    start = end + 1;
  }
  return problems;
}
