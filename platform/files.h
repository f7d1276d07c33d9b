// Files for the search: open a file for one front-to-back scan, read it in chunks,
// and create the log file and write it. Any thread may call these; a handle is used
// by one thread at a time.
#pragma once

#include <cstdint>

using FileHandle = std::intptr_t;
constexpr FileHandle kNoFile = 0;
constexpr FileHandle kInvalidFile = -1;  // counts as none wherever a handle is tested

// Size of every read the scanner makes, and of the read buffer.
constexpr std::uint32_t kReadChunkSize = 65536;

// Opens a file for reading, with the sequential-scan hint where the file is large enough
// for it to matter. Only regular files open: a FIFO, socket, device or directory gives
// kInvalidFile at once and never blocks. Where opening something else could act on it, the
// path is looked at first, unless `listedAsRegularFile` (a folder listing said it is one).
FileHandle OpenFileForScan(const char* path, bool listedAsRegularFile = false);

// For a program whose standard output may be a file among those it searches (tessik-cli):
// from now on OpenFileForScan refuses the file that standard output writes to, as it is
// now, so that the program never reads what it writes. When standard output is not open
// at all, it is held by a descriptor that cannot be written, so that no file opened later
// takes its place and every write to it fails. Call it once, before any search.
void ExcludeStandardOutputFromScan();

// True when `path` names the file that ExcludeStandardOutputFromScan excluded.
bool IsExcludedStandardOutput(const char* path);

// Size in bytes (64-bit), or -1 when it cannot be taken. For a file opened by
// OpenFileForScan, the size it had when it was opened.
std::int64_t GetFileSize64(FileHandle file);

// Whether the file may hold holes (fewer bytes allocated than its size), so that
// SeekToData is worth asking. False when it cannot be told.
bool FileMayHaveHoles(FileHandle file);

// Moves the read position of `file` to the first byte at or after `from` that is not in a
// hole, and returns that position; `*dataEnd` gets the position where that run of data
// ends (the next hole or the end of the file). When only a hole remains, returns the file
// size. When the file system cannot tell, returns `from` with `*dataEnd` = INT64_MAX,
// the read position at `from`. -1 on failure.
std::int64_t SeekToData(FileHandle file, std::int64_t from, std::int64_t* dataEnd);

// Reads up to `count` (at most kReadChunkSize) bytes. Returns the count read,
// 0 at the end of the file, -1 on failure.
std::int64_t ReadFileChunk(FileHandle file, void* buffer, std::uint32_t count);

// Reads up to `count` (at most kReadChunkSize) bytes from file position `offset`, as
// ReadFileChunk does; where the next ReadFileChunk reads from afterwards is not defined.
// For the pieces of a file that the platform does not view.
std::int64_t ReadFileChunkAt(FileHandle file, void* buffer, std::uint32_t count,
                             std::int64_t offset);

// Views: where the platform can map a file's pages, a large file is looked at in place,
// one window at a time, without the copy a read makes. A thread looks at one window at a
// time, and only the thread that mapped a window may touch its bytes.

// The most a window holds; windows begin at multiples of it.
constexpr std::uint32_t kViewWindowSize = 8u << 20;
// Files from this size up are viewed: below it a read costs no more than a map.
constexpr std::int64_t kViewFilesFrom = 1 << 20;

// Maps `count` bytes (1 to kViewWindowSize) of a file opened by OpenFileForScan, from
// `offset` (a multiple of kViewWindowSize), and returns their address; the read position
// moves to offset + count. A window mapped before on this handle is released first.
// nullptr, the read position unchanged, when the file is not viewed (too small to gain by
// it, a file with holes, a platform without views, no memory for the map): then it is read
// with ReadFileChunk.
const std::uint8_t* ViewFileWindow(FileHandle file, std::int64_t offset, std::uint32_t count);

// What ReleaseFileWindow found. From the first page of a window that the file lost, the
// window read as zero bytes.
constexpr int kWindowWhole = 0;
constexpr int kWindowCut = 1;      // the file was cut short while it was mapped
constexpr int kWindowFailed = -1;  // a page could not be read
// Unmaps the file's window, if any, and tells whether every byte of it was the file's.
// CloseFile releases a window still mapped.
int ReleaseFileWindow(FileHandle file);

// Views files from `size` bytes up instead of from kViewFilesFrom, or none for a negative
// size. Tests only.
void ViewFilesFrom(std::int64_t size);

// Creates a file for writing, emptying an existing one. Only a regular file or a new one:
// anything else (a FIFO, a device, a folder) gives kInvalidFile at once, untouched.
FileHandle CreateFileForWrite(const char* path);

// Writes `count` bytes; returns the count written (which may be short) or -1.
std::int64_t WriteFileBytes(FileHandle file, const void* data, std::uint32_t count);

// Closes a file; none and invalid handles are ignored.
void CloseFile(FileHandle file);

inline bool IsOpenFile(FileHandle file) { return file != kNoFile && file != kInvalidFile; }
