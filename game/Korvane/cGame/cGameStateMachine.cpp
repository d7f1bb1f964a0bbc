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

void cGame::setScreenTables(const cGameScreenTable* frontEnd, const cGameScreenTable* inGame) {
  this->frontEndScreens = frontEnd ? frontEnd : &k_frontEndScreens;
  this->inGameScreens = inGame ? inGame : &k_inGameScreens;
}

int32_t cGame::setState(int32_t state) {
  this->states.inGame = 0;
  if (this->states.gameState != k_stateMainMenuLoading && this->states.gameState != k_stateGameLoading &&
      this->states.gameState != k_stateVersus)
    this->states.previousState = this->states.gameState;
  this->states.gameState = state;
  this->states.subState = k_subStateInit;
  this->states.redrawCounters[0] = this->states.redrawCounters[1] = 5;
  for (uint8_t& f : this->states.screenFlags) f = 0;
  this->states.stateEntryTime = this->frame.gameClock;
  this->keys.lock(1);
  this->frame.waitCounter = 1;
  // A front-end state leaves whatever was pushed over a match behind.
  this->states.stackDepth = 0;
  return state;
}

void cGame::setInGameState(int32_t state) { changeInGameState(state, true, true); }

void cGame::changeInGameState(int32_t state, bool runInit, bool runLeave) {
  this->keys.lock(2);
  if (runLeave) {
    this->states.subState = k_subStateDestroy;
    updateInGame(*this);
  }
  this->states.inGame = 1;
  this->states.previousState = this->states.gameState;
  this->states.gameState = state;
  this->states.stateEntryTime = this->frame.gameClock;
  // A new match starts with an empty stack.
  if (state == k_stateMatchInit) this->states.stackDepth = 0;
  this->keys.lock(2);
  if (!runInit && state == k_stateQuestion && question.pendingAction != -1) {
    question.menuFlag = 0;
    setInGameState(k_stateQuestionMenu);
    question.pendingAction = -1;
  }
  if (runInit || state == k_stateContinue || state == k_stateInGameQuestion) {
    this->states.subState = k_subStateInit;
    updateInGame(*this);
  }
  this->states.subState = k_subStateInGameUpdate;
  this->keys.lock(2);
  this->states.redrawCounters[0] = 1;
}

void cGame::pushState(int32_t state) {
  if (this->states.stackDepth >= k_stateStackSize) return;
  this->states.stateStack[this->states.stackDepth] = this->states.gameState;
  this->states.stackDepth += 1;
  changeInGameState(state, true, false);
}

void cGame::popState() {
  if (this->states.stackDepth <= 0) return;
  this->states.stackDepth -= 1;
  int32_t t = this->states.stateStack[this->states.stackDepth];
  if (t == k_stateBreakChoice)
    restoreMenu(this->menu, kBreakChoiceItems, 9, 3, 3, this->savedMenuSelection);
  else if (t == k_stateCoinToss)
    restoreMenu(this->menu, kCoinTossItems, 8, 2, 2, this->savedMenuSelection);
  changeInGameState(t, false, true);
}

void cGame::updateCurrentState() {
  mapPointerToKeys(*this);
  if (this->states.gameState != k_stateIGM && this->frontEnd.completionNoticeShown && hasCompletionNotice(*this)) {
    updateCompletionNotice(*this);
    return;
  }
  if (this->states.inGame == 1) {
    updateInGame(*this);
    return;
  }
  if (this->states.gameState == k_stateStart) {
    setState(k_stateLoadInit);
  } else if (this->states.gameState == k_stateLoadInit) {
    if (updateLoadInit(*this)) setState(k_stateLogo);
  } else if (const cGameScreen* screen = this->frontEndScreens->find(this->states.gameState)) {
    if (screen->update) screen->update(*this);
  }
  this->frame.frontEndFrameCount += 1;
}

void cGame::paintCurrentState(Graphics* graphics) {
  this->frame.paintFrameCount += 1;
  this->frontEnd.paintTarget = (this->frontEnd.secondBufferOn && this->frontEnd.secondBufferGraphics)
                                   ? this->frontEnd.secondBufferGraphics
                                   : graphics;
  if (this->states.inGame == 1) {
    paintInGame(*this, this->frontEnd.paintTarget);
  } else if (this->states.gameState != k_stateStart && this->states.gameState != k_stateLoadInit) {
    if (const cGameScreen* screen = this->frontEndScreens->find(this->states.gameState))
      if (screen->paint) screen->paint(*this, this->frontEnd.paintTarget);
  }
  if (this->frontEnd.secondBufferOn && this->frontEnd.secondBufferImage && graphics)
    graphics->drawRegion(this->frontEnd.secondBufferImage, 0, 0, this->frontEnd.secondBufferImage->getWidth(),
                         this->frontEnd.secondBufferImage->getHeight(), 0, 0, 0, 0);
  if (isAchievementNoticeShown(*this)) {
    resetClip(this->frontEnd.paintTarget);
    paintAchievementNotices(*this);
  } else if (hasCompletionNotice(*this)) {
    this->frontEnd.completionNoticeShown = 1;
    resetClip(this->frontEnd.paintTarget);
    paintCompletionNotice(*this);
  }
}

void cGame::resetClip(Graphics* graphics) {
  if (graphics) graphics->setClip(0, 0, 240, 320);
}
