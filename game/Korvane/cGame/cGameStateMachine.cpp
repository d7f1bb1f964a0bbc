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
  m_frontEndScreens = frontEnd ? frontEnd : &k_frontEndScreens;
  m_inGameScreens = inGame ? inGame : &k_inGameScreens;
}

int32_t cGame::setState(int32_t state) {
  m_inGame = 0;
  if (s_gameState != k_stateMainMenuLoading && s_gameState != k_stateGameLoading && s_gameState != k_stateVersus)
    m_previousState = s_gameState;
  s_gameState = state;
  m_subState = k_subStateInit;
  m_redrawCounters[0] = m_redrawCounters[1] = 5;
  for (uint8_t& f : m_screenFlags) f = 0;
  m_stateEntryTime = m_gameClock;
  m_keys.lock(1);
  m_waitCounter = 1;
  // A front-end state leaves whatever was pushed over a match behind.
  m_stackDepth = 0;
  return state;
}

void cGame::setInGameState(int32_t state) { changeInGameState(state, true, true); }

void cGame::changeInGameState(int32_t state, bool runInit, bool runLeave) {
  m_keys.lock(2);
  if (runLeave) {
    m_subState = k_subStateDestroy;
    updateInGame(*this);
  }
  m_inGame = 1;
  m_previousState = s_gameState;
  s_gameState = state;
  m_stateEntryTime = m_gameClock;
  // A new match starts with an empty stack.
  if (state == k_stateMatchInit) m_stackDepth = 0;
  m_keys.lock(2);
  if (!runInit && state == k_stateQuestion && question.pendingAction != -1) {
    question.menuFlag = 0;
    setInGameState(k_stateQuestionMenu);
    question.pendingAction = -1;
  }
  if (runInit || state == k_stateContinue || state == k_stateInGameQuestion) {
    m_subState = k_subStateInit;
    updateInGame(*this);
  }
  m_subState = k_subStateInGameUpdate;
  m_keys.lock(2);
  m_redrawCounters[0] = 1;
}

void cGame::pushState(int32_t state) {
  if (m_stackDepth >= k_stateStackSize) return;
  m_stateStack[m_stackDepth] = s_gameState;
  m_stackDepth += 1;
  changeInGameState(state, true, false);
}

void cGame::popState() {
  if (m_stackDepth <= 0) return;
  m_stackDepth -= 1;
  int32_t t = m_stateStack[m_stackDepth];
  if (t == k_stateBreakChoice)
    restoreMenu(m_menu, kBreakChoiceItems, 9, 3, 3, m_savedMenuSelection);
  else if (t == k_stateCoinToss)
    restoreMenu(m_menu, kCoinTossItems, 8, 2, 2, m_savedMenuSelection);
  changeInGameState(t, false, true);
}

void cGame::updateCurrentState() {
  mapPointerToKeys(*this);
  if (s_gameState != k_stateIGM && m_completionNoticeShown && hasCompletionNotice(*this)) {
    updateCompletionNotice(*this);
    return;
  }
  if (m_inGame == 1) {
    updateInGame(*this);
    return;
  }
  if (s_gameState == k_stateStart) {
    setState(k_stateLoadInit);
  } else if (s_gameState == k_stateLoadInit) {
    if (updateLoadInit(*this)) setState(k_stateLogo);
  } else if (const cGameScreen* screen = m_frontEndScreens->find(s_gameState)) {
    if (screen->update) screen->update(*this);
  }
  m_frontEndFrameCount += 1;
}

void cGame::paintCurrentState(Graphics* graphics) {
  m_paintFrameCount += 1;
  m_paintTarget = (m_secondBufferOn && m_secondBufferGraphics) ? m_secondBufferGraphics : graphics;
  if (m_inGame == 1) {
    paintInGame(*this, m_paintTarget);
  } else if (s_gameState != k_stateStart && s_gameState != k_stateLoadInit) {
    if (const cGameScreen* screen = m_frontEndScreens->find(s_gameState))
      if (screen->paint) screen->paint(*this, m_paintTarget);
  }
  if (m_secondBufferOn && m_secondBufferImage && graphics)
    graphics->drawRegion(m_secondBufferImage, 0, 0, m_secondBufferImage->getWidth(), m_secondBufferImage->getHeight(),
                         0, 0, 0, 0);
  if (isAchievementNoticeShown(*this)) {
    resetClip(m_paintTarget);
    paintAchievementNotices(*this);
  } else if (hasCompletionNotice(*this)) {
    m_completionNoticeShown = 1;
    resetClip(m_paintTarget);
    paintCompletionNotice(*this);
  }
}

void cGame::resetClip(Graphics* graphics) {
  if (graphics) graphics->setClip(0, 0, 240, 320);
}
