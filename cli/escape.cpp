#include "cli/escape.h"

#include <cstring>

namespace {

bool IsControl(unsigned char byte) { return byte < 0x20 || byte == 0x7F; }

void AppendEscaped(const char* from, const char* to, std::string& out) {
  static const char kHex[] = "0123456789abcdef";
  for (const char* at = from; at < to; ++at) {
    const auto byte = static_cast<unsigned char>(*at);
    if (!IsControl(byte)) {
      out += *at;
      continue;
    }
    const char escaped[4] = {'\\', 'x', kHex[byte >> 4], kHex[byte & 0x0F]};
    out.append(escaped, sizeof escaped);
  }
}

}  // namespace

const char* EscapeControls(const char* text, std::string& scratch) {
  const char* end = text + std::strlen(text);
  const char* at = text;
  while (at < end && !IsControl(static_cast<unsigned char>(*at))) ++at;
  if (at == end) return text;
  scratch.assign(text, at);
  AppendEscaped(at, end, scratch);
  return scratch.c_str();
}

bool HoldsControl(const char* text, std::size_t length) {
  for (std::size_t i = 0; i < length; ++i) {
    if (IsControl(static_cast<unsigned char>(text[i]))) return true;
  }
  return false;
}

const char* EscapeResultLine(const char* line, std::string& scratch) {
  const char* end = line + std::strlen(line);
  const char* firstTab = std::strchr(line, '\t');
  const char* lastTab = end;
  while (lastTab > line && lastTab[-1] != '\t') --lastTab;
  const char* secondLastTab = lastTab > line ? lastTab - 1 : line;
  while (secondLastTab > line && secondLastTab[-1] != '\t') --secondLastTab;
  // Not three columns apart: no column is known to be the file's, so all of it is escaped.
  if (firstTab == nullptr || secondLastTab <= firstTab + 1) return EscapeControls(line, scratch);
  const char* nameStart = firstTab + 1;
  const char* nameEnd = secondLastTab - 1;
  const char* at = nameStart;
  while (at < nameEnd && !IsControl(static_cast<unsigned char>(*at))) ++at;
  if (at == nameEnd) return line;
  scratch.assign(line, at);
  AppendEscaped(at, nameEnd, scratch);
  scratch.append(nameEnd, end);
  return scratch.c_str();
}
