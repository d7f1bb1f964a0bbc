#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "memory/TraceCapture.h"
#include "tools/lzma/LzmaWriter.h"
#include "zul/comp/Compression.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes encode(const Bytes& in, int32_t capacity, int32_t& result) {
  Bytes out(capacity > 0 ? capacity : 1);
  int32_t size = capacity;
  result = rleEncode(in.data(), static_cast<int32_t>(in.size()), out.data(), size);
  out.resize(result == kCompOk ? size : 0);
  return out;
}

TEST(Rle, EncodeCases) {
  const Bytes distinct = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
  Bytes with10 = {0xFF - 9};  // -10
  with10.insert(with10.end(), distinct.begin(), distinct.end());
  const struct {
    Bytes in;
    int32_t capacity;
    int32_t result;
    Bytes out;
  } cases[] = {
      {{0x61, 0x61, 0x61, 0x61, 0x62}, 100, kCompOk, {4, 0x61, 0xFF, 0x62}},
      {Bytes(300, 7), 100, kCompOk, {127, 7, 127, 7, 46, 7}},
      {distinct, 11, kCompOutputTooSmall, {}},
      {distinct, 12, kCompOk, with10},
      {{1, 2, 2, 2, 3, 3}, 100, kCompOk, {0xFF, 1, 3, 2, 0xFE, 3, 3}},
      {{5, 5}, 100, kCompOk, {0xFE, 5, 5}},
      {{}, 1, kCompOk, {}},
      {{9, 9, 9}, 2, kCompOutputTooSmall, {}},
      {{9, 9, 9}, 3, kCompOk, {3, 9}},
  };
  for (const auto& c : cases) {
    TraceCapture cap;
    int32_t result;
    EXPECT_EQ(encode(c.in, c.capacity, result), c.out) << c.in.size();
    EXPECT_EQ(result, c.result) << c.in.size();
    EXPECT_TRUE(cap.reported(50, "comp_rle"));
  }
  // Result 2 leaves outSize as it was.
  Bytes out(11);
  int32_t size = 11;
  EXPECT_EQ(rleEncode(distinct.data(), 10, out.data(), size), kCompOutputTooSmall);
  EXPECT_EQ(size, 11);
}

TEST(Rle, DecodeCases) {
  const struct {
    Bytes in;
    int32_t capacity;
    int32_t result;
    Bytes out;
    bool cut;
  } cases[] = {
      {{4, 0x61, 0xFF, 0x62}, 10, kCompOk, {0x61, 0x61, 0x61, 0x61, 0x62}, false},
      {{0}, 10, kCompBadData, {}, false},
      {{2, 1, 0, 5}, 10, kCompBadData, {}, false},
      {{0xFD, 1, 2}, 10, kCompOk, {1, 2}, true},   // literal block cut short
      {{2, 1, 5}, 10, kCompOk, {1, 1}, true},      // run block without its byte
      {{5, 1}, 4, kCompOutputTooSmall, {}, false},
      {{0xFE, 1, 2}, 1, kCompOutputTooSmall, {}, false},
      {{}, 0, kCompOk, {}, false},
  };
  for (const auto& c : cases) {
    TraceCapture cap;
    Bytes out(c.capacity + 4, 0xAA);  // guard bytes behind the capacity
    int32_t size = c.capacity;
    EXPECT_EQ(rleDecode(c.in.data(), static_cast<int32_t>(c.in.size()), out.data(), size), c.result);
    EXPECT_TRUE(cap.reported(110, "comp_rle"));
    EXPECT_EQ(cap.reported(141, "comp_rle"), c.cut);
    for (int i = c.capacity; i < c.capacity + 4; ++i) EXPECT_EQ(out[i], 0xAA);
    if (c.result == kCompOk) {
      ASSERT_EQ(size, static_cast<int32_t>(c.out.size()));
      EXPECT_EQ(Bytes(out.begin(), out.begin() + size), c.out);
    } else {
      EXPECT_EQ(size, c.capacity);
    }
  }
}

TEST(Rle, WriterMatchesEncoderAndRoundTrips) {
  std::mt19937 rng(7);
  for (int n : {1, 2, 3, 126, 127, 128, 254, 255, 1000, 5000}) {
    Bytes data(n);
    for (auto& b : data) b = (rng() % 4 == 0) ? static_cast<uint8_t>(rng()) : 0x20;
    const Bytes blocks = rleEncodeBlocks(data.data(), data.size());
    TraceCapture cap;
    int32_t result;
    EXPECT_EQ(encode(data, n * 2 + 2, result), blocks) << n;
    Bytes back(n);
    int32_t size = n;
    EXPECT_EQ(rleDecode(blocks.data(), static_cast<int32_t>(blocks.size()), back.data(), size), kCompOk);
    EXPECT_EQ(size, n);
    EXPECT_EQ(back, data) << n;
    EXPECT_FALSE(cap.reported(141, "comp_rle"));
  }
}

}  // namespace
