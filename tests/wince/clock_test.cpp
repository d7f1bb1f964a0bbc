// The headless virtual clock.
#include "test_util.h"
#include "wince/src/backend.h"

using namespace wince_test;

namespace {

class Clock : public LayerTest {};

TEST_F(Clock, StartsAtZeroAndSleepAdvancesIt) {
  LARGE_INTEGER f, c;
  ASSERT_TRUE(QueryPerformanceFrequency(&f));
  EXPECT_EQ(f.QuadPart, 1000000);
  QueryPerformanceCounter(&c);
  EXPECT_EQ(c.QuadPart, 0);
  EXPECT_EQ(GetTickCount(), 0u);
  Sleep(250);
  EXPECT_EQ(GetTickCount(), 250u);
  QueryPerformanceCounter(&c);
  EXPECT_EQ(c.QuadPart, 250000);
}

TEST_F(Clock, EachEmptyPollAddsTheQuantum) {
  MSG msg;
  LARGE_INTEGER c;
  for (int i = 1; i <= 3; ++i) {
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    QueryPerformanceCounter(&c);
    EXPECT_EQ(c.QuadPart, 33334 * i);
  }
  // A taken message does not move the clock.
  PostMessageW(nullptr, WM_USER, 0, 0);
  EXPECT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
  QueryPerformanceCounter(&c);
  EXPECT_EQ(c.QuadPart, 3 * 33334);
  wince::setPollQuantum(1000);
  PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE);
  QueryPerformanceCounter(&c);
  EXPECT_EQ(c.QuadPart, 3 * 33334 + 1000);
}

TEST_F(Clock, PacedLoopRunsAFramePerPoll) {
  // The 30-per-second pacing test of a frame loop: frequency / delta <= 30.
  LARGE_INTEGER f, now, last{};
  QueryPerformanceFrequency(&f);
  MSG msg;
  int frames = 0;
  for (int turn = 0; turn < 90; ++turn) {
    if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) continue;
    QueryPerformanceCounter(&now);
    double rate = now.QuadPart == last.QuadPart ? 31.0 : double(f.QuadPart) / double(now.QuadPart - last.QuadPart);
    if (rate <= 30.0) {
      ++frames;
      QueryPerformanceCounter(&last);
    }
  }
  EXPECT_EQ(frames, 90);
  EXPECT_EQ(GetTickCount(), 90u * 33334u / 1000u);
}

TEST_F(Clock, SystemTimeFollowsTheVirtualClock) {
  SYSTEMTIME t;
  GetSystemTime(&t);
  EXPECT_EQ(t.wYear, 2026);
  EXPECT_EQ(t.wMonth, 1);
  EXPECT_EQ(t.wDay, 1);
  EXPECT_EQ(t.wDayOfWeek, 4);  // a Thursday
  EXPECT_EQ(t.wHour, 0);
  Sleep(((23 * 60 + 59) * 60 + 59) * 1000 + 999);
  GetSystemTime(&t);
  EXPECT_EQ(t.wDay, 1);
  EXPECT_EQ(t.wHour, 23);
  EXPECT_EQ(t.wMinute, 59);
  EXPECT_EQ(t.wSecond, 59);
  EXPECT_EQ(t.wMilliseconds, 999);
  Sleep(1);
  GetSystemTime(&t);
  EXPECT_EQ(t.wDay, 2);
  EXPECT_EQ(t.wDayOfWeek, 5);
  EXPECT_EQ(t.wHour, 0);
  wince::setSystemTimeBase(SYSTEMTIME{2024, 2, 0, 28, 23, 59, 59, 0});
  GetSystemTime(&t);  // base + one day: the leap day
  EXPECT_EQ(t.wMonth, 2);
  EXPECT_EQ(t.wDay, 29);
  EXPECT_EQ(t.wHour, 23);
  EXPECT_EQ(t.wSecond, 59);
  Sleep(1000);
  GetSystemTime(&t);
  EXPECT_EQ(t.wMonth, 3);
  EXPECT_EQ(t.wDay, 1);
  EXPECT_EQ(t.wHour, 0);
}

TEST_F(Clock, ListenersSeeEveryAdvance) {
  std::vector<uint64_t> seen;
  int id = wince::addClockListener(
      [](uint64_t now, void* user) { static_cast<std::vector<uint64_t>*>(user)->push_back(now); }, &seen);
  Sleep(5);
  MSG msg;
  PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE);
  wince::removeClockListener(id);
  Sleep(5);
  EXPECT_EQ(seen, (std::vector<uint64_t>{5000, 5000 + 33334}));
}

}  // namespace
