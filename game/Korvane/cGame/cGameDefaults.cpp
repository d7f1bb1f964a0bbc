// Default bodies of entries that belong to other topics of the game object.
// Each one moves to its topic file when that topic is written.
#include <iterator>

#include "game/Korvane/cGame/cGame.h"

// Stake screen: applies the stake level to the opponent, table and pictures.
void cGame::refreshStakeSelection() {}

// In-game update and paint: the current in-game state's screen.
void cGame::updateInGame() {
  if (const cGameScreen* screen = m_inGameScreens->find(s_gameState))
    if (screen->update) screen->update(*this);
}

void cGame::paintInGame(Graphics* target) {
  if (const cGameScreen* screen = m_inGameScreens->find(s_gameState))
    if (screen->paint) screen->paint(*this, target);
}

// Match flow: a message or a pending step that keeps the in-game menu from
// opening on resume.
bool cGame::isMatchOnHold() { return false; }

// In-game menu.
void cGame::enterIGM() {}

// Resource pack index (loaded by init).
void cGame::loadResourceIndex() { m_resources.loadIndex(); }

// Messages and dialog boxes of the shot rules (kind 2 messages, dialogs of kind 1 or 2).
void cGame::queueRuleMessage(int32_t /*text*/, int32_t /*nameText*/, int32_t /*groupText*/) {}
void cGame::showRuleDialog(int32_t /*kind*/, int32_t /*title*/, int32_t /*bodyText*/, int32_t /*number*/) {}
// The hit spark of the effect bank.
void cGame::restartHitSpark(int32_t /*x*/, int32_t /*y*/) {}
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

// 3D view, opponents, the table scene and the roster.
void cGame::init3DView() {}
void cGame::load3DBallModels() {}
void cGame::release3DView() {}
void cGame::paintTableScene(Graphics* /*g*/) {}
int32_t cGame::getRivalCharacter(int32_t index) { return index; }

// Challenge and tutorial frame starts: the mode's layout.
void cGame::startChallenge() {
  setBallSprites();
  placeBalls();
  prepareFirstShot();
}
void cGame::startTutorialLesson() {
  setBallSprites();
  placeBalls();
  prepareFirstShot();
}

// Pub scenery as a panel backdrop.
void cGame::paintPubScenery(int32_t /*x*/, bool /*parallax*/, bool /*seats*/, int32_t /*shade*/) {}

// Names of the two players in message texts ("$a", "$b").
const char* cGame::getPlayerName(int32_t /*player*/) { return ""; }

// Shop: the purchase and the equipping that the buy and equip questions
// confirm, the price and name of an item, its rating bars.
void cGame::buyShopItem() {}
void cGame::equipShopItem() {}
int32_t cGame::getShopItemPrice(int32_t /*item*/) const { return 0; }
int32_t cGame::getShopItemNameText(int32_t item) const { return 406 + item; }
void cGame::paintRatingBar(int32_t /*interfaceId*/, int32_t /*element*/, int32_t /*category*/) {}

// Tutorial lesson start and the challenge demonstration (question actions 6 and 8).
void cGame::startTutorial(int32_t lesson) {
  lessonNumber = lesson;
  gameType = 5;
  setInGameState(k_stateMatchInit);
}
void cGame::launchChallengeDemo() { setInGameState(k_stateMatchInit); }

// Push-out answers (question actions 9 and 10): action 9 takes the push-out
// or not, action 10 plays on after one.
void cGame::answerPushOutOffer(bool take) {
  m_rules.pushOutShot = take ? 1 : 0;
  m_rules.pushOutAvailable = 0;
}
void cGame::answerPushOutPlay() { m_rules.pushOutAnswered = 0; }
// The other player takes the table.
void cGame::switchPlayer() {
  m_rules.previousPlayer = currentPlayer;
  currentPlayer = 1 - (currentPlayer & 1);
  m_rules.currentPlayer = currentPlayer;
}
