// Files on Win32. Only what the system calls a disk file is read or written: a name such
// as aux.txt or con opens a device, and reading one can block for ever.
#include "platform/files.h"

#include <windows.h>

#include <cstdint>

namespace {

HANDLE NativeOf(FileHandle file) { return reinterpret_cast<HANDLE>(file); }

// Keeps the handle only when it is a disk file; anything else is closed at once.
FileHandle DiskFileOrInvalid(HANDLE handle) {
  if (handle == INVALID_HANDLE_VALUE || handle == nullptr) return kInvalidFile;
  if (GetFileType(handle) != FILE_TYPE_DISK) {
    CloseHandle(handle);
    return kInvalidFile;
  }
  return reinterpret_cast<FileHandle>(handle);
}

// The file that standard output writes to, once excluded: its volume and file index. Set
// before any search starts and only read afterwards.
struct ExcludedFile {
  bool Set = false;
  DWORD Volume = 0;
  DWORD IndexHigh = 0;
  DWORD IndexLow = 0;
};
ExcludedFile excludedOutput;

bool IsExcluded(HANDLE handle) {
  if (!excludedOutput.Set) return false;
  BY_HANDLE_FILE_INFORMATION info;
  return GetFileInformationByHandle(handle, &info) &&
         info.dwVolumeSerialNumber == excludedOutput.Volume &&
         info.nFileIndexHigh == excludedOutput.IndexHigh &&
         info.nFileIndexLow == excludedOutput.IndexLow;
}

}  // namespace

// A handle is never reused for standard output on Win32, so an output that is not open
// needs nothing here.
void ExcludeStandardOutputFromScan() {
  HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
  if (output == INVALID_HANDLE_VALUE || output == nullptr) return;
  if (GetFileType(output) != FILE_TYPE_DISK) return;
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(output, &info)) return;
  excludedOutput = {true, info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow};
}

bool IsExcludedStandardOutput(const char* path) {
  if (path == nullptr || !excludedOutput.Set) return false;
  // No access asked, only the file's identity: this opens a file that others hold open.
  HANDLE handle = CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
  if (handle == INVALID_HANDLE_VALUE || handle == nullptr) return false;
  const bool excluded = GetFileType(handle) == FILE_TYPE_DISK && IsExcluded(handle);
  CloseHandle(handle);
  return excluded;
}

FileHandle OpenFileForScan(const char* path, bool) {
  if (path == nullptr) return kInvalidFile;
  FileHandle file = DiskFileOrInvalid(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr,
                                                  OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN,
                                                  nullptr));
  if (IsOpenFile(file) && IsExcluded(NativeOf(file))) {
    CloseHandle(NativeOf(file));
    return kInvalidFile;
  }
  return file;
}

std::int64_t GetFileSize64(FileHandle file) {
  if (!IsOpenFile(file)) return -1;
  LARGE_INTEGER size;
  if (!GetFileSizeEx(NativeOf(file), &size)) return -1;
  return static_cast<std::int64_t>(size.QuadPart);
}

// Holes are not looked for on Windows: every byte of a file is read.
bool FileMayHaveHoles(FileHandle) { return false; }

std::int64_t SeekToData(FileHandle file, std::int64_t from, std::int64_t* dataEnd) {
  if (!IsOpenFile(file) || from < 0 || dataEnd == nullptr) return -1;
  LARGE_INTEGER position;
  position.QuadPart = from;
  if (!SetFilePointerEx(NativeOf(file), position, nullptr, FILE_BEGIN)) return -1;
  *dataEnd = INT64_MAX;
  return from;
}

std::int64_t ReadFileChunk(FileHandle file, void* buffer, std::uint32_t count) {
  if (!IsOpenFile(file) || buffer == nullptr) return -1;
  if (count > kReadChunkSize) count = kReadChunkSize;
  DWORD got = 0;
  if (!ReadFile(NativeOf(file), buffer, count, &got, nullptr)) return -1;
  return static_cast<std::int64_t>(got);
}

std::int64_t ReadFileChunkAt(FileHandle file, void* buffer, std::uint32_t count,
                             std::int64_t offset) {
  if (!IsOpenFile(file) || buffer == nullptr || offset < 0) return -1;
  if (count > kReadChunkSize) count = kReadChunkSize;
  // On a handle opened for synchronous reads, the read starts at the offset given and
  // returns when it is done (moving the file pointer too).
  OVERLAPPED at = {};
  at.Offset = static_cast<DWORD>(static_cast<std::uint64_t>(offset) & 0xFFFFFFFFu);
  at.OffsetHigh = static_cast<DWORD>(static_cast<std::uint64_t>(offset) >> 32);
  DWORD got = 0;
  if (!ReadFile(NativeOf(file), buffer, count, &got, &at)) {
    return GetLastError() == ERROR_HANDLE_EOF ? 0 : -1;
  }
  return static_cast<std::int64_t>(got);
}

// Windows reads every file: a mapped page that cannot be read raises an exception that
// this program does not catch, where a failing ReadFile is an ordinary answer.
const std::uint8_t* ViewFileWindow(FileHandle, std::int64_t, std::uint32_t) { return nullptr; }

int ReleaseFileWindow(FileHandle) { return kWindowWhole; }

void ViewFilesFrom(std::int64_t) {}

FileHandle CreateFileForWrite(const char* path) {
  if (path == nullptr) return kInvalidFile;
  return DiskFileOrInvalid(CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                                       nullptr, CREATE_ALWAYS, FILE_FLAG_SEQUENTIAL_SCAN,
                                       nullptr));
}

std::int64_t WriteFileBytes(FileHandle file, const void* data, std::uint32_t count) {
  if (!IsOpenFile(file) || (data == nullptr && count > 0)) return -1;
  const char* next = static_cast<const char*>(data);
  std::uint32_t written = 0;
  while (written < count) {
    DWORD put = 0;
    if (!WriteFile(NativeOf(file), next + written, count - written, &put, nullptr) || put == 0)
      break;
    written += put;
  }
  if (written == 0 && count > 0) return -1;
  return written;
}

void CloseFile(FileHandle file) {
  if (!IsOpenFile(file)) return;
  CloseHandle(NativeOf(file));
}
