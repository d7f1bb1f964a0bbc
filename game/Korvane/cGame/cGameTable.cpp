// Table set-up: "table.bar" into the physics world, the frame starts (rack,
// lag, layouts), the ball looks and the players' pocketed-ball lists.
#include <cstring>

#include "game/Korvane/cGame/cGame.h"
#include "platform/brew/GameHost.h"
#include "zul/2d/ASprite.h"
#include "zul/memory/Debug.h"
#include "zul/memory/TrackedNew.h"

namespace {

constexpr const char* kSource = "cGameTable";
constexpr int32_t kHudInterface = 56;
constexpr int32_t kSpecialRival = 10;

}  // namespace

// ---- looks

ObjectLook* cGameSpriteLook::makeSibling() const {
  return new (kSource, 25, nullptr) cGameSpriteLook(player.sprite);
}

void cGameSpriteLook::copyStateFrom(const ObjectLook& source) {
  if (const auto* s = dynamic_cast<const cGameSpriteLook*>(&source)) player = s->player;
}

SpriteAnimPlayer* lookPlayer(ObjectLook* look) {
  auto* l = dynamic_cast<cGameSpriteLook*>(look);
  return l ? &l->player : nullptr;
}

void cGamePoolHooks::onContact(PhysicalObject* first, PhysicalObject* second) { ::onContact(game, first, second); }
void cGamePoolHooks::unlockAchievement(int32_t id) { ::unlockAchievement(game, id); }
bool cGamePoolHooks::isJumpOverEightWatched() { return ::isJumpOverEightWatched(game); }

bool isJumpOverEightWatched(const cGame& game) {
  return game.states.gameState == k_stateBallsMoving && game.match.ruleSet == k_ruleSetEightBall &&
         game.match.currentPlayer >= 0 && game.match.currentPlayer < 2 &&
         game.match.playerProfile[game.match.currentPlayer] < 0;
}

// A bank set in loading.poolBanks wins; else the match loading's banks A (cue
// ball), B (balls 1-8), C (balls 9-15) and E (hand cursor).
ASprite* getPoolBank(const cGame& game, int32_t bank) {
  static constexpr int32_t kMatchBank[k_poolBankCount] = {0, 1, 2, 4};
  if (bank < 0 || bank >= k_poolBankCount) return nullptr;
  return game.loading.poolBanks[bank] ? game.loading.poolBanks[bank] : game.loading.matchBanks[kMatchBank[bank]];
}

namespace {

// A looping look on a loaded bank with a palette; null without the bank.
cGameSpriteLook* makeLook(const cGame& g, int32_t bank, int32_t palette, int32_t anim) {
  ASprite* sprite = getPoolBank(g, bank);
  if (!sprite) return nullptr;
  auto* look = new (kSource, 60, nullptr) cGameSpriteLook(sprite);
  if (!look) return nullptr;
  look->player.setPalette(palette);
  look->player.setAnim(anim);
  look->player.flags |= SpriteAnimPlayer::kLoop;
  return look;
}

}  // namespace

// ---- loading

void loadTableGroup(cGame& game, int32_t group) {
  if (group < 0 || group >= TableLayout::kGroups) return;
  uint8_t* bytes = getBarEntryCopy(game, group);
  game.tableLayout.groups[group].parse(bytes, bytes ? getBarEntrySize(game, group) : 0);
  delete[] bytes;
}

void loadTable(cGame& game) {
  game.tableLayout.clear();
  if (!loadBar(game, "table.bar")) debugTrace("table.bar: cannot be read\n");
  for (int32_t g = 0; g < TableLayout::kGroups; ++g) loadTableGroup(game, g);
  unloadBar(game);

  game.world.deleteCushionAndPockets();
  if (const int32_t group = game.tableLayout.firstIncompleteGroup(); group >= 0) {
    debugTrace("table.bar: no table built\n");
    reportDataError(game, "table.bar", "is damaged: entry %d does not decode", group);
    return;
  }
  for (int32_t r = 0; r < TableLayout::kPocketCount; ++r)
    createTableObject(game, TableLayout::kPockets, r, PhysicsWorld::kKindPocket);
  for (int32_t r = 0; r < TableLayout::kCushionPoints; ++r)
    createTableObject(game, TableLayout::kCushions, r, PhysicsWorld::kKindCushion);
  for (int32_t b = 0; b < TableLayout::kBallCount; ++b) createTableObject(game, TableLayout::kEightBallRack, b, b);
  game.world.createScreenObjects();
  game.world.handCursor->animPlayer = makeLook(game, k_poolBankHand, 0, k_animHandCursor);
}

void createTableObject(cGame& game, int32_t group, int32_t record, int32_t kind) {
  if (group < 0 || group >= TableLayout::kGroups) return;
  game.world.createTableObject(game.tableLayout.groups[group], record, kind);
}

void freeTable(cGame& game) {
  releaseBallViewData(game);
  game.tableLayout.clear();
  game.world.freeTableObjects();
  resetMatchState(game);
}

void resetMatchState(cGame& game) {
  game.rules = RuleState{};
  // The lessons' selector locks and text box belong to one match.
  game.stylus.spinArrowsLocked = game.stylus.spinButtonHidden = 0;
  game.tutorial.textBoxOpen = 0;
  game.world.shot.clearEvents();
  clearPottedBallLists(game);
  game.world.resetBalls();
  game.table.hudHint = -1;
  game.table.panelExpression[0] = game.table.panelExpression[1] = -1;
  game.table.matchStartTime = game.host().tickCount();
  game.world.previousCushionPoint.set(0, 0);
  const int32_t panel = game.match.altPanelLayout ? 26 : 18;
  setInterfaceElementFrame(game, kHudInterface, panel, 0);
  setInterfaceElementFrame(game, kHudInterface, panel + 1, 0);
  if (game.match.gameType == k_gameTypeChallenge || game.match.gameType == k_gameTypeTutorial) {
    resetEquippedItems(game);
  } else {
    updateEquippedItems(game);
  }
}

// ---- frame starts

void initFrame(cGame& game, bool newMatch) {
  const bool special = game.match.gameType == k_gameTypeChallenge || game.match.gameType == k_gameTypeTutorial ||
                       (game.match.gameType == k_gameTypeCareer && game.setup.opponentSlot == kSpecialRival);
  setInterfaceElementVisible(game, kHudInterface, 13, !special);
  setInterfaceElementVisible(game, kHudInterface, 14, special);
  const bool lagging = game.match.gameType != k_gameTypeQuickMatch && game.match.gameType != k_gameTypeChallenge &&
                       game.match.gameType != k_gameTypeTutorial;
  const bool ukSkip = newMatch && lagging && game.match.ruleSet == k_ruleSetUK;
  const bool lag = newMatch && lagging && game.match.ruleSet != k_ruleSetUK;
  if (ukSkip) {
    game.rules.normalPlay = 1;
    initRack(game);
  } else if (!lag) {
    game.rules.normalPlay = 1;
    if (game.match.gameType == k_gameTypeChallenge)
      startChallenge(game);
    else if (game.match.gameType == k_gameTypeTutorial)
      startTutorialLesson(game);
    else
      initRack(game);
  } else {
    initLag(game);
  }
}

void initRack(cGame& game) {
  game.world.shot.jumpShot = 0;
  game.table.panelX = game.match.currentPlayer == 0 ? 67 : 6;
  game.rules.rulesMode = RuleState::kModePlay;
  rackBalls(game);
  game.world.breakPlayed = 0;
  game.world.breakFollowUp = 0;
  prepareFirstShot(game);
  if (game.match.ruleSet == k_ruleSetNineBall) {
    game.rules.tableOpen = 0;
    game.rules.lowestBall = 1;
    game.rules.playerTarget[0] = game.rules.playerTarget[1] = 1u << 1;
  } else {
    game.rules.lowestBall = 0;
  }
  game.rules.breakBytes[0] = 1;
  game.rules.breakBytes[1] = 0;
  game.rules.thirdTurnByte = 1;
}

void rackBalls(cGame& game) {
  if (game.match.ruleSet == k_ruleSetUK)
    setBallSpritesUK(game);
  else
    setBallSprites(game);
  placeBalls(game);
  jitterRack(game);
  game.world.settleRack();
}

void initLag(cGame& game) {
  game.match.currentPlayer = 0;
  game.rules.previousPlayer = 1;
  game.rules.rulesMode = RuleState::kModeLag;
  game.rules.normalPlay = 0;
  game.rules.lagFrameByte = 0;
  if (game.match.ruleSet == k_ruleSetUK)
    setBallSpritesUK(game);
  else
    setBallSprites(game);
  placeBalls(game);
  prepareFirstShot(game);
  if (PhysicalObject* eight = game.world.ball8) {
    eight->hidden = 1;
    eight->pocketed = 1;
    eight->update(game.world);
  }
  game.rules.thirdTurnByte = 0;
  game.rules.breakBytes[0] = 0;
  game.rules.breakBytes[1] = 1;
  game.world.breakPlayed = 0;
}

void placeBalls(cGame& game) {
  int32_t group = TableLayout::kEightBallRack;
  if (!game.rules.normalPlay)
    group = TableLayout::kLag;
  else if (game.match.gameType == k_gameTypeChallenge)
    group = TableLayout::kFirstChallenge + game.match.challengeNumber;
  else if (game.match.gameType == k_gameTypeTutorial)
    group = TableLayout::kFirstLesson + game.match.lessonNumber;
  else if (game.match.ruleSet == k_ruleSetNineBall)
    group = TableLayout::kNineBallRack;
  if (group < 0 || group >= TableLayout::kGroups) {
    debugTrace("table: no layout group %d\n", group);
    game.world.placeBalls(TableLayoutGroup{});
    return;
  }
  game.world.placeBalls(game.tableLayout.groups[group]);
}

void setBallSprites(cGame& game) {
  PhysicalObject* cue = game.world.cueBall;
  if (cue && !cue->animPlayer) cue->animPlayer = makeLook(game, k_poolBankCueBall, 0, k_animBallRest);
  int32_t k = 1;
  for (PhysicalObject* b = cue ? cue->next : nullptr; b && b->identity < 16 && !b->animPlayer; b = b->next, ++k) {
    b->animPlayer = k <= 8 ? makeLook(game, k_poolBankBalls1to8, k - 1, k_animBallRest)
                           : makeLook(game, k_poolBankBalls9to15, k - 9, k_animBallRest);
  }
  for (int32_t p = 0; p < 2; ++p) game.rules.playerGroup[p] = game.rules.playerTarget[p] = RuleState::kBothGroups;
  game.rules.tableOpen = 1;
}

void setBallSpritesUK(cGame& game) {
  PhysicalObject* cue = game.world.cueBall;
  if (cue && !cue->animPlayer) cue->animPlayer = makeLook(game, k_poolBankCueBall, 0, k_animBallRest);
  int32_t k = 1;
  for (PhysicalObject* b = cue ? cue->next : nullptr; b && b->identity < 16 && !b->animPlayer; b = b->next, ++k) {
    const int32_t palette = k > 8 ? 0 : k == 8 ? 7 : 2;
    b->animPlayer = makeLook(game, k_poolBankBalls1to8, palette, k_animBallRest);
  }
  for (int32_t p = 0; p < 2; ++p) game.rules.playerGroup[p] = game.rules.playerTarget[p] = RuleState::kBothGroups;
  game.rules.tableOpen = 1;
}

void prepareFirstShot(cGame& game) {
  setBallRollFrames(game);
  ShotRecord& shot = game.world.shot;
  shot.clearEvents();
  shot.cueDistance = ShotRecord::kRestDistance;
  std::memset(shot.perShotBytes, 0, sizeof shot.perShotBytes);
  std::memset(shot.perShotWords, 0, sizeof shot.perShotWords);
  shot.aim.set(0, kQ14One);
  rotateAim(game, 0);
}

// ---- pocketed-ball lists

void addPottedBall(cGame& game, int32_t ball, int32_t player) {
  if (ball <= 0 || ball >= 16 || player < 0 || player > 1) return;
  PottedBalls& list = game.turn.potted[player];
  if (list.count >= PottedBalls::kMax) return;
  list.balls[list.count] = ball;
  const int32_t element = game.match.altPanelLayout ? 28 : 20;
  int32_t bank = k_poolBankBalls1to8, palette;
  if (game.match.ruleSet == k_ruleSetUK) {
    palette = ball > 8 ? 0 : ball == 8 ? 7 : 2;
  } else if (ball > 8) {
    bank = k_poolBankBalls9to15;
    palette = ball - 9;
  } else {
    palette = ball - 1;
  }
  if (ASprite* sprite = getPoolBank(game, bank)) {
    auto* p = new (kSource, 290, nullptr)
        SpriteAnimPlayer(sprite, getElementX(game, element), getElementY(game, element), nullptr);
    if (p) {
      p->setPalette(palette);
      p->setAnim(list.count + (player == game.match.currentPlayer ? k_animPanelSlide : k_animPanelStill));
    }
    list.players[list.count] = p;
  }
  list.count += 1;
}

void clearPottedBallLists(cGame& game) {
  for (PottedBalls& list : game.turn.potted) {
    for (SpriteAnimPlayer*& p : list.players) {
      delete p;
      p = nullptr;
    }
    std::memset(list.balls, 0, sizeof list.balls);
    list.count = 0;
  }
}

int32_t getPlayerGroup(const cGame& game, int32_t player) {
  if (player < 0 || player > 1) return -1;
  if (game.rules.playerGroup[player] == RuleState::kSolids) return 1;
  if (game.rules.playerGroup[player] == RuleState::kStripes) return 2;
  return -1;
}

// ---- the world's life

void createGameObjects(cGame& game) {
  game.world.random = game.engine.random;
  game.world.hooks = &game.poolHooks;
  game.world.interiorCut = 1;
  game.world.createMarkers();
}

void releaseGameObjects(cGame& game) {
  clearPottedBallLists(game);
  game.world.freeTableObjects();
  game.world.releaseMarkers();
  game.world.random = nullptr;
}

void setBallRollFrames(cGame& game) { game.world.setBallRollFrames(); }
void jitterRack(cGame& game) { game.world.jitterRack(); }
void onUnusedSpritesFreed(cGame& /*game*/) {}
void rotateAim(cGame& game, Q14 angle) { game.world.shot.rotateAim(angle); }
void physicsStep(cGame& game, PhysicalObject* list, int32_t T) { game.world.physicsStep(list, T); }
void physicsStepBalls(cGame& game, int32_t T) { game.world.physicsStepBalls(T); }
int32_t findEarliestContact(cGame& game, PhysicalObject* list, int32_t T, bool prepare, bool testCushions,
                            bool collect) {
  return game.world.findEarliestContact(list, T, prepare, testCushions, collect);
}
int32_t previewStep(cGame& game, PhysicalObject* list, int32_t T, bool testCushions) {
  return game.world.previewStep(list, T, testCushions);
}
bool isBallPlacementBlocked(const cGame& game, const PhysicalObject& ball) {
  return game.world.isBallPlacementBlocked(ball);
}
void copyBallsToShadows(cGame& game) { game.world.copyBallsToShadows(); }
Q14 frictionRoot(Q14 v, Q14 d) { return PhysicsWorld::frictionRoot(v, d); }
void recordShotEvent(cGame& game, PhysicalObject* a, PhysicalObject* b) { game.world.shot.recordEvent(a, b); }
void setShadowFullSpeed(cGame& game) { game.world.setShadowFullSpeed(); }
