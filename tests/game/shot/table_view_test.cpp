// The table view's paints on small banks and surfaces: shadows, trails, the
// rotated frame, the aim guide's cache and ends, the ball frame and the skip.
#include <cmath>
#include <memory>

#include "tests/game/effects/EffectsFixture.h"
#include "tests/game/shot/ShotFixture.h"
#include "tests/zul/sprite/SpriteTestUtil.h"
#include "game/Korvane/cGame/cGameDataIds.h"
#include "zul/2d/SpriteBankFormat.h"

namespace {

using namespace shottest;

// A bank of one w x h module of distinct opaque colours, frame 0 showing it
// with its hotspot at (hx, hy), and animation 0 holding frame 0.
std::unique_ptr<ASprite> solidBank(int w, int h, int hx = 0, int hy = 0) {
  spritebank::Bank b;
  std::vector<uint8_t> px(static_cast<size_t>(w) * h);
  for (size_t i = 0; i < px.size(); ++i) px[i] = static_cast<uint8_t>(1 + i % 200);
  b.modules.push_back(spritebank::Module::image(w, h, px));
  std::vector<uint32_t> pal{0x00FF00FF};
  for (int i = 1; i <= 200; ++i)
    pal.push_back(0xFF000000u | static_cast<uint32_t>((i * 37) % 256) << 16 | static_cast<uint32_t>((i * 91) % 256) << 8 |
                  static_cast<uint32_t>(40 + (i * 13) % 200));
  b.palettes.push_back(pal);
  b.frames.push_back({{{0, -hx, -hy, 0, 0}}});
  b.anims.push_back({{{0, 0, 0, 0, 0}}});
  b.encoding = spritebank::kEnc8Bit;
  b.flags = b.minimalFlags();
  auto s = spritetest::loadBank(b);
  return s;
}

class ViewTest : public ShotTest {
 protected:
  void SetUp() override {
    ShotTest::SetUp();
    game->world.originX = 67;
    game->world.originY = 0;
  }
  void TearDown() override {
    for (ASprite*& b : game->loading.matchBanks) b = nullptr;  // the tests own them
    ShotTest::TearDown();
  }
};

TEST_F(ViewTest, ShadowsLeanAwayFromTheTableMiddle) {
  auto dot = solidBank(1, 1);
  game->loading.matchBanks[k_matchBankShadow] = dot.get();
  struct Case {
    double x, y;
    int airTime, airPhase;
    int shift;  // of the jumping cue ball
  } cases[] = {
      {140, -260, 0, 0, 0}, {30, -40, 0, 0, 0},     {84.5, -151, 0, 0, 0}, {120, -60, 0, 0, 0},
      {110, -260, 150, 100, 15}, {60, -40, 150, 100, -15}, {110, -260, 300, 100, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.x << "," << c.y << " air " << c.airTime);
    clearBalls();
    put(0, c.x, c.y);
    ball(0)->airTime = c.airTime;
    ball(0)->airPhase = c.airPhase;
    Surface s(240, 320);
    paintTableBalls(*game, s.g());
    const double X = q(c.x), Y = -q(c.y);
    const int wantX = static_cast<int>(std::floor((X + std::trunc((X - 0x152000) / 18)) / 16384)) + 67 + c.shift;
    const int wantY = static_cast<int>(std::floor((Y + std::trunc((Y - 0x25c000) / 30)) / 16384));
    EXPECT_EQ(s.countNonZero(), 1);
    EXPECT_NE(s.at(wantX, wantY), 0);
    const int ballX = static_cast<int>(std::floor(c.x)) + 67, ballY = static_cast<int>(std::floor(-c.y));
    if (c.airTime == 0) {
      if (c.x > 84.5) {
        EXPECT_GE(wantX, ballX);
      } else {
        EXPECT_LE(wantX, ballX);
      }
      if (-c.y > 151) {
        EXPECT_GE(wantY, ballY);
      } else {
        EXPECT_LE(wantY, ballY);
      }
    }
  }
}

TEST_F(ViewTest, FastBallsTrailAtMostTwentyTwoPixels) {
  auto bank = solidBank(3, 3, 1, 1);
  game->states.gameState = k_stateBallsMoving;
  struct Case {
    int ball;
    Q14 speed;
    int dx;
    int wantBehind;  // lit pixels left of the ball's own 3 x 3
  } cases[] = {
      // n = 4 and below: no trail. The faintest copy (alpha below 2 %) does
      // not show on black.
      {3, 16000, 10, 0}, {3, 16001, 2, 0}, {3, 16001, 3, 2}, {3, 90000, 8, 12}, {3, 90000, 40, 20},
      {0, 90000, 6, 16},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.ball << " speed " << c.speed << " dx " << c.dx);
    clearBalls();
    put(c.ball, 100, -150);
    PhysicalObject* b = ball(c.ball);
    delete b->animPlayer;
    auto* look = new cGameSpriteLook(bank.get());
    look->player.setAnim(0);
    look->player.flags |= SpriteAnimPlayer::kLoop;
    b->animPlayer = look;
    b->speed = c.speed;
    b->direction.set(q(1), 0);
    b->update(game->world);
    look->player.previousX = look->player.x - c.dx;
    look->player.previousY = look->player.y;
    Surface s(240, 320);
    paintBall(*game, s.g(), b);
    int least = 240, most = -1;
    for (int y = 0; y < 320; ++y)
      for (int x = 0; x < 240; ++x)
        if (s.at(x, y)) least = std::min(least, x), most = std::max(most, x);
    const int x = look->player.x;
    EXPECT_EQ(most, x + 1);
    EXPECT_EQ(x - 1 - least, c.wantBehind);
    EXPECT_LE(x - 1 - least, 22);
    EXPECT_EQ(bank->effectMode, 0);
  }
}

TEST_F(ViewTest, RotatedFrameUprightIsTheModuleAndTooLargeIsRefused) {
  auto bank = solidBank(6, 4);
  bank->effectMode = 6;
  bank->buildCacheImages(0, 0, -1, -1);
  ASSERT_EQ(bank->rawCache.size(), 1u);
  const std::vector<uint32_t>& src = bank->rawCache[0][0];
  // Each source pixel as the drawing context writes it.
  auto written = [](uint32_t argb) {
    Surface one(1, 1);
    one.g()->drawRGB(&argb, 0, 1, 0, 0, 1, 1, true);
    return one.at(0, 0);
  };
  struct Case {
    Q14 angle;
    bool flipped;
  } cases[] = {{0x168000, false}, {0x438000, true}};  // 90 and 270 degrees
  for (const Case& c : cases) {
    Surface s(40, 40);
    ASSERT_TRUE(paintRotatedFrame(*game, s.g(), bank.get(), 0, 20, 20, c.angle, false));
    // Centred: the 6 x 4 box starts at (17, 18). The bilinear blend needs a
    // neighbour, so one edge row and column stay clear.
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 6; ++x) {
        const int sx = c.flipped ? 5 - x : x, sy = c.flipped ? 3 - y : y;
        const bool inside = c.flipped ? (x >= 1 && y >= 1) : (x <= 4 && y <= 2);
        const uint16_t want = inside ? written(src[static_cast<size_t>(sy) * 6 + sx]) : 0;
        EXPECT_EQ(s.at(17 + x, 18 + y), want) << x << "," << y << " " << c.angle;
      }
    EXPECT_EQ(s.countNonZero(), 15);
  }
  // A 32 x 256 module turned by 45 degrees needs a 204 x 204 box: refused.
  auto tall = solidBank(32, 256);
  tall->effectMode = 6;
  tall->buildCacheImages(0, 0, -1, -1);
  Surface s(240, 320);
  EXPECT_FALSE(paintRotatedFrame(*game, s.g(), tall.get(), 0, 120, 160, 0xb4000, false));
  EXPECT_EQ(s.countNonZero(), 0);
  EXPECT_TRUE(paintRotatedFrame(*game, s.g(), tall.get(), 0, 120, 160, 0x168000, false));
  EXPECT_GT(s.countNonZero(), 7000);
}

TEST_F(ViewTest, AnchoredCueLiesBehindThePoint) {
  auto bank = solidBank(4, 40);
  bank->effectMode = 6;
  bank->buildCacheImages(0, 0, -1, -1);
  struct Case {
    Q14 angle;
    int dx, dy;  // where the picture lies from the point
  } cases[] = {{0, -1, 0}, {0x168000, 0, 1}, {0x2d0000, 1, 0}, {-0x168000, 0, -1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.angle);
    Surface s(120, 120);
    ASSERT_TRUE(paintRotatedFrame(*game, s.g(), bank.get(), 0, 60, 60, c.angle, true));
    long sx = 0, sy = 0, n = 0;
    for (int y = 0; y < 120; ++y)
      for (int x = 0; x < 120; ++x)
        if (s.at(x, y)) sx += x - 60, sy += y - 60, ++n;
    ASSERT_GT(n, 60);
    EXPECT_NEAR(static_cast<double>(sx) / n, c.dx * 20.0, 3.0);
    EXPECT_NEAR(static_cast<double>(sy) / n, c.dy * 20.0, 3.0);
  }
}

TEST_F(ViewTest, UnchangedAimRunsNoPreview) {
  put(0, 85, -240);
  put(1, 85, -100);
  shot().aim.set(0, q(1));
  shot().aimChanged = 1;
  Surface s(240, 320);
  paintAimGuide(*game, s.g());
  EXPECT_EQ(game->table.guide.previewRuns, 1);
  EXPECT_EQ(game->table.guide.objectBall, 1);
  const std::vector<uint16_t> first = s.px;
  for (int i = 0; i < 5; ++i) {
    Surface again(240, 320);
    paintAimGuide(*game, again.g());
    EXPECT_EQ(again.px, first);
  }
  EXPECT_EQ(game->table.guide.previewRuns, 1);
  rotateAim(*game, 0);
  paintAimGuide(*game, s.g());
  EXPECT_EQ(game->table.guide.previewRuns, 2);
  moveEnglishPoint(*game, 0, q(1));
  paintAimGuide(*game, s.g());
  EXPECT_EQ(game->table.guide.previewRuns, 3);
  // With masse the curve is worked out every frame.
  shot().masse = 1;
  paintAimGuide(*game, s.g());
  paintAimGuide(*game, s.g());
  EXPECT_EQ(game->table.guide.previewRuns, 5);
}

TEST_F(ViewTest, GuideEndsAtAPocketWithoutAGhostBall) {
  put(0, 40, -43);
  shot().aim.set(-q(1), q(1));  // straight at the top-left pocket's middle
  shot().aimChanged = 1;
  Surface s(240, 320);
  paintAimGuide(*game, s.g());
  const auto& guide = game->table.guide;
  EXPECT_EQ(guide.firstContactType, static_cast<uint32_t>(PhysicalObject::kPocket));
  EXPECT_EQ(guide.hasContact, 0);
  EXPECT_EQ(ball(0)->shadow->speed, 0);
  for (auto [dx, dy] : {std::pair{4, 0}, {-4, 0}, {0, 4}, {0, -4}})
    EXPECT_EQ(s.at(guide.ghostX + dx, guide.ghostY + dy), 0) << dx << "," << dy;

  // A ball first: the ghost ball's ring is drawn.
  put(0, 85, -240);
  put(1, 85, -100);
  shot().aim.set(0, q(1));
  shot().aimChanged = 1;
  Surface t(240, 320);
  paintAimGuide(*game, t.g());
  EXPECT_EQ(guide.hasContact, 1);
  EXPECT_EQ(t.at(guide.ghostX, guide.ghostY - 4), 0xFFFF);
  // The ghost ball touches ball 1 from below, nudged one pixel towards the cue ball.
  EXPECT_EQ(guide.ghostX, 152);
  EXPECT_GE(guide.ghostY, 100 + 8);
  EXPECT_LE(guide.ghostY, 100 + 11);
}

TEST_F(ViewTest, ZeroAimDrawsNoGuide) {
  put(0, 85, -240);
  shot().aim.set(0, 0);
  shot().aimChanged = 1;
  Surface s(240, 320);
  paintAimGuide(*game, s.g());
  EXPECT_EQ(s.countNonZero(), 0);
  EXPECT_EQ(game->table.guide.pointWords, 0);
  EXPECT_EQ(shot().aimChanged, 0);
}

TEST_F(ViewTest, BallFrameMarksBallsOffTheTable) {
  put(0, 85, -240);
  put(3, 200, -100);  // off the table
  put(4, 168, -100);  // its disc still touches the play area
  EXPECT_TRUE(updateBalls(*game));
  EXPECT_EQ(ball(3)->offTable, 1);
  EXPECT_EQ(ball(3)->pocketed, 1);
  EXPECT_EQ(ball(4)->pocketed, 0);
  EXPECT_EQ(ball(0)->frame, PhysicalObject::kRestFrame);
  // The shadows: pocketed only.
  copyBallsToShadows(*game);
  ball(3)->shadow->pocketed = 0;
  ball(3)->shadow->offTable = 0;
  EXPECT_TRUE(updateShadowBalls(*game));
  EXPECT_EQ(ball(3)->shadow->pocketed, 1);
  EXPECT_EQ(ball(3)->shadow->offTable, 0);
  // A moving ball: not at rest.
  put(5, 85, -150);
  ball(5)->direction.set(0, q(1));
  ball(5)->speed = q(200);
  EXPECT_FALSE(updateBalls(*game));
}

TEST_F(ViewTest, SkipRunsTheShotToItsEnd) {
  put(0, 85, -240);
  put(1, 85, -100);
  shot().aim.set(q(0.1), q(1));
  shot().powerGauge = 17384;
  strikeCueBall(*game, ball(0), false);
  skipShot(*game);
  EXPECT_EQ(world().skipping, 0);
  for (PhysicalObject* b = world().ballList; b; b = b->next) {
    EXPECT_FALSE(b->isMoving());
    if (b->pocketed) {
      EXPECT_EQ(b->hidden, 1);
    }
  }
  EXPECT_TRUE(updateBalls(*game));
}

TEST_F(ViewTest, SkipStopsEverythingPastItsFrameCap) {
  put(0, 85, -240);
  // A ball that reads as moving for ever: in the air and never landing.
  put(6, 60, -120);
  ball(6)->airTime = 0x7fffffff;
  ball(6)->airPhase = 1;
  skipShot(*game);
  EXPECT_EQ(world().skipping, 0);
  EXPECT_EQ(ball(6)->airTime, 0);
  EXPECT_TRUE(updateBalls(*game));
}

}  // namespace
