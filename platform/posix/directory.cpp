// Directory enumeration on POSIX: opendir/readdir filtered by the wild-card pattern.
// One heap record per enumeration holds the open directory and the pattern.
#include "platform/directory.h"

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <cstdlib>
#include <cstring>

#include "platform/spec_pattern.h"

namespace {

constexpr std::size_t kPartSize = 4096;

struct Enumeration {
  DIR* Directory;
  char Pattern[kPartSize];
};

// The entry's own type and the type it leads to; d_type saves a stat for most entries.
void FillEntry(DIR* directory, const dirent* found, FindEntry* entry) {
  std::size_t length = std::strlen(found->d_name);
  if (length > sizeof(entry->Name) - 1) length = sizeof(entry->Name) - 1;
  std::memcpy(entry->Name, found->d_name, length);
  entry->Name[length] = '\0';
  entry->IsDirectory = false;
  entry->IsLink = false;
  entry->IsRegularFile = false;
  struct stat info;
  int dirFd = dirfd(directory);
  switch (found->d_type) {
    case DT_DIR:
      entry->IsDirectory = true;
      return;
    case DT_REG:
      entry->IsRegularFile = true;
      return;
    case DT_LNK:
      entry->IsLink = true;
      break;
    case DT_UNKNOWN:
      if (fstatat(dirFd, found->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0) return;
      if (!S_ISLNK(info.st_mode)) {
        entry->IsDirectory = S_ISDIR(info.st_mode);
        entry->IsRegularFile = S_ISREG(info.st_mode);
        return;
      }
      entry->IsLink = true;
      break;
    default:
      return;
  }
  // A link counts as what it points to; a dangling link is not a directory.
  if (fstatat(dirFd, found->d_name, &info, 0) == 0) {
    entry->IsDirectory = S_ISDIR(info.st_mode);
    entry->IsRegularFile = S_ISREG(info.st_mode);
  }
}

// The next entry whose name matches, or the reason there is none.
int NextMatch(Enumeration* find, FindEntry* entry) {
  for (;;) {
    errno = 0;
    const dirent* found = readdir(find->Directory);
    if (found == nullptr) return errno != 0 ? kFindFailed : kFindNoMoreFiles;
    if (WildcardMatch(find->Pattern, found->d_name)) {
      FillEntry(find->Directory, found, entry);
      return kFindOk;
    }
  }
}

}  // namespace

FindHandle FindFirst(const char* spec, FindEntry* entry) {
  if (spec == nullptr || entry == nullptr) return kInvalidFind;
  std::size_t length = std::strlen(spec);
  std::size_t split = DirectoryPartLength(spec, length);
  if (split >= kPartSize || length - split >= kPartSize) return kInvalidFind;

  char directoryPath[kPartSize];
  if (split == 0) {
    std::memcpy(directoryPath, ".", 2);
  } else {
    std::memcpy(directoryPath, spec, split);
    directoryPath[split] = '\0';
  }
  auto* find = static_cast<Enumeration*>(std::malloc(sizeof(Enumeration)));
  if (find == nullptr) return kInvalidFind;
  std::memcpy(find->Pattern, spec + split, length - split + 1);
  find->Directory = opendir(directoryPath);
  if (find->Directory == nullptr) {
    std::free(find);
    return kInvalidFind;
  }
  if (NextMatch(find, entry) != kFindOk) {
    closedir(find->Directory);
    std::free(find);
    return kInvalidFind;
  }
  return reinterpret_cast<FindHandle>(find);
}

int FindNext(FindHandle find, FindEntry* entry) {
  if (!IsOpenFind(find) || entry == nullptr) return kFindFailed;
  return NextMatch(reinterpret_cast<Enumeration*>(find), entry);
}

void FindClose(FindHandle find) {
  if (!IsOpenFind(find)) return;
  auto* record = reinterpret_cast<Enumeration*>(find);
  closedir(record->Directory);
  std::free(record);
}
