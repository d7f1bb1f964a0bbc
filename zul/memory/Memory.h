// The engine's allocation wrappers over the memory tracker.
#pragma once

#include <cstddef>

#include "zul/memory/Debug.h"
#include "zul/memory/TrackedNew.h"

// Tracked block, recorded under the given source name and line.
inline void* memNewArray(std::size_t size, const char* sourceName, int line, void* parent = nullptr) {
  return trackedAlloc(size, sourceName, line, parent);
}
inline void memDeleteArray(void* block) { trackedFree(block); }
// Tracked block under the generic allocation site.
inline void* memNew(std::size_t size) { return trackedAlloc(size, "memoryallocation", 54, nullptr); }
