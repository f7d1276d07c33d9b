#include "engine/string_list.h"

#include <cstdlib>
#include <cstring>

namespace {

// Copies `text` into a new 256-byte buffer, or gives nullptr when it does not fit or
// memory ran out.
char* NewEntry(const char* text) {
  std::size_t length = std::strlen(text);
  if (length >= kEntrySize) return nullptr;
  char* entry = static_cast<char*>(std::malloc(kEntrySize));
  if (entry != nullptr) std::memcpy(entry, text, length + 1);
  return entry;
}

}  // namespace

StringList::StringList(std::uint32_t capacity)
    : capacity_(capacity), Items(static_cast<char**>(std::calloc(capacity, sizeof(char*)))) {}

StringList::~StringList() {
  Clear();
  std::free(Items);
}

std::int32_t StringList::Add(const char* text) {
  NonEmpty = 1;
  std::uint32_t count = Count;
  if (count >= capacity_ || Items == nullptr) return -1;
  char* entry = NewEntry(text);
  if (entry == nullptr) return -1;
  Items[count] = entry;
  Count = count + 1;  // publishes the entry to readers on the window thread
  return static_cast<std::int32_t>(count);
}

const char* StringList::Get(std::uint32_t index) const {
  return index < Count ? Items[index] : nullptr;
}

void StringList::RemoveAt(std::uint32_t index) {
  std::uint32_t count = Count;
  if (index >= count) return;
  for (std::uint32_t j = index; j + 1 < count; ++j) std::strcpy(Items[j], Items[j + 1]);
  Count = count - 1;
  std::free(Items[count - 1]);
  Items[count - 1] = nullptr;
  NonEmpty = Count != 0 ? 1 : 0;
}

void StringList::Clear() {
  // Count goes first so that a reader on the window thread (Save during a search) never
  // takes an entry that is about to be freed.
  std::uint32_t count = Count.exchange(0);
  for (std::uint32_t i = 0; i < count; ++i) {
    std::free(Items[i]);
    Items[i] = nullptr;
  }
  NonEmpty = 0;
}

FlaggedStringList::FlaggedStringList()
    : Flags{}, Items(static_cast<char**>(std::calloc(kFlaggedListCapacity, sizeof(char*)))) {}

FlaggedStringList::~FlaggedStringList() {
  Clear();
  std::free(Items);
}

std::int32_t FlaggedStringList::Add(const char* text) {
  NonEmpty = 1;
  std::uint32_t count = Count;
  if (count >= kFlaggedListCapacity || Items == nullptr) return -1;
  char* entry = NewEntry(text);
  if (entry == nullptr) return -1;
  Items[count] = entry;
  Flags[count] = 0;
  Count = count + 1;
  return static_cast<std::int32_t>(count);
}

const char* FlaggedStringList::Get(std::uint32_t index) const {
  return index < Count ? Items[index] : nullptr;
}

std::uint8_t& FlaggedStringList::Flag(std::uint32_t index) {
  return Flags[index < Count ? index : kFlaggedListCapacity - 1];
}

void FlaggedStringList::RemoveAt(std::uint32_t index) {
  std::uint32_t count = Count;
  if (index >= count) return;
  for (std::uint32_t j = index; j + 1 < count; ++j) {
    std::strcpy(Items[j], Items[j + 1]);
    Flags[j] = Flags[j + 1];
  }
  Count = count - 1;
  std::free(Items[count - 1]);
  Items[count - 1] = nullptr;
  Flags[count - 1] = 0;
  NonEmpty = Count != 0 ? 1 : 0;
}

void FlaggedStringList::Clear() {
  std::uint32_t count = Count.exchange(0);
  for (std::uint32_t i = 0; i < count; ++i) {
    std::free(Items[i]);
    Items[i] = nullptr;
    Flags[i] = 0;
  }
  NonEmpty = 0;
}
