// Memory blocks on the C heap, with a switch that makes allocations fail for tests.
#include "platform/memory.h"

#include <atomic>
#include <cstdlib>

namespace {

std::atomic<int> failuresLeft{0};

}  // namespace

void* AllocateZeroed(std::size_t size) {
  int left = failuresLeft.load();
  while (left > 0) {
    if (failuresLeft.compare_exchange_weak(left, left - 1)) return nullptr;
  }
  return std::calloc(1, size == 0 ? 1 : size);
}

void FreeBlock(void* block) { std::free(block); }

void FailNextAllocationsForTesting(int count) { failuresLeft.store(count < 0 ? 0 : count); }
