#include "cli/folder_hint.h"

#include <filesystem>
#include <system_error>

#include "cli/escape.h"
#include "platform/directory.h"

std::string FolderHint(const char* spec) {
  std::error_code error;
  if (spec[0] == '\0' || !std::filesystem::is_directory(spec, error)) return "";
  std::string scratch;
  const std::string shown = EscapeControls(spec, scratch);
  std::string files = shown;
  const char last = files.back();
  if (last != '/' && last != '\\') files += kSubdirectorySeparator;
  files += '*';
  return "tessik-cli: " + shown + " is a folder; to search the files in it, give '" + files + "'";
}
