// Memory stream: reads and writes a caller's buffer in place, or owns storage
// (a 1024-byte inline buffer, then a grown heap block).
#pragma once

#include <cstdint>

#include "zul/io/Stream.h"

class BufferStream : public Stream {
 public:
  // Mode bits.
  enum { kRead = 1, kWrite = 2 };
  static constexpr int32_t kInlineSize = 1024;

  // Closed, no storage until open.
  BufferStream();
  BufferStream(int32_t mode, int32_t size, void* buffer);
  ~BufferStream() override;

  // With a buffer: reads and writes size bytes of it in place (the caller keeps
  // it). Without: owned storage of at least size bytes, empty; needs kWrite.
  void open(int32_t mode, int32_t size, void* buffer);

  void close() override;
  int32_t read(void* buffer, int32_t count) override;
  int32_t write(const void* buffer, int32_t count) override;
  int32_t seek(int32_t offset, int32_t origin) override;
  int32_t tell() override { return m_position; }

  // Passes over count bytes and returns them in place; null when fewer are left.
  const uint8_t* skip(int32_t count);
  // Makes room for size bytes in owned storage (capacity in steps of 1024).
  void grow(int32_t size);

  uint8_t* getData() const { return m_data; }
  int32_t getLength() const { return m_length; }
  int32_t getCapacity() const { return m_capacity; }
  bool usesInlineBuffer() const { return m_data == m_inline; }

 protected:
  uint8_t m_inline[kInlineSize];
  int32_t m_mode = 0;
  uint8_t* m_data = nullptr;
  int32_t m_length = 0;
  int32_t m_capacity = 0;
  int32_t m_position = 0;
  uint8_t m_owns = 0;
};
