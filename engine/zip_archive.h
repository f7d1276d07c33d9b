// A zip archive held in memory, read with minizip (over zlib): the names of its entries, and
// an entry's bytes expanded within the bounds of engine/document_refusal.h; a compressed
// entry is expanded with libdeflate, at once, from where the archive holds it. Refuses an
// archive that is damaged, has an encrypted entry or an entry whose path leads out of it.
// One thread at a time (the search worker; tests and fuzzers any one thread).
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>

class ZipArchive {
 public:
  ZipArchive() = default;
  ZipArchive(const ZipArchive&) = delete;
  ZipArchive& operator=(const ZipArchive&) = delete;
  ~ZipArchive();

  // Opens the archive `bytes[0..count)`, which stays where it is until this is destroyed,
  // and checks every entry's name and flags. kDocumentRead or a refusal.
  int Open(const std::uint8_t* bytes, std::size_t count);

  bool Has(const std::string& name) const { return entries_.count(name) != 0; }
  // The entries' names, in the order of their names.
  template <typename Visit>
  void ForEachName(Visit visit) const {
    for (const auto& entry : entries_) visit(entry.first);
  }

  // The entry `name` expanded into `out`. kDocumentRead, kDocumentBroken for a missing or
  // damaged entry (its CRC or its expanded size not what the archive states), or
  // kDocumentTooLarge past the bounds (counted over every entry read).
  int Read(const std::string& name, std::string* out);

  // Where the memory stream is: the archive's bytes and the read position (minizip's calls).
  struct Stream {
    const std::uint8_t* Bytes;
    std::size_t Count;
    std::size_t Position;
  };

 private:
  struct Entry {
    std::uint64_t PositionInDirectory;
    std::uint64_t EntryNumber;
  };
  // The current entry, opened, expanded from its compressed bytes; or copied as it is stored.
  int Inflate(std::uint64_t compressed, std::uint64_t expanded, std::uint32_t crc,
              std::string* out);
  int Copy(std::uint64_t expanded, std::string* out);

  Stream stream_{nullptr, 0, 0};
  void* zip_ = nullptr;
  void* inflater_ = nullptr;  // libdeflate's, made at the first compressed entry
  std::map<std::string, Entry> entries_;
  long long expanded_ = 0;
};
