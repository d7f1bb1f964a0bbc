#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "memory/TraceCapture.h"
#include "zul/memory/StackMemoryPool.h"

namespace {

int32_t header(void* p) {
  int32_t v;
  std::memcpy(&v, static_cast<uint8_t*>(p) - 4, 4);
  return v;
}

struct Pool64 : ::testing::Test {
  alignas(4) uint8_t buffer[64];
  StackMemoryPool pool{64, buffer};
};

TEST_F(Pool64, BottomLayout) {
  EXPECT_EQ(pool.getFreeSize(), 60);
  void* a = pool.alloc(5, 0);
  EXPECT_EQ(a, buffer + 4);
  EXPECT_EQ(header(a), 8);
  EXPECT_EQ(pool.getFreeSize(), 48);  // the bottom top is at base + 12
  EXPECT_EQ(pool.alloc(4, 0), buffer + 16);
  EXPECT_EQ(pool.getBlockSize(a), 8);
  EXPECT_EQ(pool.getSize(), 64);
}

TEST_F(Pool64, TopLayout) {
  void* t = pool.alloc(0, 1);
  EXPECT_EQ(t, buffer + 60);
  EXPECT_EQ(header(t), 4);
  void* u = pool.alloc(9, 1);
  EXPECT_EQ(u, buffer + 60 - 4 - 12);
  EXPECT_EQ(pool.getFreeSize(), 64 - 8 - 16 - 4);
  pool.free(u);
  pool.free(t);
  EXPECT_EQ(pool.getFreeSize(), 60);
}

TEST_F(Pool64, Contains) {
  EXPECT_FALSE(pool.contains(buffer));
  EXPECT_TRUE(pool.contains(buffer + 4));
  EXPECT_TRUE(pool.contains(buffer + 63));
  EXPECT_FALSE(pool.contains(buffer + 64));
}

TEST_F(Pool64, FillingBothSidesExactly) {
  void* a = pool.alloc(24, 0);  // 28 bytes with its header
  void* b = pool.alloc(32, 1);  // 36 bytes: the pool is full
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(pool.getFreeSize(), -4);
  TraceCapture cap;
  EXPECT_EQ(pool.alloc(0, 0), nullptr);
  EXPECT_TRUE(cap.reported(97, "StackMemoryPool"));
  pool.free(b);
  pool.free(a);
  EXPECT_EQ(pool.getFreeSize(), 60);
}

TEST_F(Pool64, CrossingRequestIsRefused) {
  void* a = pool.alloc(20, 0);
  const int32_t before = pool.getFreeSize();
  for (int fromTop : {0, 1}) {
    TraceCapture cap;
    EXPECT_EQ(pool.alloc(before + 1, fromTop), nullptr);
    EXPECT_TRUE(cap.reported(97, "StackMemoryPool"));
    EXPECT_EQ(pool.getFreeSize(), before);
    EXPECT_EQ(pool.alloc(-8, fromTop), nullptr);
    EXPECT_EQ(pool.alloc(INT32_MAX, fromTop), nullptr);
  }
  // What is left still fits exactly.
  void* b = pool.alloc(before, 1);
  EXPECT_NE(b, nullptr);
  EXPECT_GE(static_cast<uint8_t*>(b), static_cast<uint8_t*>(a) + 20);
  pool.free(b);
  pool.free(a);
  EXPECT_EQ(pool.getFreeSize(), 60);
}

TEST_F(Pool64, FreeInWrongOrderIsReportedAndIgnored) {
  void* a = pool.alloc(4, 0);
  void* b = pool.alloc(4, 0);
  const int32_t full = pool.getFreeSize();
  {
    TraceCapture cap;
    pool.free(a);  // not the last one
    EXPECT_TRUE(cap.reported(116, "StackMemoryPool"));
    EXPECT_EQ(pool.getFreeSize(), full);
  }
  void* t1 = pool.alloc(4, 1);
  void* t2 = pool.alloc(4, 1);
  {
    TraceCapture cap;
    pool.free(t1);
    EXPECT_TRUE(cap.reported(122, "StackMemoryPool"));
  }
  pool.free(t2);
  pool.free(t1);
  pool.free(b);
  pool.free(a);
  EXPECT_EQ(pool.getFreeSize(), 60);
  {
    TraceCapture cap;
    pool.free(a);  // twice
    EXPECT_TRUE(cap.reported(122, "StackMemoryPool"));
    EXPECT_EQ(pool.getFreeSize(), 60);
  }
}

TEST_F(Pool64, ForeignPointer) {
  int outside = 0;
  void* a = pool.alloc(8, 0);
  TraceCapture cap;
  EXPECT_EQ(pool.getBlockSize(&outside), 0);
  EXPECT_TRUE(cap.reported(171, "StackMemoryPool"));
  cap.clear();
  pool.free(&outside);
  EXPECT_TRUE(cap.reported(171, "StackMemoryPool"));
  pool.free(buffer + 2);  // its header would lie before the buffer
  EXPECT_EQ(pool.getFreeSize(), 60 - 12);
  EXPECT_EQ(pool.getBlockSize(nullptr), 0);
  pool.free(nullptr);
  pool.free(a);
  EXPECT_EQ(pool.getFreeSize(), 60);
}

TEST_F(Pool64, RewindAndReset) {
  pool.alloc(4, 0);
  uint8_t* mark = static_cast<uint8_t*>(pool.alloc(4, 0)) - 4;
  pool.alloc(12, 0);
  pool.rewind(mark);
  EXPECT_EQ(pool.getFreeSize(), 60 - 8);
  uint8_t* top = static_cast<uint8_t*>(pool.alloc(4, 1));
  pool.alloc(4, 1);
  pool.rewind(top - 4);  // gives back the second top block
  EXPECT_EQ(pool.getFreeSize(), 60 - 16);
  {
    TraceCapture cap;
    pool.rewind(buffer + 64);  // the end itself: reported, the top side is emptied
    EXPECT_TRUE(cap.reported(204, "StackMemoryPool"));
    EXPECT_EQ(pool.getFreeSize(), 60 - 8);
    pool.rewind(buffer + 65);  // outside: ignored
    pool.rewind(buffer - 1);
    EXPECT_TRUE(cap.reported(199, "StackMemoryPool"));
    EXPECT_EQ(pool.getFreeSize(), 60 - 8);
  }
  {
    TraceCapture cap;
    pool.rewind(buffer + 30);  // between the tops
    EXPECT_TRUE(cap.reported(209, "StackMemoryPool"));
    EXPECT_EQ(pool.getFreeSize(), 60 - 8);
  }
  pool.alloc(4, 1);
  pool.reset(1);
  pool.reset(0);
  pool.reset(5);
  EXPECT_EQ(pool.getFreeSize(), 60);
}

TEST(StackMemoryPool, OwnedBufferAndInit) {
  StackMemoryPool owned(30720, nullptr);
  EXPECT_EQ(owned.getFreeSize(), 30716);
  void* p = owned.alloc(4096, 0);
  EXPECT_TRUE(owned.contains(p));
  owned.free(p);

  StackMemoryPool later;
  EXPECT_EQ(later.getFreeSize(), -4);
  EXPECT_EQ(later.alloc(4, 0), nullptr);
  later.init(128);
  EXPECT_EQ(later.getFreeSize(), 124);
  TraceCapture cap;
  later.init(256);  // already has a buffer
  EXPECT_TRUE(cap.reported(59, "StackMemoryPool"));
  EXPECT_EQ(later.getSize(), 128);
  StackMemoryPool bad(0, nullptr);
  EXPECT_TRUE(cap.reported(17, "StackMemoryPool"));
  EXPECT_EQ(bad.alloc(1, 0), nullptr);
}

TEST(StackMemoryPool, GamePoolHelpers) {
  setStackMemoryPool(nullptr);
  EXPECT_EQ(stackPoolAlloc(16), nullptr);
  stackPoolFree(nullptr);
  StackMemoryPool pool(256, nullptr);
  setStackMemoryPool(&pool);
  void* a = stackPoolAlloc(16);
  void* b = stackPoolAlloc(16);
  EXPECT_EQ(static_cast<uint8_t*>(b), static_cast<uint8_t*>(a) + 20);
  stackPoolFree(b);
  stackPoolFree(a);
  EXPECT_EQ(pool.getFreeSize(), 252);
  setStackMemoryPool(nullptr);
}

}  // namespace
