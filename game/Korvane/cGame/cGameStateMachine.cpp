// Game-state machine: front-end and in-game state changes, the state stack,
// and the update and paint dispatch.
#include "game/Korvane/cGame/cGame.h"

#include "zul/2d/Graphics.h"
#include "zul/2d/MutableImage.h"

namespace {
const uint32_t kBreakChoiceItems[] = {26, 25, 655};
const uint32_t kCoinTossItems[] = {27, 28};

void restoreMenu(MenuList& menu, const uint32_t* table, int32_t listElement, int32_t rows, int32_t count,
                 int32_t selection) {
  menu = MenuList();
  menu.table = table;
  menu.listElement = listElement;
  menu.rows = rows;
  menu.count = count;
  menu.selection = selection;
}
}  // namespace

void cGame::setScreenTables(const cGameScreenTable* frontEndTable, const cGameScreenTable* inGameTable) {
  frontEndScreens = frontEndTable ? frontEndTable : &k_frontEndScreens;
  inGameScreens = inGameTable ? inGameTable : &k_inGameScreens;
}

int32_t cGame::setState(int32_t state) {
  states.inGame = 0;
  if (states.gameState != k_stateMainMenuLoading && states.gameState != k_stateGameLoading &&
      states.gameState != k_stateVersus)
    states.previousState = states.gameState;
  states.gameState = state;
  states.subState = k_subStateInit;
  states.redrawCounters[0] = states.redrawCounters[1] = 5;
  for (uint8_t& f : states.screenFlags) f = 0;
  states.stateEntryTime = frame.gameClock;
  keys.lock(1);
  frame.waitCounter = 1;
  // A front-end state leaves whatever was pushed over a match behind.
  states.stackDepth = 0;
  return state;
}

void cGame::setInGameState(int32_t state) { changeInGameState(state, true, true); }

void cGame::changeInGameState(int32_t state, bool runInit, bool runLeave) {
  keys.lock(2);
  if (runLeave) {
    states.subState = k_subStateDestroy;
    updateInGame(*this);
  }
  states.inGame = 1;
  states.previousState = states.gameState;
  states.gameState = state;
  states.stateEntryTime = frame.gameClock;
  // A new match starts with an empty stack.
  if (state == k_stateMatchInit) states.stackDepth = 0;
  keys.lock(2);
  if (!runInit && state == k_stateQuestion && question.pendingAction != -1) {
    question.menuFlag = 0;
    setInGameState(k_stateQuestionMenu);
    question.pendingAction = -1;
  }
  if (runInit || state == k_stateContinue || state == k_stateInGameQuestion) {
    states.subState = k_subStateInit;
    updateInGame(*this);
  }
  states.subState = k_subStateInGameUpdate;
  keys.lock(2);
  states.redrawCounters[0] = 1;
}

void cGame::pushState(int32_t state) {
  if (states.stackDepth >= k_stateStackSize) return;
  states.stateStack[states.stackDepth] = states.gameState;
  states.stackDepth += 1;
  changeInGameState(state, true, false);
}

void cGame::popState() {
  if (states.stackDepth <= 0) return;
  states.stackDepth -= 1;
  int32_t t = states.stateStack[states.stackDepth];
  if (t == k_stateBreakChoice)
    restoreMenu(menu, kBreakChoiceItems, 9, 3, 3, this->menu.savedSelection);
  else if (t == k_stateCoinToss)
    restoreMenu(menu, kCoinTossItems, 8, 2, 2, this->menu.savedSelection);
  changeInGameState(t, false, true);
}

void cGame::updateCurrentState() {
  mapPointerToKeys(*this);
  if (states.gameState != k_stateIGM && frontEnd.completionNoticeShown && hasCompletionNotice(*this)) {
    updateCompletionNotice(*this);
    return;
  }
  if (states.inGame == 1) {
    updateInGame(*this);
    return;
  }
  if (states.gameState == k_stateStart) {
    setState(k_stateLoadInit);
  } else if (states.gameState == k_stateLoadInit) {
    if (updateLoadInit(*this)) setState(k_stateLogo);
  } else if (const cGameScreen* screen = frontEndScreens->find(states.gameState)) {
    if (screen->update) screen->update(*this);
  }
  frame.frontEndFrameCount += 1;
}

void cGame::paintCurrentState(Graphics* graphics) {
  frame.paintFrameCount += 1;
  frontEnd.paintTarget =
      (frontEnd.secondBufferOn && frontEnd.secondBufferGraphics) ? frontEnd.secondBufferGraphics : graphics;
  if (states.inGame == 1) {
    paintInGame(*this, frontEnd.paintTarget);
  } else if (states.gameState != k_stateStart && states.gameState != k_stateLoadInit) {
    if (const cGameScreen* screen = frontEndScreens->find(states.gameState))
      if (screen->paint) screen->paint(*this, frontEnd.paintTarget);
  }
  if (frontEnd.secondBufferOn && frontEnd.secondBufferImage && graphics)
    graphics->drawRegion(frontEnd.secondBufferImage, 0, 0, frontEnd.secondBufferImage->getWidth(),
                         frontEnd.secondBufferImage->getHeight(), 0, 0, 0, 0);
  if (isAchievementNoticeShown(*this)) {
    resetClip(frontEnd.paintTarget);
    paintAchievementNotices(*this);
  } else if (hasCompletionNotice(*this)) {
    frontEnd.completionNoticeShown = 1;
    resetClip(frontEnd.paintTarget);
    paintCompletionNotice(*this);
  }
}

void cGame::resetClip(Graphics* graphics) {
  if (graphics) graphics->setClip(0, 0, 240, 320);
}
