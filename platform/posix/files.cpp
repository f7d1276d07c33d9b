// Files on POSIX: a handle is the descriptor plus one, so that descriptor 0 is not "none".
#include "platform/files.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

int DescriptorOf(FileHandle file) { return static_cast<int>(file - 1); }

FileHandle HandleOf(int fd) { return static_cast<FileHandle>(fd) + 1; }

}  // namespace

FileHandle OpenFileForScan(const char* path) {
  if (path == nullptr) return kInvalidFile;
  // Anything that is not a regular file is refused before it is opened: opening a device
  // can act on it (a terminal allocates a console, a FIFO releases a waiting writer).
  struct stat before;
  if (stat(path, &before) != 0 || !S_ISREG(before.st_mode)) return kInvalidFile;
  // O_NONBLOCK and the second check cover a file replaced between the two calls.
  int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) return kInvalidFile;
  struct stat info;
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    close(fd);
    return kInvalidFile;
  }
  int flags = fcntl(fd, F_GETFL);
  if (flags >= 0) fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
  return HandleOf(fd);
}

std::int64_t GetFileSize64(FileHandle file) {
  if (!IsOpenFile(file)) return -1;
  struct stat info;
  if (fstat(DescriptorOf(file), &info) != 0) return -1;
  return static_cast<std::int64_t>(info.st_size);
}

std::int64_t ReadFileChunk(FileHandle file, void* buffer, std::uint32_t count) {
  if (!IsOpenFile(file) || buffer == nullptr) return -1;
  if (count > kReadChunkSize) count = kReadChunkSize;
  for (;;) {
    ssize_t got = read(DescriptorOf(file), buffer, count);
    if (got >= 0) return static_cast<std::int64_t>(got);
    if (errno != EINTR) return -1;
  }
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
  return HandleOf(fd);
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
  close(DescriptorOf(file));
}
