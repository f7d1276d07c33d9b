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
