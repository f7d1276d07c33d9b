// Directory enumeration on Win32: FindFirstFileA with the platform's own wild cards and
// order. A reparse point (a symbolic link or a junction) is marked as a link, so that the
// walk never enters it and cannot loop.
#include "platform/directory.h"

#include <windows.h>

#include <cstring>

namespace {

HANDLE NativeOf(FindHandle find) { return reinterpret_cast<HANDLE>(find); }

// False for a name too long for the entry: it is passed over rather than cut.
bool FillEntry(const WIN32_FIND_DATAA& data, FindEntry* entry) {
  std::size_t length = strnlen(data.cFileName, sizeof(data.cFileName));
  if (length > sizeof(entry->Name) - 1) return false;
  std::memcpy(entry->Name, data.cFileName, length);
  entry->Name[length] = '\0';
  entry->IsDirectory = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  entry->IsLink = (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
  entry->IsRegularFile = (data.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY |
                                                   FILE_ATTRIBUTE_REPARSE_POINT |
                                                   FILE_ATTRIBUTE_DEVICE)) == 0;
  return true;
}

int NextEntry(HANDLE find, FindEntry* entry) {
  WIN32_FIND_DATAA data;
  do {
    if (!FindNextFileA(find, &data))
      return GetLastError() == ERROR_NO_MORE_FILES ? kFindNoMoreFiles : kFindFailed;
  } while (!FillEntry(data, entry));
  return kFindOk;
}

}  // namespace

FindHandle FindFirst(const char* spec, FindEntry* entry) {
  if (spec == nullptr || entry == nullptr) return kInvalidFind;
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA(spec, &data);
  if (find == INVALID_HANDLE_VALUE) return kInvalidFind;
  if (!FillEntry(data, entry) && NextEntry(find, entry) != kFindOk) {
    ::FindClose(find);
    return kInvalidFind;
  }
  return reinterpret_cast<FindHandle>(find);
}

int FindNext(FindHandle find, FindEntry* entry) {
  if (!IsOpenFind(find) || entry == nullptr) return kFindFailed;
  return NextEntry(NativeOf(find), entry);
}

void FindClose(FindHandle find) {
  if (!IsOpenFind(find)) return;
  ::FindClose(NativeOf(find));
}
