#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "game/Korvane/cGame/cGame.h"
#include "gles/GlContext.h"
#include "tests/game/cGame/GameWithGl.h"
#include "zul/2d/Graphics.h"
#include "zul/2d/MutableImage.h"

namespace {

TEST(BallViewUnits, GoldValues) {
  struct Case {
    Q14 in;
    int32_t out;
  };
  for (const Case& c : {Case{17 << 14, -11468800}, Case{152 << 14, 11468800}})
    EXPECT_EQ(tableToViewX(c.in), c.out) << c.in;
  for (const Case& c : {Case{-20 * 16384, 19251200}, Case{-282 * 16384, -19251200}})
    EXPECT_EQ(tableToViewY(c.in), c.out) << c.in;
  // The table's centre is the view's origin.
  EXPECT_EQ(tableToViewX(0x44000 + 0x10E000), 0);
  EXPECT_EQ(tableToViewY(-(0x50000 + 0x20C000)), 0);
}

class BallView : public GameWithGl {};

TEST_F(BallView, Init3DBuildsTheRenderImageOnce) {
  EXPECT_EQ(game->ballView.renderImage, nullptr);
  init3D(*game);
  MutableImage* first = game->ballView.renderImage;
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->getWidth(), 56);
  EXPECT_EQ(first->getHeight(), 104);
  init3D(*game);
  EXPECT_EQ(game->ballView.renderImage, first);
}

// Rows inside the clip band land at the view's column; nothing outside the
// band or the target is written.
TEST_F(BallView, BlitCopiesTheClippedBandAtTheViewColumn) {
  init3D(*game);
  auto* src = static_cast<uint16_t*>(game->ballView.renderImage->getPixels());
  for (int32_t i = 0; i < 56 * 104; ++i) src[i] = static_cast<uint16_t>(i + 1);
  MutableImage screen(240, 320, 16);
  auto* dst = static_cast<uint16_t*>(screen.getPixels());
  std::memset(dst, 0, 240 * 320 * 2);
  Graphics* g = screen.getGraphics();
  struct Case {
    int32_t viewX, top, bandY, bandH;
  };
  for (const Case& c : {Case{67, 100, 139, 26}, Case{6, 0, 0, 104}, Case{210, 250, 240, 80}}) {
    std::memset(dst, 0, 240 * 320 * 2);
    game->ballView.viewBox[0] = c.viewX;
    setViewRect(*game, c.viewX, c.top, 56, 104);
    g->setClip(0, c.bandY, 240, c.bandH);
    game->frontEnd.paintTarget = g;
    blit3D(*game);
    for (int32_t y = 0; y < 320; ++y)
      for (int32_t x = 0; x < 240; ++x) {
        const int32_t r = y - c.top, col = x - c.viewX;
        const bool in = r >= 0 && r < 104 && col >= 0 && col < 56 && y >= c.bandY && y < c.bandY + c.bandH;
        const uint16_t want = in ? static_cast<uint16_t>(r * 56 + col + 1) : 0;
        ASSERT_EQ(dst[y * 240 + x], want) << x << "," << y;
      }
  }
  game->frontEnd.paintTarget = nullptr;
}

TEST_F(BallView, InitResetsTheViewMembers) {
  game->ballView.predictedSlot = 3;
  game->ballView.potCountdown = 100;
  game->ballView.open = 1;
  game->ballView.count = 4;
  resetBallView(*game);
  EXPECT_EQ(game->ballView.predictedSlot, -1);
  EXPECT_EQ(game->ballView.potCountdown, -1);
  EXPECT_EQ(game->ballView.open, 0);
  EXPECT_EQ(game->ballView.count, 0);
}

}  // namespace
