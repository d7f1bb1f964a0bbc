// The shot rules in the game: the rule state and world with the game's rule
// set and players, and the game's side of the rules' hooks.
#include <cstring>

#include "game/Korvane/cGame/cGame.h"
#include "game/Korvane/cGamePlay/ShotRules.h"
#include "platform/brew/GameHost.h"
#include "zul/memory/Debug.h"

namespace {

constexpr int32_t kHudInterface = 56;

// The rules over the game's rule state, world and match.
ShotRules rulesOf(cGame& g) { return ShotRules(g.rules, g.world, g.match); }

}  // namespace

void onContact(cGame& game, PhysicalObject* first, PhysicalObject* second) {
  rulesOf(game).onContact(first, second);
}
void beginStroke(cGame& game) { rulesOf(game).beginStroke(); }
void runShotRules(cGame& game) { rulesOf(game).runShotRules(); }
uint32_t lookAheadShotRules(cGame& game) { return rulesOf(game).lookAheadShotRules(); }
void Rules_Apply(cGame& game) { rulesOf(game).Rules_Apply(); }
bool checkBallsOffTable(cGame& game) { return rulesOf(game).checkBallsOffTable(); }
void respotBalls(cGame& game) { rulesOf(game).respotBalls(); }
void showGroupsMessage(cGame& game) { rulesOf(game).showGroupsMessage(); }
void assignGroups(cGame& game, int32_t solidsPlayer, int32_t stripesPlayer) {
  rulesOf(game).assignGroups(solidsPlayer, stripesPlayer);
}
void switchPlayer(cGame& game) { rulesOf(game).switchPlayer(); }
void startChallengeRules(cGame& game) { rulesOf(game).startChallengeRules(); }

void rackAgain(cGame& game) {
  rackBalls(game);
  setBallRollFrames(game);
}

void handOverPottedBalls(cGame& game, int32_t from, int32_t to, uint32_t keepMask) {
  if (from < 0 || from > 1 || to < 0 || to > 1 || from == to) return;
  PottedBalls& list = game.turn.potted[from];
  int32_t kept = 0;
  int32_t moved[PottedBalls::kMax] = {};
  int32_t movedCount = 0;
  for (int32_t k = 0; k < list.count; ++k) {
    const int32_t ball = list.balls[k];
    if (ball > 0 && ball < 32 && ((keepMask >> ball) & 1u)) {
      list.balls[kept] = ball;
      std::swap(list.players[kept], list.players[k]);
      ++kept;
    } else {
      moved[movedCount++] = ball;
    }
  }
  for (int32_t k = kept; k < list.count; ++k) {
    delete list.players[k];
    list.players[k] = nullptr;
    list.balls[k] = 0;
  }
  list.count = kept;
  for (int32_t k = 0; k < movedCount; ++k) addPottedBall(game, moved[k], to);
}

// The palette tells the two UK colours apart on one frame; -1 keeps it.
void setGroupIconLook(cGame& game, int32_t element, int32_t frame, int32_t palette) {
  setInterfaceElementFrame(game, kHudInterface, element, frame);
  if (palette >= 0) setInterfaceElementPalette(game, kHudInterface, element, palette);
}

void cGamePoolHooks::playSound(int32_t id, int32_t volume) { ::playSound(game, id, 0, volume, volume); }
bool cGamePoolHooks::isAchievementUnlocked(int32_t id) {
  return id >= 0 && id < 32 && ((game.career.achievementMask >> id) & 1u);
}
void cGamePoolHooks::restartHitSpark(int32_t x, int32_t y) { ::restartHitSpark(game, x, y); }
void cGamePoolHooks::addPottedBall(int32_t ball, int32_t player) { ::addPottedBall(game, ball, player); }
void cGamePoolHooks::handOverPottedBalls(int32_t from, int32_t to, uint32_t keepMask) {
  ::handOverPottedBalls(game, from, to, keepMask);
}
void cGamePoolHooks::setGroupIcon(int32_t element, int32_t frame, int32_t palette) {
  setGroupIconLook(game, element, frame, palette);
}
void cGamePoolHooks::rackAgain() { ::rackAgain(game); }
void cGamePoolHooks::queueMessage(int32_t text, int32_t nameText, int32_t groupText) {
  queueRuleMessage(game, text, nameText, groupText);
}
void cGamePoolHooks::showDialog(int32_t kind, int32_t title, int32_t bodyText, int32_t number) {
  showRuleDialog(game, kind, title, bodyText, number);
}
void cGamePoolHooks::vibrate() { ::vibrate(game, game.sound.vibrationTime); }
int32_t cGamePoolHooks::playerCharacter(int32_t player) { return getPlayerCharacter(game, player); }
// A player's character: the career character for player 0, the rival's slot for player 1.
int32_t getPlayerCharacter(const cGame& game, int32_t player) {
  return player == 0 ? game.career.progress.character : game.setup.opponentSlot;
}
uint32_t cGamePoolHooks::tickCount() { return game.host().tickCount(); }
void cGamePoolHooks::debugLine(const char* line) { debugTrace("%s", line); }
