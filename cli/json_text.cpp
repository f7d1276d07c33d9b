#include "cli/json_text.h"

#include "cli/utf8.h"

namespace {

constexpr char kHex[] = "0123456789abcdef";
constexpr char kReplacement[] = "\xEF\xBF\xBD";  // U+FFFD in UTF-8

// The escapes of JSON that are a backslash and one letter: the byte, then the letter.
constexpr char kShortEscapes[][2] = {{'"', '"'},  {'\\', '\\'}, {'\b', 'b'}, {'\f', 'f'},
                                     {'\n', 'n'}, {'\r', 'r'},  {'\t', 't'}};

void AppendEscape(std::string& out, unsigned char byte) {
  for (const auto& escape : kShortEscapes) {
    if (byte != static_cast<unsigned char>(escape[0])) continue;
    out += '\\';
    out += escape[1];
    return;
  }
  const char escaped[6] = {'\\', 'u', '0', '0', kHex[byte >> 4], kHex[byte & 0x0F]};
  out.append(escaped, sizeof escaped);
}

}  // namespace

bool AppendJsonString(std::string& out, std::string_view text) {
  bool valid = true;
  out += '"';
  const auto* at = reinterpret_cast<const unsigned char*>(text.data());
  const auto* end = at + text.size();
  while (at < end) {
    const unsigned char byte = *at;
    // DEL is valid JSON as it is, but a terminal that shows the output should not see it.
    if (byte < 0x20 || byte == '"' || byte == '\\' || byte == 0x7F) {
      AppendEscape(out, byte);
      ++at;
      continue;
    }
    char32_t codePoint;
    const std::size_t length = DecodeUtf8(at, end, &codePoint);
    if (length == 0) {
      valid = false;
      out += kReplacement;
      ++at;
      continue;
    }
    out.append(reinterpret_cast<const char*>(at), length);
    at += length;
  }
  out += '"';
  return valid;
}

void AppendBase64(std::string& out, std::string_view bytes) {
  static const char kAlphabet[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::size_t i = 0;
  for (; i + 3 <= bytes.size(); i += 3) {
    const unsigned group = static_cast<unsigned char>(bytes[i]) << 16 |
                           static_cast<unsigned char>(bytes[i + 1]) << 8 |
                           static_cast<unsigned char>(bytes[i + 2]);
    const char four[4] = {kAlphabet[group >> 18], kAlphabet[(group >> 12) & 63],
                          kAlphabet[(group >> 6) & 63], kAlphabet[group & 63]};
    out.append(four, sizeof four);
  }
  const std::size_t left = bytes.size() - i;
  if (left == 0) return;
  unsigned group = static_cast<unsigned char>(bytes[i]) << 16;
  if (left == 2) group |= static_cast<unsigned char>(bytes[i + 1]) << 8;
  out += kAlphabet[group >> 18];
  out += kAlphabet[(group >> 12) & 63];
  out += left == 2 ? kAlphabet[(group >> 6) & 63] : '=';
  out += '=';
}

void AppendJsonText(std::string& out, const char* name, std::string_view text) {
  out += '"';
  out += name;
  out += "\":";
  if (AppendJsonString(out, text)) return;
  out += ",\"";
  out += name;
  out += "_base64\":\"";
  AppendBase64(out, text);
  out += '"';
}
