#include "zul/io/BufferStream.h"

#include <cstring>

#include "zul/memory/Debug.h"
#include "zul/memory/Memory.h"

namespace {
constexpr const char* kSource = "BufferStream";
}

BufferStream::BufferStream() = default;

BufferStream::BufferStream(int32_t mode, int32_t size, void* buffer) : m_owns(1) { open(mode, size, buffer); }

BufferStream::~BufferStream() { BufferStream::close(); }

void BufferStream::open(int32_t mode, int32_t size, void* buffer) {
  close();
  m_mode = mode;
  m_position = 0;
  if (buffer) {
    m_data = static_cast<uint8_t*>(buffer);
    m_capacity = m_length = size > 0 ? size : 0;
    m_owns = 0;
  } else {
    KV_CHECK(mode & kWrite, 84, kSource);
    m_owns = 1;
    m_data = m_inline;
    m_length = 0;
    m_capacity = kInlineSize;
    grow(size);
  }
  m_open = 1;
}

void BufferStream::close() {
  if (m_owns) {
    if (m_data && m_data != m_inline) memDeleteArray(m_data);
    m_data = m_inline;
    m_length = 0;
    m_capacity = kInlineSize;
    m_position = 0;
  }
  m_open = 0;
}

int32_t BufferStream::read(void* buffer, int32_t count) {
  KV_CHECK(m_mode & kRead, 130, kSource);
  if (count <= 0) return 0;
  if (count > m_length - m_position) count = m_length - m_position;
  if (count > 0) std::memcpy(buffer, m_data + m_position, static_cast<size_t>(count));
  m_position += count;
  return count;
}

int32_t BufferStream::write(const void* buffer, int32_t count) {
  KV_CHECK(m_mode & kWrite, 149, kSource);
  if (count <= 0) return 0;
  int64_t end = int64_t{m_position} + count;
  if (end > m_length) {
    if (end > m_capacity) {
      if (m_owns && end <= INT32_MAX) grow(static_cast<int32_t>(end));
      if (end > m_capacity) {
        // A caller's buffer (or storage that could not grow) takes only what fits.
        if (!m_owns) KV_CHECK(false, 162, kSource);
        count = m_capacity - m_position;
        end = m_capacity;
      }
    }
    m_length = static_cast<int32_t>(end);
  }
  if (count > 0) std::memcpy(m_data + m_position, buffer, static_cast<size_t>(count));
  m_position += count;
  return count;
}

int32_t BufferStream::seek(int32_t offset, int32_t origin) {
  int64_t target;
  switch (origin) {
    case kSeekStart: target = offset; break;
    case kSeekCurrent: target = int64_t{m_position} + offset; break;
    case kSeekEnd: target = int64_t{m_length} + offset; break;
    default:
      KV_CHECK(false, 186, kSource);
      target = m_position;
  }
  if (target < 0) {
    KV_CHECK(false, 190, kSource);
    m_position = 0;
  } else if (target <= m_length) {
    m_position = static_cast<int32_t>(target);
  } else if (m_owns && (m_mode & kWrite)) {
    // Only the capacity is made ready; the stream does not lengthen.
    if (target > m_capacity && target <= INT32_MAX) grow(static_cast<int32_t>(target));
    m_position = m_length;
  } else {
    KV_CHECK(false, 204, kSource);
  }
  return m_position;
}

const uint8_t* BufferStream::skip(int32_t count) {
  if (!KV_CHECK(count >= 0, 218, kSource)) return nullptr;
  const int32_t before = m_position;
  seek(count, kSeekCurrent);
  if (m_position - before != count) return nullptr;  // past the end
  return m_data + m_position - count;
}

void BufferStream::grow(int32_t size) {
  if (!m_owns || size <= m_capacity) return;
  const int64_t rounded = (int64_t{size} + 1023) / 1024 * 1024;
  if (rounded > INT32_MAX) return;
  const int32_t capacity = static_cast<int32_t>(rounded);
  auto* block = static_cast<uint8_t*>(memNewArray(static_cast<size_t>(capacity), kSource, 23));
  if (!block) return;
  if (m_length > 0) std::memcpy(block, m_data, static_cast<size_t>(m_length));
  if (m_data && m_data != m_inline) memDeleteArray(m_data);
  m_data = block;
  m_capacity = capacity;
}
