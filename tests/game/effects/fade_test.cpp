#include <climits>

#include "effects/EffectsFixture.h"

namespace {

using Fade = EffectsTest;

// The pixels a plain fill of black at the given alpha leaves on a white surface.
std::vector<uint16_t> blackAt(int alpha) {
  Surface s(8, 6, 0xFFFF);
  s.g()->setColorRaw(static_cast<uint32_t>(alpha) << 24);
  s.g()->fillRect(0, 0, 8, 6);
  return s.px;
}

}  // namespace

TEST_F(Fade, PaintsBlackAtTheAlphaOfTheElapsedShare) {
  struct Case {
    int32_t direction, length, elapsed;
    int alpha;  // -1: nothing painted
  } cases[] = {
      {1, 1000, 500, 127},   {1, 1000, 1000, 255},  {1, 1000, 1500, 255}, {1, 1000, 0, -1},
      {1, 1000, 3, -1},      {0, 1000, 0, 255},     {0, 1000, 500, 128},  {0, 1000, 999, 1},
      {0, 1000, 1000, -1},   {0, 1000, 5000, -1},   {1, 0, 500, -1},      {1, -1, 500, -1},
      {0, 0, 0, -1},         {1, INT_MAX, INT_MAX - 1, 254},  // e * 255 needs 64 bits
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.direction << " " << c.length << " " << c.elapsed);
    Surface s(8, 6, 0xFFFF);
    game->effects.fade = {c.direction, c.length, c.elapsed};
    paintFadeRect(*game, s.g(), 0, 0, 8, 6);
    if (c.alpha < 0)
      EXPECT_EQ(s.countNonZero(), 8 * 6) << "painted";
    else
      EXPECT_EQ(s.px, blackAt(c.alpha));
    EXPECT_EQ(s.g()->getAlpha(), 255);
  }
}

TEST_F(Fade, UpdateIsTrueExactlyFromTheLengthOn) {
  startFade(*game, 1000, 1);
  EXPECT_EQ(game->effects.fade.elapsed, 0);
  const struct {
    int32_t frameTime;
    int32_t elapsed;
    bool done;
  } steps[] = {{400, 400, false}, {599, 999, false}, {1, 1000, true}, {30, 1030, true}};
  for (const auto& st : steps) {
    game->frame.frameTime = st.frameTime;
    EXPECT_EQ(updateFade(*game), st.done) << st.elapsed;
    EXPECT_EQ(game->effects.fade.elapsed, st.elapsed);
  }
  // Saturates instead of wrapping.
  startFade(*game, INT_MAX, 0);
  game->effects.fade.elapsed = INT_MAX - 10;
  game->frame.frameTime = 1000;
  EXPECT_TRUE(updateFade(*game));
  EXPECT_EQ(game->effects.fade.elapsed, INT_MAX);
  // Off: nothing advances.
  stopFade(*game);
  EXPECT_EQ(game->effects.fade.length, -1);
  EXPECT_FALSE(updateFade(*game));
  EXPECT_EQ(game->effects.fade.elapsed, 0);
  startFade(*game, 0, 1);
  EXPECT_FALSE(updateFade(*game));
  EXPECT_EQ(game->effects.fade.elapsed, 0);
}

TEST_F(Fade, FillRectAlphaBlendsByTheTopByteAndRestoresOpaque) {
  Surface s(4, 4, 0xFFFF);
  s.g()->setColorRaw(0x80123456);
  fillRectAlpha(*game, s.g(), 0, 0, 4, 4, 0x00000000);  // alpha 0: transparent
  EXPECT_EQ(s.countNonZero(), 16);
  EXPECT_EQ(s.at(0, 0), 0xFFFF);
  EXPECT_EQ(s.g()->getAlpha(), 255);
  fillRectAlpha(*game, s.g(), 1, 1, 2, 2, 0x7F000000);
  EXPECT_EQ(s.at(1, 1), blackAt(127)[0]);
  EXPECT_EQ(s.at(0, 0), 0xFFFF);
  EXPECT_EQ(s.g()->getAlpha(), 255);
}

TEST_F(Fade, InitClearsTheEffectsGroup) {
  startFade(*game, 500, 1);
  game->effects.fade.elapsed = 100;
  game->effects.bandBuffer[kBandBufferPixels - 1] = 7;
  game->effects.glowBuffer[kGlowBufferPixels - 1] = 7;
  game->effects.drawSuppressed = game->effects.alphaBars = game->effects.glowNoWriteBack =
      game->effects.paintingOffscreen32 = 1;
  game->init();
  EXPECT_EQ(game->effects.fade.length, 0);
  EXPECT_EQ(game->effects.fade.elapsed, 0);
  EXPECT_EQ(game->effects.fade.direction, 0);
  EXPECT_EQ(game->effects.bandBuffer[kBandBufferPixels - 1], 0u);
  EXPECT_EQ(game->effects.glowBuffer[kGlowBufferPixels - 1], 0u);
  EXPECT_EQ(game->effects.drawSuppressed + game->effects.alphaBars + game->effects.glowNoWriteBack +
                game->effects.paintingOffscreen32,
            0);
}
