#include "engine/string_list.h"

#include <cstdlib>
#include <cstring>

#include "platform/memory.h"

namespace {

std::uint32_t BlockCount(std::uint32_t capacity) {
  return (capacity + kEntriesPerBlock - 1) / kEntriesPerBlock;
}

char** NewBlockTable(std::uint32_t capacity) {
  return static_cast<char**>(
      std::calloc(BlockCount(capacity) == 0 ? 1 : BlockCount(capacity), sizeof(char*)));
}

char* EntryAt(char* const* blocks, std::uint32_t index) {
  return blocks[index / kEntriesPerBlock] + (index % kEntriesPerBlock) * kEntrySize;
}

// Copies `text` into entry `index`, taking its block first when it is the block's first
// entry; false when the text does not fit or memory ran out.
bool StoreEntry(char** blocks, std::uint32_t capacity, std::uint32_t index, const char* text) {
  std::size_t length = std::strlen(text);
  if (length >= kEntrySize) return false;
  char*& block = blocks[index / kEntriesPerBlock];
  if (block == nullptr) {
    // The last block of a list whose capacity is not a whole number of blocks is shorter.
    const std::uint32_t first = index - index % kEntriesPerBlock;
    const std::uint32_t entries =
        capacity - first < kEntriesPerBlock ? capacity - first : kEntriesPerBlock;
    block = static_cast<char*>(AllocateZeroed(static_cast<std::size_t>(entries) * kEntrySize));
    if (block == nullptr) return false;
  }
  std::memcpy(EntryAt(blocks, index), text, length + 1);
  return true;
}

// Gives back the block of entry `index` once that entry, the first of its block, has gone.
void ReleaseBlockIfFirst(char** blocks, std::uint32_t index) {
  if (index % kEntriesPerBlock != 0) return;
  FreeBlock(blocks[index / kEntriesPerBlock]);
  blocks[index / kEntriesPerBlock] = nullptr;
}

void ReleaseAllBlocks(char** blocks, std::uint32_t capacity) {
  if (blocks == nullptr) return;
  for (std::uint32_t b = 0; b < BlockCount(capacity); ++b) {
    FreeBlock(blocks[b]);
    blocks[b] = nullptr;
  }
}

}  // namespace

StringList::StringList(std::uint32_t capacity)
    : capacity_(capacity), Blocks(NewBlockTable(capacity)) {}

StringList::~StringList() {
  Clear();
  std::free(Blocks);
}

std::int32_t StringList::Add(const char* text) {
  NonEmpty = 1;
  std::uint32_t count = Count;
  if (count >= capacity_ || Blocks == nullptr) return -1;
  if (!StoreEntry(Blocks, capacity_, count, text)) return -1;
  Count = count + 1;  // publishes the entry to readers on the window thread
  return static_cast<std::int32_t>(count);
}

const char* StringList::Get(std::uint32_t index) const {
  return index < Count ? EntryAt(Blocks, index) : nullptr;
}

void StringList::RemoveAt(std::uint32_t index) {
  std::uint32_t count = Count;
  if (index >= count) return;
  for (std::uint32_t j = index; j + 1 < count; ++j)
    std::strcpy(EntryAt(Blocks, j), EntryAt(Blocks, j + 1));
  Count = count - 1;
  ReleaseBlockIfFirst(Blocks, count - 1);
  NonEmpty = Count != 0 ? 1 : 0;
}

void StringList::Clear() {
  // Count goes first so that a reader on the window thread (Save during a search) never
  // takes an entry that is about to be freed.
  Count.exchange(0);
  ReleaseAllBlocks(Blocks, capacity_);
  NonEmpty = 0;
}

FlaggedStringList::FlaggedStringList()
    : Flags{}, Marks{}, Blocks(NewBlockTable(kFlaggedListCapacity)) {}

FlaggedStringList::~FlaggedStringList() {
  Clear();
  std::free(Blocks);
}

std::int32_t FlaggedStringList::Add(const char* text, bool mark) {
  NonEmpty = 1;
  std::uint32_t count = Count;
  if (count >= kFlaggedListCapacity || Blocks == nullptr) return -1;
  const std::uint32_t last = TextCount - 1;
  if (count > 0 && Texts[count - 1] == last && std::strcmp(EntryAt(Blocks, last), text) == 0) {
    Texts[count] = last;
  } else {
    if (!StoreEntry(Blocks, kFlaggedListCapacity, TextCount, text)) return -1;
    Texts[count] = TextCount++;
  }
  Flags[count] = 0;
  Marks[count] = mark;
  Count = count + 1;  // publishes the entry to readers on the window thread
  return static_cast<std::int32_t>(count);
}

const char* FlaggedStringList::Get(std::uint32_t index) const {
  return index < Count ? EntryAt(Blocks, Texts[index]) : nullptr;
}

std::uint8_t& FlaggedStringList::Flag(std::uint32_t index) {
  return Flags[index < Count ? index : kFlaggedListCapacity - 1];
}

bool FlaggedStringList::Marked(std::uint32_t index) const {
  return index < Count && Marks[index];
}

void FlaggedStringList::RemoveAt(std::uint32_t index) {
  std::uint32_t count = Count;
  if (index >= count) return;
  const std::uint32_t text = Texts[index];
  const bool shared = (index > 0 && Texts[index - 1] == text) ||
                      (index + 1 < count && Texts[index + 1] == text);
  // A text that only this entry held goes too, and the texts after it move up a buffer.
  const std::uint32_t gone = shared ? 0 : 1;
  if (gone != 0) {
    for (std::uint32_t t = text; t + 1 < TextCount; ++t)
      std::strcpy(EntryAt(Blocks, t), EntryAt(Blocks, t + 1));
  }
  for (std::uint32_t j = index; j + 1 < count; ++j) {
    Texts[j] = Texts[j + 1] - gone;
    Flags[j] = Flags[j + 1];
    Marks[j] = Marks[j + 1];
  }
  Count = count - 1;
  if (gone != 0) ReleaseBlockIfFirst(Blocks, --TextCount);
  Flags[count - 1] = 0;
  NonEmpty = Count != 0 ? 1 : 0;
}

void FlaggedStringList::Clear() {
  std::uint32_t count = Count.exchange(0);
  std::memset(Flags, 0, count);
  TextCount = 0;
  ReleaseAllBlocks(Blocks, kFlaggedListCapacity);
  NonEmpty = 0;
}
