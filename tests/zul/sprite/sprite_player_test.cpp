// SpriteAnimPlayer: frame sequences, modes, pause, parents and hit tests.
#include <gtest/gtest.h>

#include "SpriteTestUtil.h"
#include "zul/2d/SpriteAnimPlayer.h"

using namespace spritebank;
using spritetest::Screen;

namespace {

constexpr uint16_t kBg = 0x0841;

class PlayerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Bank b;
    b.modules.push_back(Module::filledRect(0xFFFF0000, 2, 2));
    b.modules.push_back(Module::filledRect(0xFF00FF00, 3, 1));
    b.frames.push_back({{{0, 0, 0, 0, 0}}});
    b.frames.push_back({{{1, 0, 0, 0, 0}}});
    b.anims.push_back({{{0, 2, 0, 0, 0}, {1, 3, 0, 0, 0}}});  // times 2, 3
    b.anims.push_back({{{1, 0, 0, 0, 0}}});                   // shown forever
    b.anims.push_back({});                                    // no frames
    bank = spritetest::loadBank(b);
    screen.fill(kBg);
  }
  // Frame numbers after each of n updates (the first entry before any).
  std::vector<int> run(SpriteAnimPlayer& p, int n) {
    std::vector<int> out{p.frame};
    for (int i = 0; i < n; ++i) {
      p.update();
      out.push_back(p.active ? p.frame : -1);
    }
    return out;
  }
  Screen screen;
  std::unique_ptr<ASprite> bank;
};

TEST_F(PlayerTest, FrameSequences) {
  struct Case {
    uint32_t flags;
    std::vector<int> frames;
  };
  const Case cases[] = {
      {0, {0, 0, 1, 1, 1, -1, -1, -1}},
      {SpriteAnimPlayer::kLoop, {0, 0, 1, 1, 1, 0, 0, 1}},
      {SpriteAnimPlayer::kHold, {0, 0, 1, 1, 1, 1, 1, 1}},
      {SpriteAnimPlayer::kHold | SpriteAnimPlayer::kLoop, {0, 0, 1, 1, 1, 0, 0, 1}},
  };
  for (const Case& c : cases) {
    SpriteAnimPlayer p(bank.get(), 0, 0, nullptr);
    p.setAnim(0);
    p.flags = c.flags;
    EXPECT_EQ(run(p, 7), c.frames) << std::hex << c.flags;
  }
}

TEST_F(PlayerTest, TimeZeroAndMissingAnimations) {
  SpriteAnimPlayer p(bank.get(), 0, 0, nullptr);
  p.setAnim(1);
  EXPECT_TRUE(p.isAnimOver());
  p.flags = SpriteAnimPlayer::kHold;
  EXPECT_EQ(run(p, 3), (std::vector<int>{0, 0, 0, 0}));
  EXPECT_EQ(p.time, 0);
  p.flags = 0;
  p.update();
  EXPECT_EQ(p.active, 0);
  // Animation -1 (after resetAnim) and a zero-frame animation do nothing.
  for (int anim : {-1, 2, 9}) {
    SpriteAnimPlayer q(bank.get(), 5, 5, nullptr);
    q.resetAnim();
    if (anim != -1) q.setAnim(anim);
    EXPECT_FALSE(q.isAnimOver());
    q.update();
    q.paint(screen.g());
    q.computeRect();
    EXPECT_EQ(q.active, 1);
    EXPECT_EQ(q.frame, 0);
    EXPECT_EQ(q.time, 0);
  }
  EXPECT_EQ(screen.at(5, 5), kBg);
  // No bank: nothing advances, no rectangle.
  SpriteAnimPlayer none(nullptr, 0, 0, nullptr);
  none.setAnim(0);
  none.update();
  none.paint(screen.g());
  EXPECT_EQ(none.computeRect()[2], 0);
}

TEST_F(PlayerTest, SetAnimDoesNotRestart) {
  SpriteAnimPlayer p(bank.get(), 0, 0, nullptr);
  p.setAnim(0);
  p.update();
  p.update();
  p.offsetX = 4;
  p.extraY = 2;
  p.setAnim(0);
  EXPECT_EQ(p.frame, 1);
  EXPECT_EQ(p.offsetX, 4);
  p.setAnim(1);
  EXPECT_EQ(p.frame, 0);
  EXPECT_EQ(p.time, 0);
  EXPECT_EQ(p.offsetX, 0);
  EXPECT_EQ(p.extraY, 0);
  EXPECT_EQ(p.getAnim(), 1);
}

TEST_F(PlayerTest, PauseHiddenAndFrozen) {
  SpriteAnimPlayer p(bank.get(), 10, 10, nullptr);
  p.setAnim(0);
  p.setPause(3);
  for (int i = 0; i < 3; ++i) {
    p.paint(screen.g());
    EXPECT_EQ(screen.at(10, 10), kBg) << i;
    p.update();
    EXPECT_EQ(p.time, 0);
  }
  EXPECT_EQ(p.pauseFrames, 0);
  p.paint(screen.g());
  EXPECT_EQ(screen.at(10, 10), 0xF800);
  p.setPosition(20, 20);
  p.flags = SpriteAnimPlayer::kFrozen;
  p.update();
  EXPECT_EQ(p.previousX, 0);
  EXPECT_EQ(p.time, 0);
  p.flags = SpriteAnimPlayer::kHidden;
  screen.fill(kBg);
  p.paint(screen.g());
  EXPECT_EQ(screen.at(20, 20), kBg);
  p.flags = 0;
  p.tick();
  EXPECT_EQ(p.previousX, 20);
  EXPECT_EQ(p.time, 1);
}

TEST_F(PlayerTest, ParentsOffsetsAndModes) {
  SpriteAnimPlayer grand(bank.get(), 10, 0, nullptr);
  SpriteAnimPlayer parent(bank.get(), 0, 5, &grand);
  SpriteAnimPlayer p(bank.get(), 1, 1, &parent);
  p.setAnim(0);
  p.offsetX = 2;
  p.offsetY = 3;
  p.paintOn(screen.g());
  EXPECT_EQ(screen.at(13, 9), 0xF800);
  EXPECT_EQ(screen.at(12, 9), kBg);
  // Module mode and frame mode.
  screen.fill(kBg);
  p.time = -1;
  p.anim = 1;
  p.paint(screen.g());
  EXPECT_EQ(screen.at(15, 9), 0x07E0);
  screen.fill(kBg);
  p.anim = -1;
  p.frame = 0;
  p.paint(screen.g());
  EXPECT_EQ(screen.at(13, 9), 0xF800);
  // The rectangle ignores parents and offsets; the screen rectangle adds parents.
  p.time = -1;
  p.anim = 1;
  int32_t* r = p.computeRect();
  EXPECT_EQ(std::vector<int32_t>(r, r + 4), (std::vector<int32_t>{1, 1, 4, 2}));
  r = p.computeScreenRect();
  EXPECT_EQ(std::vector<int32_t>(r, r + 4), (std::vector<int32_t>{11, 6, 14, 7}));
  EXPECT_TRUE(p.testScreenBits(1));
  p.setPosition(300, 0);
  p.computeScreenRect();
  EXPECT_FALSE(p.testScreenBits(15));
  // A palette that the bank lacks leaves its palette alone.
  p.setPalette(4);
  p.paint(screen.g());
  EXPECT_EQ(bank->getCurrentPalette(), 0);
}

TEST(SpriteAnimPlayerRects, OverlapAndPoint) {
  struct Case {
    std::vector<int32_t> a, b;
    bool overlap;
  };
  const Case cases[] = {
      {{0, 0, 10, 10}, {10, 10, 20, 20}, true},  {{0, 0, 10, 10}, {11, 0, 20, 10}, false},
      {{0, 0, 10, 10}, {-5, -5, -1, 5}, false},  {{0, 11, 10, 20}, {0, 0, 10, 10}, false},
      {{0, 0, 10, 9}, {0, 10, 10, 20}, false},   {{2, 2, 3, 3}, {0, 0, 10, 10}, true},
  };
  for (const Case& c : cases) EXPECT_EQ(SpriteAnimPlayer::rectsOverlap(c.a.data(), c.b.data()), c.overlap);
  const int32_t r[] = {0, 0, 10, 10};
  EXPECT_TRUE(SpriteAnimPlayer::pointInRect(10, 10, r));
  EXPECT_TRUE(SpriteAnimPlayer::pointInRect(0, 5, r));
  EXPECT_FALSE(SpriteAnimPlayer::pointInRect(11, 5, r));
  EXPECT_FALSE(SpriteAnimPlayer::pointInRect(5, -1, r));
}

}  // namespace
