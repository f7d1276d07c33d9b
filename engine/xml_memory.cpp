#include "engine/xml_memory.h"

#include <cstddef>
#include <cstdlib>
#include <mutex>
#include <pugixml.hpp>

namespace {

// Each block begins with its size, so that a block given back is known by it; the pages of
// a tree (32 KiB in the library's build) are the blocks kept.
constexpr std::size_t kHeader = alignof(std::max_align_t);
constexpr std::size_t kKeptBytes = 32u << 10;
constexpr std::size_t kSmallestKept = kKeptBytes / 2;
// Blocks kept at most: the trees of two large parts read at once on each of a few threads.
constexpr std::size_t kMostKept = 256;

struct Kept {
  std::mutex Mutex;
  void* Blocks[kMostKept];
  std::size_t Count = 0;
};

Kept& TheKept() {
  static Kept kept;
  return kept;
}

void* Allocate(std::size_t size) {
  const bool keepable = size >= kSmallestKept && size <= kKeptBytes;
  void* block = nullptr;
  if (keepable) {
    Kept& kept = TheKept();
    const std::lock_guard<std::mutex> lock(kept.Mutex);
    if (kept.Count > 0) block = kept.Blocks[--kept.Count];
  }
  const std::size_t bytes = keepable ? kKeptBytes : size;
  if (block == nullptr) {
    if (bytes > static_cast<std::size_t>(-1) - kHeader) return nullptr;
    block = std::malloc(kHeader + bytes);
    if (block == nullptr) return nullptr;
    *static_cast<std::size_t*>(block) = bytes;
  }
  return static_cast<char*>(block) + kHeader;
}

void Deallocate(void* memory) {
  if (memory == nullptr) return;
  void* block = static_cast<char*>(memory) - kHeader;
  if (*static_cast<std::size_t*>(block) == kKeptBytes) {
    Kept& kept = TheKept();
    const std::lock_guard<std::mutex> lock(kept.Mutex);
    if (kept.Count < kMostKept) {
      kept.Blocks[kept.Count++] = block;
      return;
    }
  }
  std::free(block);
}

}  // namespace

void KeepXmlMemory() {
  static std::once_flag once;
  std::call_once(once, [] {
    TheKept();  // made first, so that it outlives every tree
    pugi::set_memory_management_functions(Allocate, Deallocate);
  });
}
