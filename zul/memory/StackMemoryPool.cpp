#include "zul/memory/StackMemoryPool.h"

#include <cstdlib>
#include <cstring>

#include "zul/memory/Debug.h"

namespace {
constexpr const char* kSource = "StackMemoryPool";
constexpr int32_t kHeader = 4;

StackMemoryPool* g_pool = nullptr;

int32_t readHeader(const uint8_t* at) {
  int32_t v;
  std::memcpy(&v, at, sizeof v);
  return v;
}

void writeHeader(uint8_t* at, int32_t v) { std::memcpy(at, &v, sizeof v); }
}  // namespace

StackMemoryPool::StackMemoryPool() = default;

StackMemoryPool::StackMemoryPool(int32_t size, void* buffer)
    : m_callerBuffer(static_cast<uint8_t*>(buffer)), m_base(static_cast<uint8_t*>(buffer)), m_size(size) {
  if (!KV_CHECK(size > 0, 17, kSource)) {
    m_size = 0;
    m_base = m_callerBuffer = nullptr;
  } else if (!m_base) {
    m_base = static_cast<uint8_t*>(std::malloc(static_cast<size_t>(size)));
  }
  if (!KV_CHECK(m_base != nullptr, 22, kSource)) m_size = 0;
  reset(0);
  reset(1);
}

StackMemoryPool::~StackMemoryPool() {
  if (m_base != m_callerBuffer) std::free(m_base);
  m_base = m_bottomTop = m_topTop = nullptr;
}

void StackMemoryPool::init(int32_t size) {
  const bool sizeOk = KV_CHECK(size > 0, 58, kSource);
  const bool baseFree = KV_CHECK(m_base == nullptr, 59, kSource);
  const bool noCaller = KV_CHECK(m_callerBuffer == nullptr, 60, kSource);
  if (!sizeOk || !baseFree || !noCaller) return;  // keep what the pool has
  m_base = static_cast<uint8_t*>(std::malloc(static_cast<size_t>(size)));
  m_size = KV_CHECK(m_base != nullptr, 66, kSource) ? size : 0;
  reset(0);
  reset(1);
}

void* StackMemoryPool::alloc(int32_t size, int fromTop) {
  int64_t rounded = size == 0 ? 1 : size;
  rounded = (rounded + 3) & ~int64_t{3};
  const int64_t room = m_topTop - m_bottomTop;
  // A block that would cross the other side is refused: no overlapping memory.
  if (!KV_CHECK(size >= 0 && rounded + kHeader <= room, 97, kSource)) return nullptr;
  const int32_t n = static_cast<int32_t>(rounded);
  if (fromTop == 0) {
    writeHeader(m_bottomTop, n);
    uint8_t* result = m_bottomTop + kHeader;
    m_bottomTop += n + kHeader;
    return result;
  }
  m_topTop -= n + kHeader;
  writeHeader(m_topTop, n);
  return m_topTop + kHeader;
}

void StackMemoryPool::free(void* pointer) {
  if (!pointer) return;
  uint8_t* p = static_cast<uint8_t*>(pointer);
  const int32_t size = getBlockSize(p);
  if (size == 0) return;  // foreign pointer, already reported
  if (p >= m_bottomTop) {
    const bool last = p - kHeader == m_topTop && size > 0 && size <= (m_base + m_size) - p;
    if (!KV_CHECK(last, 122, kSource)) return;
    m_topTop += size + kHeader;
  } else {
    if (!KV_CHECK(m_bottomTop - p == size, 116, kSource)) return;
    m_bottomTop = p - kHeader;
  }
}

void StackMemoryPool::reset(int side) {
  if (side == 0) m_bottomTop = m_base;
  if (side == 1) m_topTop = m_base ? m_base + m_size : nullptr;
}

void StackMemoryPool::rewind(void* markPointer) {
  uint8_t* mark = static_cast<uint8_t*>(markPointer);
  uint8_t* end = m_base ? m_base + m_size : nullptr;
  if (mark < m_bottomTop) {
    if (KV_CHECK(m_base <= mark && mark < m_topTop, 199, kSource)) m_bottomTop = mark;
  } else if (mark > m_topTop) {
    const bool inside = m_bottomTop < mark && mark < end;
    KV_CHECK(inside, 204, kSource);
    if (inside || mark == end) m_topTop = mark;  // the end itself empties the top side
  } else {
    KV_CHECK(false, 209, kSource);
  }
}

int32_t StackMemoryPool::getFreeSize() const { return static_cast<int32_t>(m_topTop - m_bottomTop) - kHeader; }

int32_t StackMemoryPool::getBlockSize(const void* pointer) const {
  if (!pointer) return 0;
  const uint8_t* p = static_cast<const uint8_t*>(pointer);
  // The header must lie inside the buffer too.
  if (!KV_CHECK(contains(p) && p - m_base >= kHeader, 171, kSource)) return 0;
  return readHeader(p - kHeader);
}

bool StackMemoryPool::contains(const void* pointer) const {
  const uint8_t* p = static_cast<const uint8_t*>(pointer);
  return m_base && m_base < p && p < m_base + m_size;
}

StackMemoryPool* getStackMemoryPool() { return g_pool; }
void setStackMemoryPool(StackMemoryPool* pool) { g_pool = pool; }

void* stackPoolAlloc(int32_t size) {
  StackMemoryPool* pool = getStackMemoryPool();
  return pool ? pool->alloc(size, 0) : nullptr;
}

void stackPoolFree(void* pointer) {
  if (StackMemoryPool* pool = getStackMemoryPool()) pool->free(pointer);
}
