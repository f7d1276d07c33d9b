#include "engine/zip_archive.h"

#include <libdeflate.h>
#include <minizip/unzip.h>

#include <cstring>
#include <vector>

#include "engine/document_refusal.h"

namespace {

// More entries than this is no document.
constexpr std::uint64_t kMostEntries = 100000;
constexpr std::size_t kLongestName = 1024;

voidpf OpenStream(voidpf opaque, const void*, int) { return opaque; }

uLong ReadStream(voidpf, voidpf stream, void* buffer, uLong size) {
  auto* s = static_cast<ZipArchive::Stream*>(stream);
  const std::size_t left = s->Count - s->Position;
  const std::size_t count = size < left ? size : left;
  std::memcpy(buffer, s->Bytes + s->Position, count);
  s->Position += count;
  return static_cast<uLong>(count);
}

uLong WriteStream(voidpf, voidpf, const void*, uLong) { return 0; }

ZPOS64_T TellStream(voidpf, voidpf stream) {
  return static_cast<ZipArchive::Stream*>(stream)->Position;
}

long SeekStream(voidpf, voidpf stream, ZPOS64_T offset, int origin) {
  auto* s = static_cast<ZipArchive::Stream*>(stream);
  std::uint64_t base = 0;
  switch (origin) {
    case ZLIB_FILEFUNC_SEEK_SET:
      base = 0;
      break;
    case ZLIB_FILEFUNC_SEEK_CUR:
      base = s->Position;
      break;
    case ZLIB_FILEFUNC_SEEK_END:
      base = s->Count;
      break;
    default:
      return -1;
  }
  if (offset > s->Count || base + offset > s->Count) return -1;
  s->Position = static_cast<std::size_t>(base + offset);
  return 0;
}

int CloseStream(voidpf, voidpf) { return 0; }
int StreamError(voidpf, voidpf) { return 0; }

// A name that leads out of the folder the archive is unpacked in: from the root, from a
// drive, or up through "..".
bool LeadsOutside(const std::string& name) {
  if (name.empty()) return false;
  if (name[0] == '/' || name[0] == '\\') return true;
  if (name.size() >= 2 && name[1] == ':') return true;
  std::size_t start = 0;
  while (start <= name.size()) {
    std::size_t end = name.find_first_of("/\\", start);
    if (end == std::string::npos) end = name.size();
    if (end - start == 2 && name[start] == '.' && name[start + 1] == '.') return true;
    start = end + 1;
  }
  return false;
}

}  // namespace

ZipArchive::~ZipArchive() {
  if (zip_ != nullptr) unzClose(static_cast<unzFile>(zip_));
  if (inflater_ != nullptr)
    libdeflate_free_decompressor(static_cast<libdeflate_decompressor*>(inflater_));
}

int ZipArchive::Open(const std::uint8_t* bytes, std::size_t count) {
  stream_ = {bytes, count, 0};
  zlib_filefunc64_def functions;
  functions.zopen64_file = OpenStream;
  functions.zread_file = ReadStream;
  functions.zwrite_file = WriteStream;
  functions.ztell64_file = TellStream;
  functions.zseek64_file = SeekStream;
  functions.zclose_file = CloseStream;
  functions.zerror_file = StreamError;
  functions.opaque = &stream_;
  unzFile zip = unzOpen2_64("", &functions);
  if (zip == nullptr) return kDocumentBroken;
  zip_ = zip;
  unz_global_info64 global;
  if (unzGetGlobalInfo64(zip, &global) != UNZ_OK || global.number_entry > kMostEntries)
    return kDocumentBroken;
  char name[kLongestName + 1];
  for (int status = unzGoToFirstFile(zip); status != UNZ_END_OF_LIST_OF_FILE;
       status = unzGoToNextFile(zip)) {
    if (status != UNZ_OK) return kDocumentBroken;
    unz_file_info64 info;
    if (unzGetCurrentFileInfo64(zip, &info, name, sizeof name, nullptr, 0, nullptr, 0) != UNZ_OK)
      return kDocumentBroken;
    if (info.size_filename > kLongestName) return kDocumentBroken;
    const std::string entryName(name, info.size_filename);
    if (entryName.find('\0') != std::string::npos) return kDocumentBroken;
    if (LeadsOutside(entryName)) return kDocumentPathOutside;
    if ((info.flag & 1) != 0) return kDocumentEncrypted;
    unz64_file_pos position;
    if (unzGetFilePos64(zip, &position) != UNZ_OK) return kDocumentBroken;
    entries_[entryName] = {position.pos_in_zip_directory, position.num_of_file};
  }
  return kDocumentRead;
}

int ZipArchive::Read(const std::string& name, std::string* out) {
  out->clear();
  const auto found = entries_.find(name);
  if (found == entries_.end() || zip_ == nullptr) return kDocumentBroken;
  unzFile zip = static_cast<unzFile>(zip_);
  unz64_file_pos position{found->second.PositionInDirectory, found->second.EntryNumber};
  if (unzGoToFilePos64(zip, &position) != UNZ_OK) return kDocumentBroken;
  unz_file_info64 info;
  if (unzGetCurrentFileInfo64(zip, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK)
    return kDocumentBroken;
  if (info.compression_method != 0 && info.compression_method != Z_DEFLATED) return kDocumentBroken;
  // The sizes the archive states are checked first, then what the bytes really expand to.
  const long long stated = static_cast<long long>(info.uncompressed_size);
  const long long compressed = static_cast<long long>(info.compressed_size);
  if (info.uncompressed_size > static_cast<ZPOS64_T>(kMostPartBytes) ||
      expanded_ + stated > kMostExpandedBytes ||
      (stated > kRatioFloorBytes && stated > compressed * kMostRatio))
    return kDocumentTooLarge;
  const int result = info.compression_method == Z_DEFLATED
                         ? Inflate(info.compressed_size, info.uncompressed_size, info.crc, out)
                         : Copy(info.uncompressed_size, out);
  if (result != kDocumentRead) out->clear();
  return result;
}

int ZipArchive::Inflate(std::uint64_t compressed, std::uint64_t expanded, std::uint32_t crc,
                        std::string* out) {
  // The entry's compressed bytes are where the archive holds them in memory, and are
  // expanded at once to the size the archive states, no more and no less.
  unzFile zip = static_cast<unzFile>(zip_);
  int method = 0, level = 0;
  if (unzOpenCurrentFile2(zip, &method, &level, 1) != UNZ_OK) return kDocumentBroken;
  const ZPOS64_T start = unzGetCurrentFileZStreamPos64(zip);
  unzCloseCurrentFile(zip);
  if (start > stream_.Count || compressed > stream_.Count - start) return kDocumentBroken;
  if (inflater_ == nullptr) inflater_ = libdeflate_alloc_decompressor();
  if (inflater_ == nullptr) return kDocumentNoMemory;
  const auto stated = static_cast<std::size_t>(expanded);
  out->resize(stated);  // within the bounds checked before
  const libdeflate_result inflated = libdeflate_deflate_decompress(
      static_cast<libdeflate_decompressor*>(inflater_), stream_.Bytes + start,
      static_cast<std::size_t>(compressed), out->data(), stated, nullptr);
  expanded_ += static_cast<long long>(stated);
  if (inflated != LIBDEFLATE_SUCCESS) return kDocumentBroken;
  if (libdeflate_crc32(0, out->data(), stated) != crc) return kDocumentBroken;
  return kDocumentRead;
}

int ZipArchive::Copy(std::uint64_t expanded, std::string* out) {
  unzFile zip = static_cast<unzFile>(zip_);
  if (unzOpenCurrentFile(zip) != UNZ_OK) return kDocumentBroken;
  const auto stated = static_cast<long long>(expanded);
  out->reserve(static_cast<std::size_t>(stated));  // within the bounds checked before
  char buffer[16384];
  int result = kDocumentRead;
  long long total = 0;
  for (;;) {
    const int got = unzReadCurrentFile(zip, buffer, sizeof buffer);
    if (got < 0) {
      result = kDocumentBroken;
      break;
    }
    if (got == 0) break;
    total += got;
    if (total > stated) {
      result = kDocumentBroken;
      break;
    }
    out->append(buffer, static_cast<std::size_t>(got));
  }
  // Closing checks the CRC of an entry read to its end.
  const int closed = unzCloseCurrentFile(zip);
  if (result == kDocumentRead && closed != UNZ_OK) result = kDocumentBroken;
  if (result == kDocumentRead && total != stated) result = kDocumentBroken;
  expanded_ += total;
  return result;
}
