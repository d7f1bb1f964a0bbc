#include "StylusFixture.h"

TEST(TouchLayout, ScalesYOnly) {
  EXPECT_EQ(touchLayoutY(338), 286);
  EXPECT_EQ(touchLayoutY(378), 320);
  EXPECT_EQ(touchLayoutY(0), 0);
  EXPECT_EQ(touchLayoutY(137), 115);  // 115.98 rounds down
}

TEST(TouchLayout, EndsAreInclusive) {
  struct Case {
    int32_t px, py;
    bool in;
  } cases[] = {
      {197, 286, true},  {240, 326, true}, {196, 286, false}, {197, 285, false},
      {241, 300, false}, {220, 327, false}, {218, 306, true},
  };
  for (const Case& c : cases)
    EXPECT_EQ(touchRectContains(197, 338, 43, 40, c.px, c.py), c.in) << c.px << "," << c.py;
}

TEST(TouchLayout, NoPointNeverHits) {
  EXPECT_TRUE(touchRectContains(0, 0, 240, 320, 0, 0));
  EXPECT_TRUE(touchRectContains(0, 0, 240, 320, 240, 320));
  EXPECT_FALSE(touchRectContains(0, 0, 240, 320, -1, -1));
  EXPECT_FALSE(touchRectContains(0, 0, 240, 320, -1, 10));
}

TEST_F(StylusTest, PressedHitConsumesOrKeeps) {
  game->pointerX = 20;
  game->pointerY = 300;
  EXPECT_TRUE(isPointerPressedIn(*game, 0, 338, 60, 40, false));
  EXPECT_EQ(game->stylus.pointerHit, 1);
  EXPECT_EQ(game->pointerX, 20);
  EXPECT_TRUE(isPointerPressedIn(*game, 0, 338, 60, 40, true));
  EXPECT_EQ(game->stylus.pointerHit, 0);
  EXPECT_EQ(game->pointerX, -1);
  EXPECT_EQ(game->pointerY, -1);
  EXPECT_FALSE(isPointerPressedIn(*game, 0, 0, 240, 320, true));
}

TEST_F(StylusTest, ReleasedHitConsumes) {
  game->releaseX = 239;
  game->releaseY = 319;
  EXPECT_FALSE(isPointerReleasedIn(*game, 0, 338, 60, 40, true));
  EXPECT_EQ(game->releaseX, 239);
  EXPECT_TRUE(isPointerReleasedIn(*game, 0, 0, 240, 320, true));
  EXPECT_EQ(game->releaseX, -1);
  EXPECT_FALSE(isPointerReleasedIn(*game, 0, 0, 240, 320, true));
}

TEST_F(StylusTest, CueSide) {
  game->stylus.cueScreenX = 120;
  game->stylus.cueScreenY = 150;
  struct Case {
    int32_t angleDegrees;
    int32_t x, y;
    bool side;
  } cases[] = {
      // Aim 0: the line is vertical; points right of the cue answer true.
      {0, 160, 150, true},
      {0, 80, 150, false},
      // Aim -90: horizontal line, points above answer true.
      {-90, 120, 100, true},
      {-90, 120, 200, false},
      // Aim 90: horizontal line, points below answer true.
      {90, 120, 200, true},
      {90, 120, 100, false},
      // Aim 45: the line y = cy + (x - cx); points below it answer true.
      {45, 120, 200, true},
      {45, 120, 100, false},
  };
  for (const Case& c : cases) {
    game->stylus.cueAimAngle = c.angleDegrees * 0x4000;
    EXPECT_EQ(isPointOnCueSide(*game, c.x, c.y), c.side) << c.angleDegrees << " " << c.x << "," << c.y;
  }
}
