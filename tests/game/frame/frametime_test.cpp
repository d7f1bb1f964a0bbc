#include <gtest/gtest.h>

#include <memory>

#include "game/Korvane/cGame/cGame.h"
#include "wince/layer.h"
#include "windows_brew/TickCount.h"

namespace {

class FrameTime : public ::testing::Test {
 protected:
  void SetUp() override {
    wince::reset();
    wince::advanceClock(1000000);  // one second of uptime before the game starts
    game = std::make_unique<cGame>(nullptr);
    game->init();
  }
  void frame(uint32_t ms) {
    wince::advanceClock(uint64_t(ms) * 1000);
    game->update(nullptr);
  }
  std::unique_ptr<cGame> game;
};

}  // namespace

TEST_F(FrameTime, FirstFrameIsMeasuredFromInit) {
  EXPECT_EQ(game->frame.lastTick, getTickCount());
  frame(40);
  EXPECT_EQ(game->frame.frameTime, 40);  // not the second of uptime before init
}

TEST_F(FrameTime, FrameTimeIsTheTickDifferenceBetweenFrameEnds) {
  game->update(nullptr);
  frame(33);
  EXPECT_EQ(game->frame.frameTime, 33);
  EXPECT_EQ(game->frame.gameClock, getTickCount() + 33);
  // Equal ticks: frame time 0 and the clock stays at the frame's start.
  game->update(nullptr);
  EXPECT_EQ(game->frame.frameTime, 0);
  EXPECT_EQ(game->frame.gameClock, getTickCount());
}

TEST_F(FrameTime, TickRunningBackwardsGivesZero) {
  game->update(nullptr);
  game->frame.lastTick = getTickCount() + 500;  // as if the counter went back
  game->update(nullptr);
  EXPECT_EQ(game->frame.frameTime, 0);
}

TEST_F(FrameTime, ResumeRestartsTheMeasure) {
  game->update(nullptr);
  game->suspend(0);
  wince::advanceClock(5000000);  // five seconds suspended
  game->resume(0);
  EXPECT_EQ(game->frame.gameClock, getTickCount());
  wince::advanceClock(20000);
  game->update(nullptr);
  EXPECT_EQ(game->frame.frameTime, 20);
}

TEST_F(FrameTime, StateEntryTimeIsTheGameClock) {
  frame(100);  // 0 -> 5 inside this frame
  EXPECT_EQ(game->states.gameState, k_stateLoadInit);
  EXPECT_EQ(game->states.stateEntryTime, getTickCount());
}
