// The front-end screen pattern: set-up, the per-frame step and the common
// paint of a menu screen (see cGameFrontEnd.h).
#include "game/Korvane/cGame/cGameFrontEnd.h"

#include "game/Korvane/cGame/cGame.h"
#include "game/Korvane/cGame/cGameDataIds.h"

void cGame::setUpScreen(const FrontEndScreen& screen) {
  if (m_menusOverMatch) captureTableBackground();
  selectInterface(screen.interfaceId);
  // Over a paused match the elements stand in place.
  if (m_menusOverMatch)
    resetInterfaceAnimation(false);
  else
    startInterfaceAnimation();
  initMenu(screen.menu, screen.listElement, screen.rows, true);
  setMenuCount(screen.menu ? screen.count : 0);
  if (m_backLayer) {
    resetClip(m_backLayer);
    if (screen.backdrop) screen.backdrop(*this, m_backLayer);
    paintInterfaceLayer(true);
  }
  if (screen.music >= 0) playMusic(screen.music);
  m_menu.selection = -1;
  m_subState = m_inGame == 1 ? k_subStateInGameUpdate : k_subStateUpdate;
}

int32_t cGame::updateScreen(bool runMenu) {
  updateInterfaceTimers();
  return runMenu && m_menu.table ? updateMenu() : 0;
}

void cGame::setButtonFrames(int32_t backButton, int32_t leftButton) {
  if (backButton >= 0) setElementFrame(backButton, m_rightSoftHighlight ? k_uiFrameBackPressed : k_uiFrameBack);
  if (leftButton >= 0) setElementFrame(leftButton, m_leftSoftHighlight ? k_uiFrameButtonPressed : k_uiFrameButton);
}

void cGame::paintScreen(Graphics* g, int32_t backButton, int32_t leftButton) {
  setButtonFrames(backButton, leftButton);
  resetClip(g);
  drawSavedBackground(g);
  paintInterface();
}

bool cGame::isBlinkOn() const { return m_gameClock % 1000 > 500; }

void cGame::goToScreen(int32_t state) {
  if (m_inGame == 1)
    setInGameState(state);
  else
    setState(state);
}
