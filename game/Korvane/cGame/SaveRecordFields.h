// Field codecs of the save file's records, big-endian, over one record
// buffer: a field that would run past the buffer's end is neither written
// nor read.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "zul/memory/TrackedNew.h"

struct RecordWriter {
  uint8_t* p;
  uint8_t* end;
  bool room(int32_t n) const { return end - p >= n; }
  void flag(uint8_t v) { byte(v ? 1 : 0); }
  void byte(int32_t v) {
    if (room(1)) *p++ = static_cast<uint8_t>(v);
  }
  void u16(uint16_t v) {
    if (!room(2)) return;
    *p++ = static_cast<uint8_t>(v >> 8);
    *p++ = static_cast<uint8_t>(v);
  }
  void u32(uint32_t v) {
    if (!room(4)) return;
    for (int s = 24; s >= 0; s -= 8) *p++ = static_cast<uint8_t>(v >> s);
  }
  // A length byte, then the bytes (at most 255 of them).
  void string(const char* s) {
    const size_t n = s ? std::min<size_t>(std::strlen(s), 255) : 0;
    if (!room(static_cast<int32_t>(n) + 1)) return;
    *p++ = static_cast<uint8_t>(n);
    if (n) std::memcpy(p, s, n);
    p += n;
  }
};

struct RecordReader {
  const uint8_t* p;
  const uint8_t* end;
  bool room(int32_t n) const { return end - p >= n; }
  uint8_t flag() { return room(1) && *p++ != 0 ? 1 : 0; }
  int32_t signedByte() { return room(1) ? static_cast<int8_t>(*p++) : 0; }
  uint16_t u16() {
    if (!room(2)) return 0;
    const uint16_t v = static_cast<uint16_t>(p[0] << 8 | p[1]);
    p += 2;
    return v;
  }
  uint32_t u32() {
    if (!room(4)) return 0;
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v = v << 8 | *p++;
    return v;
  }
  // A new buffer (delete[]) of length + 1 bytes, the last one 0; null when
  // the bytes run past the record.
  char* string() {
    if (!room(1) || !room(1 + p[0])) return nullptr;
    const int32_t n = p[0];
    char* s = new ("cGameRms", 380, nullptr) char[n + 1];
    if (!s) return nullptr;
    std::memcpy(s, p + 1, static_cast<size_t>(n));
    s[n] = 0;
    p += 1 + n;
    return s;
  }
};
