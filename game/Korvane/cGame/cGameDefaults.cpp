// Default bodies of entries that belong to other topics of the game object.
// Each one moves to its topic file when that topic is written.
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

// Start-up loading: true when every step is done.
bool cGame::updateLoadInit() { return true; }

// Completion and achievement notices.
bool cGame::hasCompletionNotice() { return false; }
void cGame::updateCompletionNotice() {}
bool cGame::hasAchievementNotice() { return false; }
void cGame::paintAchievementNotices() {}
void cGame::paintCompletionNotice() {}

// Match flow: a message or a pending step that keeps the in-game menu from
// opening on resume.
bool cGame::isMatchOnHold() { return false; }

// In-game menu.
void cGame::enterIGM() {}

// Resource pack index (loaded by init).
void cGame::loadResourceIndex() { m_resources.loadIndex(); }

// Objects that init creates (physics detectors) and everything the game
// owns, freed by the destructor in reverse order of creation.
void cGame::createGameObjects() {}
void cGame::releaseGameObjects() {}
