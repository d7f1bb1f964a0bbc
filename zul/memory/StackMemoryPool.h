// Two-ended stack allocator over one contiguous buffer. Blocks are taken from
// the bottom upwards or from the top downwards and given back in reverse order
// on each side; each block has a 4-byte header holding its rounded size.
#pragma once

#include <cstdint>

class StackMemoryPool {
 public:
  // All fields zero; call init before use.
  StackMemoryPool();
  // Uses the caller's buffer when given (never freed here), else mallocs size bytes.
  StackMemoryPool(int32_t size, void* buffer);
  ~StackMemoryPool();
  StackMemoryPool(const StackMemoryPool&) = delete;
  StackMemoryPool& operator=(const StackMemoryPool&) = delete;

  void init(int32_t size);

  // A block of size (rounded up to 4, at least 4) from the bottom (fromTop 0)
  // or the top; null, after the report, when it does not fit.
  void* alloc(int32_t size, int fromTop);
  // Gives back the last block of its side; anything else is reported and ignored.
  void free(void* pointer);
  // Empties one side: 0 bottom, 1 top.
  void reset(int side);
  // Gives back everything beyond mark on the side where mark lies.
  void rewind(void* mark);

  // Room left for one more block with its header.
  int32_t getFreeSize() const;
  int32_t getSize() const { return m_size; }
  // The rounded size of a block of this pool; 0 for null or a foreign pointer.
  int32_t getBlockSize(const void* pointer) const;
  // base < pointer < base + size.
  bool contains(const void* pointer) const;

 private:
  uint8_t* m_callerBuffer = nullptr;
  uint8_t* m_base = nullptr;
  int32_t m_size = 0;
  uint8_t* m_bottomTop = nullptr;
  uint8_t* m_topTop = nullptr;
};

// The game's scratch pool (30,720 bytes, held by its renderer), registered by
// its owner; null until then.
StackMemoryPool* getStackMemoryPool();
void setStackMemoryPool(StackMemoryPool* pool);

// alloc(size, 0) and free on the game's scratch pool; null when there is none.
void* stackPoolAlloc(int32_t size);
void stackPoolFree(void* pointer);
