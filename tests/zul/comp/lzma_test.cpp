#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <vector>

#include "memory/TraceCapture.h"
#include "tools/lzma/LzmaWriter.h"
#include "zul/comp/Compression.h"
#include "zul/io/BufferStream.h"
#include "zul/memory/StackMemoryPool.h"

namespace {

using Bytes = std::vector<uint8_t>;

// Text-like data that packs to well over one 4096-byte input chunk.
Bytes sample(size_t n, unsigned seed = 1) {
  std::mt19937 rng(seed);
  static const char* words[] = {"cue ", "ball ", "pocket ", "rail ", "spin ", "break ", "chalk "};
  Bytes out;
  while (out.size() < n) {
    if (rng() % 3 == 0) {
      out.push_back(static_cast<uint8_t>(rng()));
    } else {
      for (const char* w = words[rng() % 7]; *w; ++w) out.push_back(static_cast<uint8_t>(*w));
    }
  }
  out.resize(n);
  return out;
}

// The game's 30,720-byte scratch pool, registered for the decoder.
struct GamePool : ::testing::Test {
  std::unique_ptr<StackMemoryPool> pool = std::make_unique<StackMemoryPool>(30720, nullptr);
  int32_t start = 0;
  void SetUp() override {
    setStackMemoryPool(pool.get());
    start = pool->getFreeSize();
  }
  void TearDown() override {
    EXPECT_EQ(pool->getFreeSize(), start);  // every path gives its blocks back
    setStackMemoryPool(nullptr);
  }
  void usePool(int32_t size) {
    pool = std::make_unique<StackMemoryPool>(size, nullptr);
    setStackMemoryPool(pool.get());
    start = pool->getFreeSize();
  }

  int32_t unpack(Bytes packed, int32_t packedSize, Bytes& out, int32_t& outSize) {
    BufferStream s(1, static_cast<int32_t>(packed.size()), packed.data());
    out.assign(static_cast<size_t>(outSize) + 8, 0xAA);
    return decompress(kCompLzma, s, packedSize, out.data(), outSize);
  }
};

TEST_F(GamePool, RoundTrips) {
  for (size_t n : {size_t{0}, size_t{1}, size_t{4096}, size_t{30000}, size_t{200000}}) {
    const Bytes data = sample(n, static_cast<unsigned>(n));
    const Bytes packed = lzmaAloneEncode(data.data(), data.size());
    ASSERT_GE(packed.size(), 13u);
    if (n >= 30000) {
      EXPECT_GT(packed.size(), 13u + 4096) << n;  // more than one input chunk
    }
    Bytes out;
    int32_t size = static_cast<int32_t>(n);
    TraceCapture cap;
    EXPECT_EQ(unpack(packed, static_cast<int32_t>(packed.size()), out, size), kCompOk) << n;
    EXPECT_EQ(cap.text, "");
    EXPECT_EQ(size, static_cast<int32_t>(n));
    EXPECT_EQ(Bytes(out.begin(), out.begin() + n), data) << n;
    EXPECT_EQ(out[n], 0xAA);
  }
}

TEST_F(GamePool, PropertyVariantsWithinThePool) {
  const Bytes data = sample(50000);
  const struct {
    int lc, lp, pb;
  } cases[] = {{0, 0, 0}, {3, 0, 2}, {0, 2, 2}, {1, 2, 0}, {2, 1, 4}};
  for (const auto& c : cases) {
    LzmaWriterOptions o;
    o.lc = c.lc;
    o.lp = c.lp;
    o.pb = c.pb;
    const Bytes packed = lzmaAloneEncode(data.data(), data.size(), o);
    Bytes out;
    int32_t size = static_cast<int32_t>(data.size());
    EXPECT_EQ(unpack(packed, static_cast<int32_t>(packed.size()), out, size), kCompOk) << c.lc << c.lp << c.pb;
    EXPECT_EQ(Bytes(out.begin(), out.begin() + size), data);
  }
}

TEST_F(GamePool, FourLiteralBitsDoNotFitThePool) {
  const Bytes data = sample(10000);
  for (auto [lc, lp] : {std::pair{4, 0}, std::pair{3, 1}, std::pair{2, 2}}) {
    LzmaWriterOptions o;
    o.lc = lc;
    o.lp = lp;
    const Bytes packed = lzmaAloneEncode(data.data(), data.size(), o);
    Bytes out;
    int32_t size = static_cast<int32_t>(data.size());
    TraceCapture cap;
    EXPECT_EQ(unpack(packed, static_cast<int32_t>(packed.size()), out, size), kCompError);
    EXPECT_TRUE(cap.reported(97, "StackMemoryPool"));
    EXPECT_EQ(size, static_cast<int32_t>(data.size()));
  }
}

TEST_F(GamePool, PoolTooSmall) {
  const Bytes data = sample(1000);
  const Bytes packed = lzmaAloneEncode(data.data(), data.size());
  for (int32_t poolSize : {1024, 4100, 12000}) {  // no input buffer; input buffer but no probabilities
    usePool(poolSize);
    Bytes out;
    int32_t size = 1000;
    TraceCapture cap;
    EXPECT_EQ(unpack(packed, static_cast<int32_t>(packed.size()), out, size), kCompError) << poolSize;
    EXPECT_EQ(pool->getFreeSize(), start);
  }
  setStackMemoryPool(nullptr);
  Bytes out;
  int32_t size = 1000;
  EXPECT_EQ(unpack(packed, static_cast<int32_t>(packed.size()), out, size), kCompError);
  setStackMemoryPool(pool.get());
}

TEST_F(GamePool, BadInput) {
  const Bytes data = sample(30000);
  const Bytes good = lzmaAloneEncode(data.data(), data.size());
  const int32_t n = static_cast<int32_t>(data.size());
  const int32_t packed = static_cast<int32_t>(good.size());
  Bytes badProps = good;
  badProps[0] = 225;
  Bytes badFirstByte = good;
  badFirstByte[13] = 1;  // the range coder's first byte is always 0
  const struct {
    const char* name;
    Bytes stream;
    int32_t packedSize;
  } cases[] = {
      {"packed size below the header", good, 12},
      {"header only", Bytes(good.begin(), good.begin() + 13), 13},
      {"three property bytes", Bytes(good.begin(), good.begin() + 3), packed},
      {"no size field", Bytes(good.begin(), good.begin() + 9), packed},
      {"bad properties", badProps, packed},
      {"bad first byte", badFirstByte, packed},
      {"packed size cut", good, packed / 2},
      {"stream shorter than packed size", Bytes(good.begin(), good.begin() + packed / 2), packed},
      {"stream cut inside the first chunk", Bytes(good.begin(), good.begin() + 100), packed},
  };
  for (const auto& c : cases) {
    Bytes out;
    int32_t size = n;
    EXPECT_EQ(unpack(c.stream, c.packedSize, out, size), kCompBadData) << c.name;
    EXPECT_EQ(pool->getFreeSize(), start) << c.name;
    EXPECT_LE(size, n);
  }
}

// Where a stream ends: at its stated size (with or without an end marker
// after it, as xz and Python write one), or at its marker when the size is
// unknown. One that ends short of its stated size, or runs past it, is not
// whole. The output size is left as given.
TEST_F(GamePool, StreamsEndAtTheirSizeWithOrWithoutAMarker) {
  const Bytes data = sample(9000);
  auto encode = [&](bool marker, bool unknown, int64_t statedSize) {
    LzmaWriterOptions o;
    o.endMarker = marker;
    o.sizeUnknown = unknown;
    Bytes packed = lzmaAloneEncode(data.data(), data.size(), o);
    if (statedSize >= 0)
      for (int i = 0; i < 8; ++i) packed[5 + i] = static_cast<uint8_t>(statedSize >> (8 * i));
    return packed;
  };
  const struct {
    const char* name;
    bool marker, unknown;
    int64_t stated;  // -1: as written
    int32_t capacity;
    int32_t result;
    bool whole, reported;
  } cases[] = {
      {"size, no marker", false, false, -1, 9000, kCompOk, true, false},
      {"size and a marker after it", true, false, -1, 9000, kCompOk, true, false},
      {"size, into a larger buffer", false, false, -1, 12000, kCompOk, true, true},
      {"size and a marker, into a larger buffer", true, false, -1, 12000, kCompOk, true, true},
      {"unknown size, marker", false, true, -1, 12000, kCompOk, true, true},
      {"unknown size, marker, exact buffer", false, true, -1, 9000, kCompOk, true, false},
      {"a marker before the stated size", true, false, 9500, 9500, kCompOk, false, true},
      {"stated size beyond the data", false, false, 9500, 9500, kCompBadData, false, true},
      {"stated size short of the data, marker", true, false, 8000, 8000, kCompBadData, false, false},
      {"stated size short of the data", false, false, 8000, 8000, kCompBadData, false, false},
  };
  for (const auto& c : cases) {
    const Bytes packed = encode(c.marker, c.unknown, c.stated);
    BufferStream in(1, static_cast<int32_t>(packed.size()), const_cast<uint8_t*>(packed.data()));
    Bytes out(static_cast<size_t>(c.capacity) + 8, 0xAA);
    int32_t size = c.capacity;
    bool whole = true;
    TraceCapture cap;
    EXPECT_EQ(decompressLzma(in, static_cast<int32_t>(packed.size()), out.data(), size, whole), c.result) << c.name;
    EXPECT_EQ(whole, c.whole) << c.name;
    EXPECT_EQ(cap.reported(114, "comp_lzma"), c.reported) << c.name;
    EXPECT_EQ(size, c.capacity) << c.name;
    EXPECT_EQ(out[static_cast<size_t>(c.capacity)], 0xAA) << c.name;
    if (c.whole) {
      EXPECT_EQ(Bytes(out.begin(), out.begin() + 9000), data) << c.name;
    }
  }
}

TEST_F(GamePool, OutputThatDoesNotFit) {
  const Bytes data = sample(9000);
  const Bytes packed = lzmaAloneEncode(data.data(), data.size());
  Bytes out;
  int32_t size = 8999;
  EXPECT_EQ(unpack(packed, static_cast<int32_t>(packed.size()), out, size), kCompBadData);
  EXPECT_EQ(out[8999], 0xAA);  // nothing past the capacity
  EXPECT_EQ(size, 8999);
}

TEST_F(GamePool, ReadsFromTheStreamPosition) {
  // A resource inside a larger stream: the decoder reads exactly packedSize bytes.
  const Bytes data = sample(20000);
  const Bytes packed = lzmaAloneEncode(data.data(), data.size());
  Bytes file(7, 0x55);
  file.insert(file.end(), packed.begin(), packed.end());
  file.insert(file.end(), {1, 2, 3});
  BufferStream s(1, static_cast<int32_t>(file.size()), file.data());
  s.seek(7, 0);
  Bytes out(data.size());
  int32_t size = static_cast<int32_t>(data.size());
  EXPECT_EQ(decompressLzma(s, static_cast<int32_t>(packed.size()), out.data(), size), kCompOk);
  EXPECT_EQ(out, data);
  EXPECT_EQ(s.tell(), static_cast<int32_t>(7 + packed.size()));
}

TEST(Compression, Methods) {
  Bytes src = {1, 2, 3, 4, 5};
  BufferStream s(1, 5, src.data());
  Bytes out(8, 0xAA);
  int32_t size = 8;
  EXPECT_EQ(decompress(7, s, 5, out.data(), size), kCompUnknownMethod);
  EXPECT_EQ(size, 8);
  EXPECT_EQ(out, Bytes(8, 0xAA));
  TraceCapture cap;
  EXPECT_EQ(decompress(kCompZlib, s, 5, out.data(), size), kCompOk);
  EXPECT_TRUE(cap.reported(35, "comp_zlib"));
  EXPECT_EQ(size, 8);
  EXPECT_EQ(out, Bytes(8, 0xAA));
  EXPECT_EQ(s.tell(), 0);
}

TEST(Compression, Stored) {
  Bytes src = {1, 2, 3, 4, 5};
  const struct {
    int32_t streamBytes, packed, capacity, result, size;
  } cases[] = {
      {5, 5, 5, kCompOk, 5},   {5, 5, 4, kCompOutputTooSmall, 4}, {3, 5, 5, kCompBadData, 5},
      {5, 0, 0, kCompOk, 0},   {5, -1, 5, kCompBadData, 5},
  };
  for (const auto& c : cases) {
    BufferStream s(1, c.streamBytes, src.data());
    Bytes out(8, 0);
    int32_t size = c.capacity;
    EXPECT_EQ(decompress(kCompStored, s, c.packed, out.data(), size), c.result) << c.packed << "," << c.capacity;
    EXPECT_EQ(size, c.size);
    int32_t size2 = c.capacity;
    const int32_t memResult = decompressStored(src.data(), c.packed, out.data(), size2);
    if (c.streamBytes == c.packed) {
      EXPECT_EQ(memResult, c.result);
    }
    if (c.result == kCompOk) {
      EXPECT_EQ(Bytes(out.begin(), out.begin() + c.packed), Bytes(src.begin(), src.begin() + c.packed));
    }
  }
}

TEST(Compression, UnpackedSize) {
  const Bytes data = sample(5000);
  Bytes packed = lzmaAloneEncode(data.data(), data.size());
  BufferStream s(1, static_cast<int32_t>(packed.size()), packed.data());
  s.seek(20, 0);
  EXPECT_EQ(unpackedSize(kCompLzma, s, 99), 5000);
  EXPECT_EQ(s.tell(), 20);
  EXPECT_EQ(unpackedSize(kCompStored, s, 99), 99);
  EXPECT_EQ(unpackedSize(kCompZlib, s, 99), 0);
  EXPECT_EQ(unpackedSize(9, s, 99), 0);

  LzmaWriterOptions marker;
  marker.sizeUnknown = true;
  Bytes unknown = lzmaAloneEncode(data.data(), data.size(), marker);
  BufferStream u(1, static_cast<int32_t>(unknown.size()), unknown.data());
  EXPECT_EQ(unpackedSize(kCompLzma, u, 0), -1);
  packed[9] = 1;  // 4 GiB and more
  EXPECT_EQ(unpackedSize(kCompLzma, s, 0), -1);
  Bytes shortHeader(packed.begin(), packed.begin() + 10);
  BufferStream h(1, 10, shortHeader.data());
  EXPECT_EQ(unpackedSize(kCompLzma, h, 0), -1);
}

}  // namespace
