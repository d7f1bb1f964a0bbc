#include <gtest/gtest.h>

#include <cstring>
#include <numeric>
#include <vector>

#include "memory/TraceCapture.h"
#include "zul/io/BufferStream.h"

namespace {

std::vector<uint8_t> iota(int n) {
  std::vector<uint8_t> v(n);
  std::iota(v.begin(), v.end(), uint8_t{0});
  return v;
}

TEST(BufferStream, OwnedGrowth) {
  BufferStream s(2, 0, nullptr);
  EXPECT_TRUE(s.isOpen());
  EXPECT_EQ(s.getCapacity(), 1024);
  EXPECT_EQ(s.getLength(), 0);
  EXPECT_TRUE(s.usesInlineBuffer());
  const auto data = iota(1500);
  EXPECT_EQ(s.write(data.data(), 1500), 1500);
  EXPECT_EQ(s.getCapacity(), 2048);
  EXPECT_EQ(s.getLength(), 1500);
  EXPECT_FALSE(s.usesInlineBuffer());
  EXPECT_EQ(std::memcmp(s.getData(), data.data(), 1500), 0);
  s.open(3, 5000, nullptr);  // reopening keeps nothing
  EXPECT_EQ(s.getLength(), 0);
  EXPECT_EQ(s.getCapacity(), 5120);
  s.close();
  EXPECT_FALSE(s.isOpen());
  EXPECT_TRUE(s.usesInlineBuffer());
}

TEST(BufferStream, ShortReads) {
  auto data = iota(10);
  BufferStream s(1, 10, data.data());
  uint8_t out[16];
  EXPECT_EQ(s.read(out, 16), 10);
  EXPECT_EQ(s.tell(), 10);
  EXPECT_EQ(s.read(out, 16), 0);
  s.seek(0, 0);
  EXPECT_EQ(s.read(out, -3), 0);
  EXPECT_EQ(s.tell(), 0);
}

TEST(BufferStream, SeekReports) {
  auto data = iota(10);
  BufferStream s(3, 10, data.data());
  const struct {
    int32_t start, offset, origin, position, line;
  } cases[] = {
      {4, -5, 0, 0, 190}, {4, 0, 7, 4, 186}, {4, 110, 0, 4, 204}, {4, 3, 1, 7, 0},
      {4, -2, 2, 8, 0},   {4, 10, 0, 10, 0}, {4, 1, 2, 4, 204},
  };
  for (const auto& c : cases) {
    s.seek(c.start, 0);
    TraceCapture cap;
    s.seek(c.offset, c.origin);
    EXPECT_EQ(s.tell(), c.position) << c.offset << "," << c.origin;
    if (c.line) {
      EXPECT_TRUE(cap.reported(c.line, "BufferStream")) << c.offset << "," << c.origin;
    } else {
      EXPECT_EQ(cap.text, "");
    }
  }
}

TEST(BufferStream, SeekPastEndOfOwnedStreamPreparesCapacity) {
  BufferStream s(3, 0, nullptr);
  const auto data = iota(100);
  s.write(data.data(), 100);
  TraceCapture cap;
  s.seek(100 + 2000, 0);
  EXPECT_EQ(cap.text, "");
  EXPECT_EQ(s.tell(), 100);
  EXPECT_EQ(s.getLength(), 100);
  EXPECT_EQ(s.getCapacity(), 3072);
  EXPECT_EQ(std::memcmp(s.getData(), data.data(), 100), 0);
}

TEST(BufferStream, Skip) {
  auto data = iota(10);
  BufferStream s(1, 10, data.data());
  uint8_t two[2];
  s.read(two, 2);
  const uint8_t* p = s.skip(4);
  EXPECT_EQ(p, data.data() + 2);
  EXPECT_EQ(s.tell(), 6);
  {
    TraceCapture cap;
    EXPECT_EQ(s.skip(5), nullptr);  // only 4 left
    EXPECT_EQ(s.tell(), 6);
    EXPECT_EQ(s.skip(-1), nullptr);
    EXPECT_TRUE(cap.reported(218, "BufferStream"));
  }
  EXPECT_EQ(s.skip(4), data.data() + 6);
  EXPECT_EQ(s.tell(), 10);
}

TEST(BufferStream, WritePastCallersBufferIsCut) {
  std::vector<uint8_t> buffer(8, 0xEE);
  BufferStream s(2, 6, buffer.data());  // only the first 6 bytes are the stream's
  s.seek(4, 0);
  const uint8_t bytes[4] = {1, 2, 3, 4};
  TraceCapture cap;
  EXPECT_EQ(s.write(bytes, 4), 2);
  EXPECT_TRUE(cap.reported(162, "BufferStream"));
  EXPECT_EQ(s.tell(), 6);
  EXPECT_EQ(s.getLength(), 6);
  EXPECT_EQ(buffer, (std::vector<uint8_t>{0xEE, 0xEE, 0xEE, 0xEE, 1, 2, 0xEE, 0xEE}));
  EXPECT_EQ(s.write(bytes, 1), 0);
  EXPECT_EQ(s.write(bytes, -1), 0);
}

TEST(BufferStream, ModeReports) {
  auto data = iota(4);
  TraceCapture cap;
  BufferStream r(1, 4, data.data());
  r.writeByte(9);
  EXPECT_TRUE(cap.reported(149, "BufferStream"));
  BufferStream w(2, 4, data.data());
  w.readByte();
  EXPECT_TRUE(cap.reported(130, "BufferStream"));
  BufferStream owned(1, 0, nullptr);
  EXPECT_TRUE(cap.reported(84, "BufferStream"));
  BufferStream empty;
  EXPECT_FALSE(empty.isOpen());
  uint8_t b;
  EXPECT_EQ(empty.read(&b, 1), 0);
  EXPECT_EQ(empty.write(&b, 1), 0);
}

TEST(Stream, TypedReaders) {
  uint8_t bytes[] = {0x80, 0x01, 0x80, 0x01, 0x80, 0x01, 0xFF, 0x78, 0x56, 0x34, 0x12, 0xFE, 0xFF, 0xFF, 0xFF};
  BufferStream s(1, sizeof bytes, bytes);
  EXPECT_EQ(s.readShortBE(), -32767);
  EXPECT_EQ(s.readShort(), 384);
  EXPECT_EQ(s.readShort(), 384);
  EXPECT_EQ(s.readByte(), -1);
  EXPECT_EQ(s.readInt(), 0x12345678);
  EXPECT_EQ(s.readInt(), -2);
  TraceCapture cap;
  const struct {
    int (*read)(Stream&);
    int line;
  } shortReads[] = {{[](Stream& t) { return t.readInt(); }, 26},
                    {[](Stream& t) { return t.readShort(); }, 45},
                    {[](Stream& t) { return t.readShortBE(); }, 61},
                    {[](Stream& t) { return t.readByte(); }, 79}};
  for (const auto& c : shortReads) {
    cap.clear();
    EXPECT_EQ(c.read(s), 0);  // missing bytes count as 0
    EXPECT_TRUE(cap.reported(c.line, "Stream")) << c.line;
  }
  uint8_t three[] = {0x34, 0x12, 0x99};
  BufferStream t(1, 3, three);
  t.skip(1);
  EXPECT_EQ(t.readInt(), 0x9912);
}

TEST(Stream, TypedWriters) {
  BufferStream s(3, 0, nullptr);
  s.writeInt(-2);
  s.writeShort(0x12345);
  s.writeByte(0x1FF);
  EXPECT_EQ(s.getLength(), 7);
  EXPECT_EQ(std::memcmp(s.getData(), "\xFE\xFF\xFF\xFF\x45\x23\xFF", 7), 0);
  s.seek(0, 0);
  EXPECT_EQ(s.readInt(), -2);
  EXPECT_EQ(s.readShort(), 0x2345);
  EXPECT_EQ(s.readByte() & 255, 255);

  uint8_t small[3];
  BufferStream full(2, 3, small);
  TraceCapture cap;
  full.writeInt(1);
  EXPECT_TRUE(cap.reported(96, "Stream"));
  full.writeShort(1);
  EXPECT_TRUE(cap.reported(111, "Stream"));
  full.writeByte(1);
  EXPECT_TRUE(cap.reported(121, "Stream"));
}

}  // namespace
