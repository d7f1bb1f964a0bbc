// The computer opponent in the game: the profiles of "misc.bar", and the
// think machine run on the game's world and rules for the player at the table.
#include "game/Korvane/cGame/cGame.h"
#include "game/Korvane/cGamePlay/Opponent.h"
#include "zul/memory/Debug.h"

namespace {

// The opponent over the game's think state, world, rules and match, with
// what it reads of the turn.
Opponent opponentOf(cGame& g) {
  const int32_t p = g.match.currentPlayer & 1;
  OpponentTurn turn;
  turn.ballInHand = g.match.playerProfile[p] >= 0 && (g.rules.ballInHand || g.rules.cueAwaitsPlacing);
  // The flow has placed the cue ball itself once it is in a ball-in-hand state.
  turn.inHandState = g.states.gameState == k_stateComputerBallInHand || g.states.gameState == k_stateBallInHand ||
                     g.states.previousState == k_stateBallInHand || g.states.previousState == k_stateComputerBallInHand;
  g.opponent.giveUpAllowed = g.rules.pushOutAnswered;
  g.world.random = g.engine.random;
  return Opponent(g.opponent, g.world, g.rules, g.match, turn);
}

}  // namespace

void initAI(cGame& game) {
  game.opponent = OpponentState{};
  uint8_t* entry = getBarEntryCopy(game, 0);
  const int32_t size = entry ? getBarEntrySize(game, 0) : 0;
  if (size < OpponentProfiles::kFileBytes) {
    debugTrace("misc.bar: profile entry of %d bytes, %d expected\n", size, OpponentProfiles::kFileBytes);
    if (game.files.bar.data) reportBadEntry(game, 0);
    delete[] entry;
    game.opponent.profiles.clear();
  } else {
    setReadBuffer(game, entry, size);
    for (int32_t p = 0; p < OpponentProfiles::kProfiles; ++p) {
      for (int32_t k = 0; k < 12; ++k)
        game.opponent.profiles.loaded[p][k] = OpponentProfiles::convert(k, readInt(game));
      game.opponent.profiles.loaded[p][12] = OpponentProfiles::convert(12, readByte(game));
      game.opponent.profiles.loaded[p][13] = OpponentProfiles::convert(13, readByte(game));
    }
    freeReadBuffer(game);
    game.opponent.profiles.fillProfileTable();
  }
  game.opponent.currentProfile = 0;
  opponentOf(game).makePocketRoots();
}

void freeAI(cGame& game) { game.opponent.profiles.clear(); }
void releaseAI(cGame& game) { freeAI(game); }

void updateAI(cGame& game, int32_t state, int32_t event, bool frameDone) {
  opponentOf(game).updateAI(state, event, frameDone);
}

void resetAI(cGame& game) { opponentOf(game).reset(); }

void searchAIShot(cGame& game, int32_t steps) { opponentOf(game).searchAIShot(steps); }

int32_t randomBreakSpot(cGame& game, Vector2& out) { return opponentOf(game).randomBreakSpot(out); }

Vector2 getAIBreakPosition(const cGame& game, int32_t player) {
  const int32_t profile = game.match.playerProfile[player & 1];
  return Vector2(game.opponent.profiles.value(profile, 9), game.opponent.profiles.value(profile, 10));
}

void useLoaderProfiles(cGame& game) { game.opponent.profiles.useLoaderProfiles(); }
void useOwnProfiles(cGame& game) { game.opponent.profiles.useOwnProfiles(); }
void fillProfileTable(cGame& game) { game.opponent.profiles.fillProfileTable(); }

int32_t aiState(const cGame& game) { return game.opponent.state; }
bool aiPassed(const cGame& game) { return game.opponent.giveUp != 0; }
