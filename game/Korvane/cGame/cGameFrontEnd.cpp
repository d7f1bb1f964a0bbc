// The front-end screen pattern: set-up, the per-frame step and the common
// paint of a menu screen (see cGameFrontEnd.h).
#include "game/Korvane/cGame/cGameFrontEnd.h"

#include "game/Korvane/cGame/cGame.h"
#include "game/Korvane/cGame/cGameDataIds.h"

void setUpScreen(cGame& game, const FrontEndScreen& screen) {
  if (game.frontEnd.menusOverMatch) captureTableBackground(game);
  selectInterface(game, screen.interfaceId);
  // Over a paused match the elements stand in place.
  if (game.frontEnd.menusOverMatch)
    resetInterfaceAnimation(game, false);
  else
    startInterfaceAnimation(game);
  initMenu(game, screen.menu, screen.listElement, screen.rows, true);
  setMenuCount(game, screen.menu ? screen.count : 0);
  if (game.frontEnd.backLayer) {
    game.resetClip(game.frontEnd.backLayer);
    if (screen.backdrop) screen.backdrop(game, game.frontEnd.backLayer);
    paintInterfaceLayer(game, true);
  }
  if (screen.music >= 0) playMusic(game, screen.music);
  game.menu.selection = -1;
  game.states.subState = game.states.inGame == 1 ? k_subStateInGameUpdate : k_subStateUpdate;
}

int32_t updateScreen(cGame& game, bool runMenu) {
  updateInterfaceTimers(game);
  return runMenu && game.menu.table ? updateMenu(game) : 0;
}

void setButtonFrames(cGame& game, int32_t backButton, int32_t leftButton) {
  if (backButton >= 0)
    setElementFrame(game, backButton, game.stylus.rightSoftHighlight ? k_uiFrameBackPressed : k_uiFrameBack);
  if (leftButton >= 0)
    setElementFrame(game, leftButton, game.stylus.leftSoftHighlight ? k_uiFrameButtonPressed : k_uiFrameButton);
}

void paintScreen(cGame& game, Graphics* g, int32_t backButton, int32_t leftButton) {
  setButtonFrames(game, backButton, leftButton);
  game.resetClip(g);
  drawSavedBackground(game, g);
  paintInterface(game);
}

bool isBlinkOn(const cGame& game) { return game.frame.gameClock % 1000 > 500; }

void goToScreen(cGame& game, int32_t state) {
  if (game.states.inGame == 1)
    game.setInGameState(state);
  else
    game.setState(state);
}

Graphics* currentTarget(cGame& game) {
  return game.frontEnd.paintTarget ? game.frontEnd.paintTarget : game.getGraphics();
}
