// The computer opponent in the game: the profiles of "misc.bar", and the
// think machine run on the game's world and rules for the player at the table.
#include "game/Korvane/cGame/cGame.h"
#include "game/Korvane/cGamePlay/Opponent.h"
#include "windows_brew/memory/Debug.h"

namespace {

// The opponent over the game's think state, world, rules and match, with
// what it reads of the turn.
Opponent opponentOf(cGame& g) {
  const int32_t p = g.currentPlayer & 1;
  OpponentTurn turn;
  turn.ballInHand = g.playerProfile[p] >= 0 && (g.m_rules.ballInHand || g.m_rules.cueAwaitsPlacing);
  // The flow has placed the cue ball itself once it is in a ball-in-hand state.
  turn.inHandState = g.states.gameState == k_stateComputerBallInHand || g.states.gameState == k_stateBallInHand ||
                     g.states.previousState == k_stateBallInHand || g.states.previousState == k_stateComputerBallInHand;
  g.m_ai.giveUpAllowed = g.m_rules.pushOutAnswered;
  g.m_world.random = g.engine.random;
  return Opponent(g.m_ai, g.m_world, g.m_rules, g.match, turn);
}

}  // namespace

void cGame::initAI() {
  m_ai = OpponentState{};
  uint8_t* entry = getBarEntryCopy(*this, 0);
  const int32_t size = entry ? getBarEntrySize(*this, 0) : 0;
  if (size < OpponentProfiles::kFileBytes) {
    debugTrace("misc.bar: profile entry of %d bytes, %d expected\n", size, OpponentProfiles::kFileBytes);
    if (this->files.bar.data) reportBadEntry(*this, 0);
    delete[] entry;
    m_ai.profiles.clear();
  } else {
    setReadBuffer(*this, entry, size);
    for (int32_t p = 0; p < OpponentProfiles::kProfiles; ++p) {
      for (int32_t k = 0; k < 12; ++k) m_ai.profiles.loaded[p][k] = OpponentProfiles::convert(k, readInt(*this));
      m_ai.profiles.loaded[p][12] = OpponentProfiles::convert(12, readByte(*this));
      m_ai.profiles.loaded[p][13] = OpponentProfiles::convert(13, readByte(*this));
    }
    freeReadBuffer(*this);
    m_ai.profiles.fillProfileTable();
  }
  m_ai.currentProfile = 0;
  opponentOf(*this).makePocketRoots();
}

void cGame::freeAI() { m_ai.profiles.clear(); }
void cGame::releaseAI() { freeAI(); }

void cGame::updateAI(int32_t state, int32_t event, bool frameDone) {
  opponentOf(*this).updateAI(state, event, frameDone);
}

void cGame::resetAI() {
  opponentOf(*this).reset();
}

void cGame::searchAIShot(int32_t steps) {
  opponentOf(*this).searchAIShot(steps);
}

int32_t cGame::randomBreakSpot(Vector2& out) {
  return opponentOf(*this).randomBreakSpot(out);
}

Vector2 cGame::getAIBreakPosition(int32_t player) const {
  const int32_t profile = playerProfile[player & 1];
  return Vector2(m_ai.profiles.value(profile, 9), m_ai.profiles.value(profile, 10));
}

void cGame::useLoaderProfiles() { m_ai.profiles.useLoaderProfiles(); }
void cGame::useOwnProfiles() { m_ai.profiles.useOwnProfiles(); }
void cGame::fillProfileTable() { m_ai.profiles.fillProfileTable(); }
