// Abstract byte stream with typed little- and big-endian readers and writers.
#pragma once

#include <cstdint>

class Stream {
 public:
  // Seek origins.
  enum { kSeekStart = 0, kSeekCurrent = 1, kSeekEnd = 2 };

  Stream() = default;
  virtual ~Stream() = default;
  Stream(const Stream&) = delete;
  Stream& operator=(const Stream&) = delete;

  virtual void close() { m_open = 0; }
  // Bytes read or written.
  virtual int32_t read(void* buffer, int32_t count) = 0;
  virtual int32_t write(const void* buffer, int32_t count) = 0;
  virtual int32_t seek(int32_t offset, int32_t origin) = 0;
  virtual int32_t tell() = 0;

  bool isOpen() const { return m_open != 0; }

  // A short count is reported; the bytes that were not read count as 0.
  int32_t readInt();
  int32_t readShort();
  int32_t readShortBE();
  int32_t readByte();
  void writeInt(int32_t v);
  void writeShort(int32_t v);
  void writeByte(int32_t v);

 protected:
  uint8_t m_open = 0;
};
