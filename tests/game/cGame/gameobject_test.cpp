#include <gtest/gtest.h>

#include <memory>

#include "game/Game/Game.h"
#include "zul/2d/MutableImage.h"
#include "zul/2d/SpriteServices.h"

TEST(GameObject, CreatedOnTheImageAndSharesItsScratchWithTheBanks) {
  MutableImage image(240, 320, 16);
  std::unique_ptr<GameBase> base(createGame(&image));
  ASSERT_NE(base, nullptr);
  auto* game = static_cast<cGame*>(base.get());
  EXPECT_EQ(game->getGraphics(), image.getGraphics());
  EXPECT_EQ(game->states.gameState, k_stateNone);  // init not run yet
  SpriteServices* s = getSpriteServices();
  EXPECT_EQ(s, &game->engine.spriteServices);
  EXPECT_EQ(s->decodeBuffer, game->engine.decodeBuffer);
  EXPECT_EQ(s->sharedRect, game->engine.sharedRect);
  EXPECT_EQ(s->screenGraphics, image.getGraphics());
  base.reset();
  EXPECT_NE(getSpriteServices(), s);  // back to the built-in record
  EXPECT_EQ(getGame(), nullptr);      // no applet: no running game
}

TEST(GameObject, ViewPlacement) {
  auto game = std::make_unique<cGame>(nullptr);
  setViewPair(*game, 3, 4);
  EXPECT_EQ(game->ballView.viewPair[0], 4);
  EXPECT_EQ(game->ballView.viewPair[1], 3);
  setViewRect(*game, 1, 2, 56, 104);
  EXPECT_EQ(game->ballView.viewRect[2], 56);
  EXPECT_EQ(game->ballView.viewRect[3], 104);
}

TEST(GameObject, StopElementAnimationsClearsSpriteAndTextTimers) {
  auto game = std::make_unique<cGame>(nullptr);
  int16_t sprite[16] = {0};
  int16_t text[17] = {1};
  int16_t rect[13] = {3};
  for (int i = 1; i < 16; ++i) sprite[i] = 7;
  for (int i = 1; i < 17; ++i) text[i] = 7;
  for (int i = 1; i < 13; ++i) rect[i] = 7;
  int16_t* elements[] = {sprite, text, rect};
  game->interfaces.currentElementCount = 3;
  stopElementAnimations(*game, elements);
  EXPECT_EQ(sprite[12], 0);  // p9
  EXPECT_EQ(sprite[11], 7);
  EXPECT_EQ(text[14], 0);  // p11
  EXPECT_EQ(text[12], 7);
  EXPECT_EQ(rect[12], 7);  // other types untouched
  stopElementAnimations(*game, nullptr);
}
