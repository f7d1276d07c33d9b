// The settings are DWORD values of the key HKEY_CURRENT_USER\Software\Tessik, made when
// the first one is stored.
#include "platform/settings.h"

#include <windows.h>

namespace {

constexpr const char* kSettingsKey = "Software\\Tessik";

}  // namespace

int ReadSetting(const char* name, int missing) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
    return missing;
  DWORD type = 0;
  DWORD value = 0;
  DWORD size = sizeof value;
  const LONG got =
      RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
  RegCloseKey(key);
  if (got != ERROR_SUCCESS || type != REG_DWORD || size != sizeof value) return missing;
  return static_cast<int>(value);
}

int WriteSetting(const char* name, int value) {
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                      KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
    return -1;
  const DWORD stored = static_cast<DWORD>(value);
  const LONG set = RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&stored),
                                  sizeof stored);
  RegCloseKey(key);
  return set == ERROR_SUCCESS ? 0 : -1;
}

int ReadUserFile(const char* name, std::string* path, std::string* text) {
  text->clear();
  path->clear();
  char appData[MAX_PATH];
  const DWORD length = GetEnvironmentVariableA("APPDATA", appData, sizeof appData);
  if (length == 0 || length >= sizeof appData) return 1;
  *path = std::string(appData) + "\\Tessik\\" + name;
  const HANDLE file = CreateFileA(path->c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? 1 : -1;
  }
  // Only a disk file: a name such as con would open a device.
  bool read = GetFileType(file) == FILE_TYPE_DISK;
  char buffer[4096];
  while (read && text->size() <= kMaxUserFileBytes) {
    DWORD got = 0;
    if (!ReadFile(file, buffer, sizeof buffer, &got, nullptr)) read = false;
    if (!read || got == 0) break;
    text->append(buffer, got);
  }
  CloseHandle(file);
  if (read && text->size() <= kMaxUserFileBytes) return 0;
  text->clear();
  return -1;
}
