// Blocks of memory for a search (the read buffer). Any thread may call these.
#pragma once

#include <cstddef>

// A zero-filled block, or nullptr when memory is short.
void* AllocateZeroed(std::size_t size);

// Releases a block from AllocateZeroed; nullptr is ignored.
void FreeBlock(void* block);

// Makes the next `count` calls of AllocateZeroed fail (tests of the out-of-memory path).
void FailNextAllocationsForTesting(int count);
