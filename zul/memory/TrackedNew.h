// Source-located allocation through the memory tracker:
//   new ("Game", 1261, nullptr) cGame(...)
#pragma once

#include <cstddef>

void* trackedAlloc(std::size_t size, const char* file, int line, void* parent);
void trackedFree(void* pointer);
void* trackedRealloc(void* pointer, std::size_t size, const char* file, int line, void* parent);

// Zero-filled and recorded. Returns null on failure.
void* operator new(std::size_t size, const char* file, int line, void* parent) noexcept;
void* operator new[](std::size_t size, const char* file, int line, void* parent) noexcept;
void operator delete(void* p, const char* file, int line, void* parent) noexcept;
void operator delete[](void* p, const char* file, int line, void* parent) noexcept;
