// Screens that end a match: the retry question (320), the career post-match
// menu (360) and the screen after the tutorial (400). The first two leave
// the match through the main-menu loading, which goes on where they say.
#include "game/Korvane/cGame/cGame.h"
#include "game/Korvane/cGame/cGameScreens.h"
#include "game/Korvane/cGame/cGameDataIds.h"
#include "game/Korvane/cGame/cGameStylus.h"

const uint32_t cGame::k_postMatchMenuItems[4] = {k_textAnotherMatch, k_textVisitShop, k_textPlayChallenges,
                                                 k_textQuitMatch};
const uint32_t cGame::k_postMatchDescriptions[4] = {k_textAnotherMatchNote, k_textVisitShopNote,
                                                    k_textPlayChallengesNote, k_textQuitToMenuNote};

namespace {

constexpr int32_t kGameTournament = 2, kGameChallenge = 4, kGameTutorial = 5;
const uint32_t kRetryItems[] = {k_textYes, k_textNo};
constexpr int32_t kPubSpotChallenges = 3, kPubSpotShop = 4;
constexpr const char* kTouchToContinue = "Touch screen to continue";

}  // namespace

// ---- retry question (320)

void cGame::updateRetryQuestion() {
  if (m_subState == k_subStateDestroy) return;
  if (m_subState == k_subStateInit) {
    captureTableBackground();
    selectInterface(k_interfaceRetry);
    resetInterfaceAnimation(false);
    initMenu(kRetryItems, k_retryList, 2, true);
    setMenuCount(2);
    for (int32_t e = k_retryNoteBox; e < k_retryNoteBox + 3; ++e) setElementVisible(e, gameType == kGameTournament);
    if (m_backLayer) {
      resetClip(m_backLayer);
      paintInterfaceLayer(true);
    }
    m_menu.selection = -1;
    return;
  }
  selectInterface(k_interfaceRetry);
  const int32_t id = updateMenu();
  updateMenuArrows(k_retryArrowUp, k_retryArrowDown, false);
  showMenuScrollArrows(k_retryArrowUp, k_retryArrowDown);
  if (id < 1) {
    if (m_keys.isPressed(k_keyBack)) {
      question.menuFlag = 0;
      enterIGM();
    }
    return;
  }
  if (id == k_textYes) {
    setInGameState(k_stateMatchInit);
  } else if (id == k_textNo) {
    if (gameType == kGameTutorial && tutorialStarted) {
      setInGameState(k_stateContinue);
      return;
    }
    if (gameType == kGameChallenge) m_pendingReturnState = k_stateChallengeList;
    m_menusOverMatch = 0;
    setState(k_stateMainMenuLoading);
  }
}

void cGame::paintRetryQuestion(Graphics* g) {
  selectInterface(k_interfaceRetry);
  resetClip(g);
  drawSavedBackground(g);
  paintInterface();
  paintMenu();
  // A challenge has no opponent: its own words.
  drawElementText(k_retryBody, gameType == kGameTutorial    ? k_textRetryTutorial
                               : gameType == kGameChallenge ? k_textRetryChallenge
                                                            : k_textRetryBody);
  drawElementText(k_retryTitle, k_textRetryTitle);
  if (gameType == kGameTournament) {
    setTextParam(0, 3 - static_cast<int32_t>(m_career.counterC));
    drawElementText(k_retryNote, k_textRetriesLeft);
  }
}

// ---- post-match menu (360)

void cGame::updatePostMatchMenu() {
  if (m_subState == k_subStateDestroy) return;
  if (m_subState == k_subStateInit) {
    captureTableBackground();
    selectInterface(k_interfacePostMatch);
    resetInterfaceAnimation(false);
    initMenu(k_postMatchMenuItems, k_postMatchList, 4, true);
    setMenuCount(4);
    if (m_backLayer) {
      resetClip(m_backLayer);
      paintInterfaceLayer(true);
    }
    m_menu.selection = -1;
    return;
  }
  selectInterface(k_interfacePostMatch);
  const int32_t id = updateMenu();
  updateMenuArrows(k_postMatchArrowUp, k_postMatchArrowDown, false);
  showMenuScrollArrows(k_postMatchArrowUp, k_postMatchArrowDown);
  int32_t next = -1;
  switch (id) {
    case k_textAnotherMatch:
      inGameMenus.anotherMatch = 1;
      next = k_stateStakeChoice;
      break;
    case k_textPlayChallenges:
      m_pubSpot = kPubSpotChallenges;
      next = k_stateChallengeMenu;
      break;
    case k_textVisitShop:
      m_pubSpot = kPubSpotShop;
      next = m_career.shopExplanationPending ? k_stateShopExplanation : k_stateShop;
      break;
    case k_textQuitMatch: next = k_stateMainMenu; break;
    default: return;  // the back key is the match epilogue's
  }
  m_menusOverMatch = 0;
  m_pendingReturnState = next;
  setState(k_stateMainMenuLoading);
}

void cGame::paintPostMatchMenu(Graphics* g) {
  selectInterface(k_interfacePostMatch);
  // The second tap's look: the prompt and the back button while a row waits.
  const bool armed = m_screenFlags[k_screenFlagPostMatchConfirm] != 0;
  setElementVisible(k_postMatchBack, armed);
  setElementFrame(k_postMatchBack, m_rightSoftHighlight ? k_uiFrameBackPressed : k_uiFrameBack);
  resetClip(g);
  drawSavedBackground(g);
  paintInterface();
  drawElementText(k_postMatchTitle, k_textPostMatchTitle);
  const int32_t row = m_menu.selection;
  if (row >= 0 && row < 4) drawElementText(k_postMatchDescription, static_cast<int32_t>(k_postMatchDescriptions[row]));
  if (armed && isBlinkOn()) drawElementString(k_postMatchPrompt, kTouchToContinue);
  paintMenu();
}

// ---- after the tutorial (400)

void cGame::updateContinueScreen() {
  if (m_subState == k_subStateDestroy) return;
  if (m_subState == k_subStateInit) {
    captureTableBackground();
    selectInterface(k_interfaceContinue);
    resetInterfaceAnimation(false);
    if (m_backLayer) {
      resetClip(m_backLayer);
      paintInterfaceLayer(true);
    }
    return;
  }
  if (!m_keys.isPressed(k_keySelect)) return;
  if (m_tutorialLeft) {
    m_tutorialLeft = 0;
    saveSettings();
    setInGameState(k_stateStartDispatch);
  } else {
    returnFromTutorial();
  }
}

void cGame::paintContinueScreen(Graphics* g) {
  selectInterface(k_interfaceContinue);
  setElementFrame(k_continueButton, m_leftSoftHighlight ? k_uiFrameButtonPressed : k_uiFrameButton);
  resetClip(g);
  drawSavedBackground(g);
  paintInterface();
  // After the tutorial offer was declined no lesson was played: the screen
  // says the match comes next, not that the tutorial is over.
  drawElementText(k_continueText, question.menuFlag ? k_textTutorialDeclined : k_textTutorialEnd);
}

// ---------------------------------------------------- touch mapping and rows

namespace {

using namespace touch;

void mapInGameQuestion(cGame& g) { mapRows(g, {153, 205}, 40); }

void mapPostMatchMenu(cGame& g) {
  uint8_t& armed = g.m_screenFlags[k_screenFlagPostMatchConfirm];
  if (!armed) {
    Rect rows[4];
    int32_t values[4];
    for (int32_t i = 0; i < 4; ++i) {
      rows[i] = row(97 + 35 * i, 20);
      values[i] = i;
    }
    rowsDown(g, rows, values, 4, -1, false);
    if (rowsUp(g, rows, 4) >= 0) armed = 1;
    return;
  }
  confirmTap(g, armed);
}

void mapContinue(cGame& g) { mapMainButton(g, {100, 290, 40, 40}); }

}  // namespace

const cGameScreen k_screenInGameQuestion = {k_stateInGameQuestion, [](cGame& g) { g.updateRetryQuestion(); },
                                            [](cGame& g, Graphics* t) { g.paintRetryQuestion(t); }, mapInGameQuestion};
const cGameScreen k_screenPostMatchMenu = {k_statePostMatchMenu, [](cGame& g) { g.updatePostMatchMenu(); },
                                           [](cGame& g, Graphics* t) { g.paintPostMatchMenu(t); }, mapPostMatchMenu};
const cGameScreen k_screenContinue = {k_stateContinue, [](cGame& g) { g.updateContinueScreen(); },
                                      [](cGame& g, Graphics* t) { g.paintContinueScreen(t); }, mapContinue};
