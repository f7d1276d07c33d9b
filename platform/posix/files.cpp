// Files on POSIX. A handle points to a small record of the descriptor and what the open
// learnt about the file, so that the scan's questions about a file it has just opened
// (its size, whether it may have holes) cost no further system call.
#include "platform/files.h"

#include "platform/posix/open_file.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <new>

namespace {

int DescriptorOf(FileHandle file) { return RecordOf(file)->Descriptor; }

// The handle of a descriptor, or kInvalidFile (the descriptor closed) when there is no
// memory for its record.
FileHandle HandleOf(int fd, std::int64_t sizeWhenOpened, bool mayHaveHoles, bool nonBlocking) {
  auto* record = new (std::nothrow) OpenFile{fd, sizeWhenOpened, mayHaveHoles, nonBlocking};
  if (record == nullptr) {
    close(fd);
    return kInvalidFile;
  }
  return reinterpret_cast<FileHandle>(record);
}

// st_blocks counts 512-byte units whatever the file system's block size.
bool FewerBytesAllocatedThanSize(const struct stat& info) {
  return static_cast<std::int64_t>(info.st_blocks) * 512 < static_cast<std::int64_t>(info.st_size);
}

// Below this size the hint changes nothing: the kernel's first read-ahead already takes
// the whole file.
constexpr off_t kSequentialHintFrom = 2 * static_cast<off_t>(kReadChunkSize);

// The file that standard output writes to, once excluded; set before any search starts
// and only read afterwards.
struct ExcludedFile {
  bool Set = false;
  dev_t Device = 0;
  ino_t Inode = 0;
};
ExcludedFile excludedOutput;

bool IsExcluded(const struct stat& info) {
  return excludedOutput.Set && info.st_dev == excludedOutput.Device &&
         info.st_ino == excludedOutput.Inode;
}

}  // namespace

void ExcludeStandardOutputFromScan() {
  struct stat info;
  if (fstat(STDOUT_FILENO, &info) == 0) {
    if (S_ISREG(info.st_mode)) excludedOutput = {true, info.st_dev, info.st_ino};
    return;
  }
  if (errno != EBADF) return;
  // Descriptor 1 is free: the next file opened would get it and receive the output. A
  // descriptor open for reading only holds it, and writes to it fail.
  int fd = open("/dev/null", O_RDONLY | O_CLOEXEC);
  if (fd < 0 || fd == STDOUT_FILENO) return;
  dup2(fd, STDOUT_FILENO);
  close(fd);
}

bool IsExcludedStandardOutput(const char* path) {
  struct stat info;
  return path != nullptr && stat(path, &info) == 0 && S_ISREG(info.st_mode) && IsExcluded(info);
}

FileHandle OpenFileForScan(const char* path, bool listedAsRegularFile) {
  if (path == nullptr) return kInvalidFile;
  // Anything that is not a regular file is refused before it is opened: opening a device
  // can act on it (a terminal allocates a console, a FIFO releases a waiting writer). Only
  // the path can tell without opening, so this stat stays, unless the folder listing
  // already told.
  struct stat before;
  if (!listedAsRegularFile &&
      (stat(path, &before) != 0 || !S_ISREG(before.st_mode) || IsExcluded(before))) {
    return kInvalidFile;
  }
  // O_NONBLOCK and the second check cover a file replaced between the two calls.
  int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) return kInvalidFile;
  struct stat info;
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || IsExcluded(info)) {
    close(fd);
    return kInvalidFile;
  }
  if (info.st_size > kSequentialHintFrom) posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
  return HandleOf(fd, static_cast<std::int64_t>(info.st_size), FewerBytesAllocatedThanSize(info),
                  true);
}

std::int64_t GetFileSize64(FileHandle file) {
  if (!IsOpenFile(file)) return -1;
  if (RecordOf(file)->SizeWhenOpened >= 0) return RecordOf(file)->SizeWhenOpened;
  struct stat info;
  if (fstat(DescriptorOf(file), &info) != 0) return -1;
  return static_cast<std::int64_t>(info.st_size);
}

bool FileMayHaveHoles(FileHandle file) {
  if (!IsOpenFile(file)) return false;
  if (RecordOf(file)->SizeWhenOpened >= 0) return RecordOf(file)->MayHaveHoles;
  struct stat info;
  return fstat(DescriptorOf(file), &info) == 0 && S_ISREG(info.st_mode) &&
         FewerBytesAllocatedThanSize(info);
}

std::int64_t SeekToData(FileHandle file, std::int64_t from, std::int64_t* dataEnd) {
  if (!IsOpenFile(file) || from < 0 || dataEnd == nullptr) return -1;
  const int fd = DescriptorOf(file);
  const off_t data = lseek(fd, static_cast<off_t>(from), SEEK_DATA);
  if (data < 0) {
    if (errno == ENXIO) {
      // Nothing but a hole from `from` to the end: the scan has nothing left to read.
      struct stat info;
      if (fstat(fd, &info) != 0 || lseek(fd, info.st_size, SEEK_SET) < 0) return -1;
      *dataEnd = static_cast<std::int64_t>(info.st_size);
      return *dataEnd;
    }
    if (errno != EINVAL && errno != EOPNOTSUPP) return -1;
    // The file system cannot tell where data lies: all of it is read.
    if (lseek(fd, static_cast<off_t>(from), SEEK_SET) < 0) return -1;
    *dataEnd = INT64_MAX;
    return from;
  }
  // There is always an implicit hole at the end of the file, so this finds the end of the
  // run even when no hole follows it.
  const off_t hole = lseek(fd, data, SEEK_HOLE);
  if (hole < 0 || lseek(fd, data, SEEK_SET) < 0) return -1;
  *dataEnd = static_cast<std::int64_t>(hole);
  return static_cast<std::int64_t>(data);
}

namespace {

// A read at the read position (`offset` < 0) or at `offset`.
std::int64_t ReadRetrying(FileHandle file, void* buffer, std::uint32_t count,
                          std::int64_t offset) {
  if (!IsOpenFile(file) || buffer == nullptr) return -1;
  if (count > kReadChunkSize) count = kReadChunkSize;
  OpenFile* record = RecordOf(file);
  for (;;) {
    ssize_t got = offset < 0 ? read(record->Descriptor, buffer, count)
                             : pread(record->Descriptor, buffer, count, static_cast<off_t>(offset));
    if (got >= 0) return static_cast<std::int64_t>(got);
    if (errno == EINTR) continue;
    if ((errno != EAGAIN && errno != EWOULDBLOCK) || !record->NonBlocking) return -1;
    // A file system that honours O_NONBLOCK for a regular file: read it the blocking way.
    int flags = fcntl(record->Descriptor, F_GETFL);
    if (flags < 0 || fcntl(record->Descriptor, F_SETFL, flags & ~O_NONBLOCK) != 0) return -1;
    record->NonBlocking = false;
  }
}

}  // namespace

std::int64_t ReadFileChunk(FileHandle file, void* buffer, std::uint32_t count) {
  return ReadRetrying(file, buffer, count, -1);
}

std::int64_t ReadFileChunkAt(FileHandle file, void* buffer, std::uint32_t count,
                             std::int64_t offset) {
  return offset < 0 ? -1 : ReadRetrying(file, buffer, count, offset);
}

FileHandle CreateFileForWrite(const char* path) {
  if (path == nullptr) return kInvalidFile;
  // A log goes only into a regular file or a new one: a FIFO would hold the writer until a
  // reader came (or swallow the text), and a device or a folder is no place for it. A
  // symbolic link is followed, as editors do.
  struct stat before;
  if (stat(path, &before) == 0 && !S_ISREG(before.st_mode)) return kInvalidFile;
  // Emptied only once it is known to be a regular file; O_NONBLOCK and the second check
  // cover a file replaced between the two calls.
  int fd = open(path, O_RDWR | O_CREAT | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0666);
  if (fd < 0) return kInvalidFile;
  struct stat info;
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || ftruncate(fd, 0) != 0) {
    close(fd);
    return kInvalidFile;
  }
  int flags = fcntl(fd, F_GETFL);
  if (flags >= 0) fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  return HandleOf(fd, -1, false, false);
}

std::int64_t WriteFileBytes(FileHandle file, const void* data, std::uint32_t count) {
  if (!IsOpenFile(file) || (data == nullptr && count > 0)) return -1;
  const char* next = static_cast<const char*>(data);
  std::int64_t written = 0;
  while (written < count) {
    ssize_t put = write(DescriptorOf(file), next + written, count - written);
    if (put < 0) {
      if (errno == EINTR) continue;
      break;
    }
    if (put == 0) break;
    written += put;
  }
  if (written == 0 && count > 0) return -1;
  return written;
}

void CloseFile(FileHandle file) {
  if (!IsOpenFile(file)) return;
  ReleaseFileWindow(file);
  close(DescriptorOf(file));
  delete RecordOf(file);
}
