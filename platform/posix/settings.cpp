// The settings file holds one "name=value" line per setting. It is replaced whole: the
// new text goes to a file beside it, which is then renamed over it, so a crash or a full
// disk leaves the old file or the new one, never half of one.
#include "platform/settings.h"

#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

namespace {

// The folder of the settings; "" when neither $XDG_CONFIG_HOME nor $HOME says where.
std::string SettingsFolder() {
  const char* config = getenv("XDG_CONFIG_HOME");
  // A relative path is not to be used, the base directory rules say.
  if (config != nullptr && config[0] == '/') return std::string(config) + "/tessik";
  const char* home = getenv("HOME");
  if (home != nullptr && home[0] == '/') return std::string(home) + "/.config/tessik";
  return "";
}

// Makes `folder` and the folders above it that are missing, readable by the user alone.
bool MakeFolders(const std::string& folder) {
  for (std::size_t slash = 1; slash <= folder.size(); ++slash) {
    if (slash < folder.size() && folder[slash] != '/') continue;
    const std::string part = folder.substr(0, slash);
    if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
  }
  return true;
}

// The whole file, or its first `limit` bytes and a read's worth more; false when it cannot
// be read.
bool ReadText(const std::string& path, std::string* text, std::size_t limit = 65536) {
  const int file = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (file < 0) return false;
  struct stat info;
  bool read = fstat(file, &info) == 0 && S_ISREG(info.st_mode);
  char buffer[4096];
  while (read && text->size() < limit) {
    const ssize_t got = ::read(file, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) {
      read = got == 0;
      break;
    }
    text->append(buffer, static_cast<std::size_t>(got));
  }
  close(file);
  return read;
}

// The value of the line "name=value" of `text`; false when there is no such line.
bool FindValue(const std::string& text, const char* name, int* value) {
  const std::string key = std::string(name) + "=";
  for (std::size_t line = 0; line < text.size();) {
    std::size_t end = text.find('\n', line);
    if (end == std::string::npos) end = text.size();
    if (text.compare(line, key.size(), key) == 0) {
      const std::string number = text.substr(line + key.size(), end - line - key.size());
      char* after = nullptr;
      errno = 0;
      const long parsed = strtol(number.c_str(), &after, 10);
      if (after == number.c_str() || *after != '\0' || errno != 0 || parsed < -2147483647L ||
          parsed > 2147483647L)
        return false;
      *value = static_cast<int>(parsed);
      return true;
    }
    line = end + 1;
  }
  return false;
}

bool WriteAll(int file, const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t wrote = write(file, text.data() + done, text.size() - done);
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote <= 0) return false;
    done += static_cast<std::size_t>(wrote);
  }
  return true;
}

}  // namespace

int ReadSetting(const char* name, int missing) {
  const std::string folder = SettingsFolder();
  std::string text;
  int value = missing;
  if (folder.empty() || !ReadText(folder + "/settings", &text)) return missing;
  return FindValue(text, name, &value) ? value : missing;
}

int WriteSetting(const char* name, int value) {
  const std::string folder = SettingsFolder();
  if (folder.empty() || !MakeFolders(folder)) return -1;
  const std::string path = folder + "/settings";
  std::string old;
  ReadText(path, &old);  // a missing or unreadable file is written anew
  // Every other line stays as it was, in its place; the setting's line is replaced.
  const std::string key = std::string(name) + "=";
  std::string text;
  bool placed = false;
  for (std::size_t line = 0; line < old.size();) {
    std::size_t end = old.find('\n', line);
    if (end == std::string::npos) end = old.size();
    if (old.compare(line, key.size(), key) == 0) {
      if (!placed) text += key + std::to_string(value) + "\n";
      placed = true;
    } else if (end > line) {
      text += old.substr(line, end - line) + "\n";
    }
    line = end + 1;
  }
  if (!placed) text += key + std::to_string(value) + "\n";

  const std::string fresh = path + ".new";
  const int file = open(fresh.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (file < 0) return -1;
  const bool written = WriteAll(file, text) && fsync(file) == 0;
  if (close(file) != 0 || !written || rename(fresh.c_str(), path.c_str()) != 0) {
    unlink(fresh.c_str());
    return -1;
  }
  return 0;
}

int ReadUserFile(const char* name, std::string* path, std::string* text) {
  text->clear();
  const std::string folder = SettingsFolder();
  *path = folder.empty() ? "" : folder + "/" + name;
  if (folder.empty()) return 1;
  if (ReadText(*path, text, kMaxUserFileBytes + 1) && text->size() <= kMaxUserFileBytes) return 0;
  text->clear();
  return access(path->c_str(), F_OK) != 0 && errno == ENOENT ? 1 : -1;
}
