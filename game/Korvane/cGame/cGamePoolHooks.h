// The game side of the pool classes: object looks as sprite animation
// players, and the hooks that forward the world's calls to the game object.
#pragma once

#include <cstdint>

#include "game/Korvane/PhysicalObject/PoolHooks.h"
#include "zul/2d/SpriteAnimPlayer.h"

class ASprite;
class cGame;

// Banks the table looks are made on.
enum cGamePoolBank : int32_t {
  k_poolBankCueBall = 0,
  k_poolBankBalls1to8 = 1,
  k_poolBankBalls9to15 = 2,
  k_poolBankHand = 3,
  k_poolBankCount = 4,
};

// Animations of the ball banks: rolling, at rest (9-15 also rest + 1, + 2),
// and the panel slide (count + 9) and still (count + 18) looks.
constexpr int32_t k_animBallRolling = 0;
constexpr int32_t k_animBallRest = 5;
constexpr int32_t k_animPanelSlide = 9;
constexpr int32_t k_animPanelStill = 18;
constexpr int32_t k_animHandCursor = 0;

class cGameSpriteLook final : public ObjectLook {
 public:
  explicit cGameSpriteLook(ASprite* bank) : player(bank, 0, 0, nullptr) {}
  void setAnim(int32_t anim) override { player.setAnim(anim); }
  int32_t getAnim() const override { return player.getAnim(); }
  bool isAnimOver() const override { return player.isAnimOver(); }
  void setPosition(int32_t x, int32_t y) override { player.setPosition(x, y); }
  ObjectLook* makeSibling() const override;
  void copyStateFrom(const ObjectLook& source) override;

  SpriteAnimPlayer player;
};

// The sprite player of an object's look, or null.
SpriteAnimPlayer* lookPlayer(ObjectLook* look);

class cGamePoolHooks final : public PoolHooks {
 public:
  explicit cGamePoolHooks(cGame& g) : game(g) {}
  void onContact(PhysicalObject* first, PhysicalObject* second) override;
  void unlockAchievement(int32_t id) override;
  bool isJumpOverEightWatched() override;
  void playSound(int32_t id, int32_t volume) override;
  bool isAchievementUnlocked(int32_t id) override;
  void restartHitSpark(int32_t x, int32_t y) override;
  void addPottedBall(int32_t ball, int32_t player) override;
  void handOverPottedBalls(int32_t from, int32_t to, uint32_t keepMask) override;
  void setGroupIcon(int32_t element, int32_t frame, int32_t palette) override;
  void rackAgain() override;
  void queueMessage(int32_t text, int32_t nameText, int32_t groupText) override;
  void showDialog(int32_t kind, int32_t title, int32_t bodyText, int32_t number) override;
  void vibrate() override;
  int32_t playerCharacter(int32_t player) override;
  uint32_t tickCount() override;
  void debugLine(const char* line) override;

 private:
  cGame& game;
};
