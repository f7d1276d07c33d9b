// Fixed-capacity lists of texts, each entry a 256-byte buffer holding at most 255
// characters; the flagged kind carries one flag byte per entry, and a mark that the adder
// gives the entry and that stays with it. The buffers come in heap
// blocks of 256 entries, one taken when its first entry is added and given back when its
// last entry goes. In the flagged kind, an entry added with the same text as the entry
// before shares that entry's buffer (a file's occurrences in the result list name the same
// file): the entry itself is then four bytes, and its block holds 256 different texts.
// During a search only the worker changes a list; the window thread may read counts and
// entries meanwhile.
#pragma once

#include <atomic>
#include <cstdint>

constexpr std::uint32_t kEntrySize = 256;  // at most 255 characters and the terminator
constexpr std::uint32_t kFlaggedListCapacity = 61440;
constexpr std::uint32_t kEntriesPerBlock = 256;  // 64 KB of entries per allocation

class StringList {
 public:
  explicit StringList(std::uint32_t capacity);
  ~StringList();
  StringList(const StringList&) = delete;
  StringList& operator=(const StringList&) = delete;

  // Index of the new entry, or -1 when the list is full, memory for its block ran out,
  // or the text is longer than 255 characters (a text is never cut into a list).
  // NonEmpty is set by every attempt.
  std::int32_t Add(const char* text);
  // The entry's text, or nullptr beyond Count.
  const char* Get(std::uint32_t index) const;
  void RemoveAt(std::uint32_t index);
  void Clear();

  std::atomic<std::int32_t> NonEmpty{0};
  std::atomic<std::uint32_t> Count{0};

 private:
  std::uint32_t capacity_;
  char** Blocks;  // capacity_ / kEntriesPerBlock (rounded up) blocks, null until used
};

class FlaggedStringList {
 public:
  FlaggedStringList();
  ~FlaggedStringList();
  FlaggedStringList(const FlaggedStringList&) = delete;
  FlaggedStringList& operator=(const FlaggedStringList&) = delete;

  std::int32_t Add(const char* text, bool mark = false);
  const char* Get(std::uint32_t index) const;
  // The entry's flag byte; any index at or beyond Count gives the last slot's flag.
  std::uint8_t& Flag(std::uint32_t index);
  // The mark the entry was added with; false beyond Count.
  bool Marked(std::uint32_t index) const;
  void RemoveAt(std::uint32_t index);
  void Clear();

  std::atomic<std::int32_t> NonEmpty{0};
  std::atomic<std::uint32_t> Count{0};

 private:
  std::uint8_t Flags[kFlaggedListCapacity];
  bool Marks[kFlaggedListCapacity];
  // The buffer of each entry (its text's place in Blocks), and how many buffers are used.
  // Entries of one text follow each other, and the buffers the entries in order: the last
  // buffer is the only one an Add may share, and every buffer below TextCount is held.
  std::uint32_t Texts[kFlaggedListCapacity];
  std::uint32_t TextCount = 0;
  char** Blocks;
};
