#include "cli/decoded_columns.h"

namespace {

constexpr std::uint32_t kColumnRead = 16384;

int Utf8Length(char32_t codePoint) {
  return codePoint < 0x80 ? 1 : codePoint < 0x800 ? 2 : codePoint < 0x10000 ? 3 : 4;
}

}  // namespace

DecodedColumns::~DecodedColumns() { Close(); }

void DecodedColumns::Close() {
  if (IsOpenFile(file_)) CloseFile(file_);
  file_ = kNoFile;
}

bool DecodedColumns::Restart(const char* path) {
  Close();
  path_ = path;
  file_ = OpenFileForScan(path);
  ended_ = !IsOpenFile(file_);
  StartTextDecoding(&decoder_);
  pending_ = next_ = 0;
  lineBytes_ = 0;
  if (bytes_.empty()) {
    bytes_.resize(kColumnRead);
    codePoints_.resize(kColumnRead + kDecodeSlack);
    positions_.resize(kColumnRead + kDecodeSlack);
  }
  return !ended_;
}

bool DecodedColumns::DecodeMore() {
  pending_ = next_ = 0;
  while (!ended_ && pending_ == 0) {
    const std::int64_t got = ReadFileChunk(file_, bytes_.data(), kColumnRead);
    if (got > 0) {
      pending_ = DecodeText(&decoder_, bytes_.data(), static_cast<std::uint32_t>(got),
                            codePoints_.data(), positions_.data());
    } else {
      ended_ = true;
      if (got == 0) pending_ = FinishTextDecoding(&decoder_, codePoints_.data(), positions_.data());
      Close();
    }
  }
  return pending_ > 0;
}

std::int64_t DecodedColumns::ColumnAt(const char* path, std::int64_t offset,
                                      std::int64_t byteColumn) {
  const bool behind = next_ < pending_ ? positions_[next_] > offset : decoder_.Position > offset;
  if (path_ != path || behind) {
    if (!Restart(path)) return byteColumn;
  }
  for (;;) {
    if (next_ == pending_ && !DecodeMore()) return byteColumn;
    for (; next_ < pending_; ++next_) {
      if (positions_[next_] >= offset) return lineBytes_ + 1;
      lineBytes_ = codePoints_[next_] == U'\n' ? 0 : lineBytes_ + Utf8Length(codePoints_[next_]);
    }
  }
}
