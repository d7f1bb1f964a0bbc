#include "zul/io/Stream.h"

#include "zul/memory/Debug.h"

namespace {
constexpr const char* kSource = "Stream";
}

int32_t Stream::readInt() {
  uint8_t b[4] = {};
  KV_CHECK(read(b, 4) == 4, 26, kSource);
  return static_cast<int32_t>(b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<uint32_t>(b[3]) << 24));
}

int32_t Stream::readShort() {
  uint8_t b[2] = {};
  KV_CHECK(read(b, 2) == 2, 45, kSource);
  return static_cast<int16_t>(b[0] | (b[1] << 8));
}

int32_t Stream::readShortBE() {
  uint8_t b[2] = {};
  KV_CHECK(read(b, 2) == 2, 61, kSource);
  return static_cast<int16_t>((b[0] << 8) | b[1]);
}

int32_t Stream::readByte() {
  uint8_t b[1] = {};
  KV_CHECK(read(b, 1) == 1, 79, kSource);
  return static_cast<int8_t>(b[0]);
}

void Stream::writeInt(int32_t v) {
  const uint32_t u = static_cast<uint32_t>(v);
  const uint8_t b[4] = {static_cast<uint8_t>(u), static_cast<uint8_t>(u >> 8), static_cast<uint8_t>(u >> 16),
                        static_cast<uint8_t>(u >> 24)};
  KV_CHECK(write(b, 4) == 4, 96, kSource);
}

void Stream::writeShort(int32_t v) {
  const uint32_t u = static_cast<uint32_t>(v);
  const uint8_t b[2] = {static_cast<uint8_t>(u), static_cast<uint8_t>(u >> 8)};
  KV_CHECK(write(b, 2) == 2, 111, kSource);
}

void Stream::writeByte(int32_t v) {
  const uint8_t b[1] = {static_cast<uint8_t>(v)};
  KV_CHECK(write(b, 1) == 1, 121, kSource);
}
