// The record a POSIX file handle points to: the descriptor, what the open learnt about the
// file, and the window a view has mapped of it. Private to platform/posix; a handle is
// used by one thread at a time.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/files.h"

struct OpenFile {
  int Descriptor;
  // For a file opened for scanning, what fstat said right after the open; -1 otherwise.
  std::int64_t SizeWhenOpened;
  bool MayHaveHoles;
  // Scan descriptors keep the O_NONBLOCK they were opened with, which regular files
  // ignore; should a read ever answer EAGAIN, it is cleared and the read made again.
  bool NonBlocking;
  // The window mapped now (file_views.cpp), or none.
  std::uint8_t* Window = nullptr;
  std::size_t WindowLength = 0;
  std::int64_t WindowOffset = 0;
};

inline OpenFile* RecordOf(FileHandle file) { return reinterpret_cast<OpenFile*>(file); }
