// The pieces of tessik-cli's JSON Lines: texts as JSON strings, whatever bytes they hold.
// A file name may be any bytes, so a text that is not valid UTF-8 is written twice: as a
// readable string in which each byte that begins no valid sequence stands as U+FFFD, and
// beside it, under the member's name with "_base64" added, as its exact bytes in base64.
// Pure functions: any thread.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Appends `"name":"text"`, and `,"name_base64":"bytes"` when `text` is not valid UTF-8.
void AppendJsonText(std::string& out, const char* name, std::string_view text);

// Appends `text` as a JSON string (quotes included): control characters and DEL escaped,
// invalid UTF-8 as U+FFFD. Returns whether `text` was valid UTF-8.
bool AppendJsonString(std::string& out, std::string_view text);

// Appends `bytes` in base64 (RFC 4648, with padding).
void AppendBase64(std::string& out, std::string_view bytes);
