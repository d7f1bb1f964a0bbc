// Default bodies of entries that belong to other topics of the game object.
// Each one moves to its topic file when that topic is written.
#include <iterator>

#include "game/Korvane/cGame/cGame.h"

// Resource pack index (loaded by init).
void cGame::loadResourceIndex() { m_resources.loadIndex(); }

// A player's character: the career character for player 0, the rival's slot for player 1.
int32_t cGame::getPlayerCharacter(int32_t player) const { return player == 0 ? m_career.character : opponentSlot; }

// In-game sprite banks of the table looks.
// A bank set in m_poolBanks wins; else the match loading's banks A (cue
// ball), B (balls 1-8), C (balls 9-15) and E (hand cursor).
ASprite* cGame::getPoolBank(int32_t bank) const {
  static constexpr int32_t kMatchBank[k_poolBankCount] = {0, 1, 2, 4};
  if (bank < 0 || bank >= k_poolBankCount) return nullptr;
  return m_poolBanks[bank] ? m_poolBanks[bank] : m_matchBanks[kMatchBank[bank]];
}


