// The column of a word in its line as an editor counts it after reading the file into
// UTF-8 (Vim, and ripgrep's transcoding): the bytes of the line's text before the word in
// UTF-8, the byte-order mark not counted. For --vimgrep and --json when the search reads
// today's encodings, whose files may be Windows-1252 or UTF-16. The file is read a second
// time, alongside the search, from its start up to the last word asked for. Calling thread
// of tessik-cli, on which the search runs.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/text_decoding.h"
#include "platform/files.h"

class DecodedColumns {
 public:
  DecodedColumns() = default;
  DecodedColumns(const DecodedColumns&) = delete;
  DecodedColumns& operator=(const DecodedColumns&) = delete;
  ~DecodedColumns();

  // The 1-based column of the character at file position `offset` of `path`. The words of
  // a file are asked for in the order they stand in it (a word before the last one asked
  // for reads the file again from its start). `byteColumn` when the file cannot be read
  // as far.
  std::int64_t ColumnAt(const char* path, std::int64_t offset, std::int64_t byteColumn);

 private:
  bool Restart(const char* path);
  void Close();
  // Decodes the next read into the pending code points; false at the end of the file.
  bool DecodeMore();

  std::string path_;
  FileHandle file_ = kNoFile;
  bool ended_ = false;
  TextDecoder decoder_{};
  std::vector<std::uint8_t> bytes_;
  std::vector<char32_t> codePoints_;
  std::vector<std::int64_t> positions_;
  std::uint32_t pending_ = 0;   // decoded code points
  std::uint32_t next_ = 0;      // the first not yet counted
  std::int64_t lineBytes_ = 0;  // UTF-8 bytes of the line before codePoints_[next_]
};
