// Screens that end a match: the retry question (320), the career post-match
// menu (360) and the screen after the tutorial (400). The first two leave
// the match through the main-menu loading, which goes on where they say.
#include "game/Korvane/cGame/cGame.h"
#include "game/Korvane/cGame/cGameScreens.h"
#include "game/Korvane/cGame/cGameDataIds.h"
#include "game/Korvane/cGame/cGameStylus.h"

const uint32_t k_postMatchMenuItems[4] = {k_textAnotherMatch, k_textVisitShop, k_textPlayChallenges, k_textQuitMatch};
const uint32_t k_postMatchDescriptions[4] = {k_textAnotherMatchNote, k_textVisitShopNote, k_textPlayChallengesNote,
                                             k_textQuitToMenuNote};

namespace {

const uint32_t kRetryItems[] = {k_textYes, k_textNo};
constexpr int32_t kPubSpotChallenges = 3, kPubSpotShop = 4;

}  // namespace

// ---- retry question (320)

void updateRetryQuestion(cGame& game) {
  if (game.states.subState == k_subStateDestroy) return;
  if (game.states.subState == k_subStateInit) {
    captureTableBackground(game);
    selectInterface(game, k_interfaceRetry);
    resetInterfaceAnimation(game, false);
    initMenu(game, kRetryItems, k_retryList, 2, true);
    setMenuCount(game, 2);
    for (int32_t e = k_retryNoteBox; e < k_retryNoteBox + 3; ++e)
      setElementVisible(game, e, game.match.gameType == k_gameTypeTournament);
    if (game.frontEnd.backLayer) {
      game.resetClip(game.frontEnd.backLayer);
      paintInterfaceLayer(game, true);
    }
    game.menu.selection = -1;
    return;
  }
  selectInterface(game, k_interfaceRetry);
  const int32_t id = updateMenu(game);
  updateMenuArrows(game, k_retryArrowUp, k_retryArrowDown, false);
  showMenuScrollArrows(game, k_retryArrowUp, k_retryArrowDown);
  if (id < 1) {
    if (game.keys.isPressed(k_keyBack)) {
      game.question.menuFlag = 0;
      enterIGM(game);
    }
    return;
  }
  if (id == k_textYes) {
    game.setInGameState(k_stateMatchInit);
  } else if (id == k_textNo) {
    if (game.match.gameType == k_gameTypeTutorial && game.tutorial.started) {
      game.setInGameState(k_stateContinue);
      return;
    }
    if (game.match.gameType == k_gameTypeChallenge) game.loading.pendingReturnState = k_stateChallengeList;
    game.frontEnd.menusOverMatch = 0;
    game.setState(k_stateMainMenuLoading);
  }
}

void paintRetryQuestion(cGame& game, Graphics* g) {
  selectInterface(game, k_interfaceRetry);
  game.resetClip(g);
  drawSavedBackground(game, g);
  paintInterface(game);
  paintMenu(game);
  // A challenge has no opponent: its own words.
  drawElementText(game, k_retryBody,
                  game.match.gameType == k_gameTypeTutorial    ? k_textRetryTutorial
                  : game.match.gameType == k_gameTypeChallenge ? k_textRetryChallenge
                                                               : k_textRetryBody);
  drawElementText(game, k_retryTitle, k_textRetryTitle);
  if (game.match.gameType == k_gameTypeTournament) {
    setTextParam(game, 0, 3 - static_cast<int32_t>(game.career.progress.counterC));
    drawElementText(game, k_retryNote, k_textRetriesLeft);
  }
}

// ---- post-match menu (360)

void updatePostMatchMenu(cGame& game) {
  if (game.states.subState == k_subStateDestroy) return;
  if (game.states.subState == k_subStateInit) {
    captureTableBackground(game);
    selectInterface(game, k_interfacePostMatch);
    resetInterfaceAnimation(game, false);
    initMenu(game, k_postMatchMenuItems, k_postMatchList, 4, true);
    setMenuCount(game, 4);
    if (game.frontEnd.backLayer) {
      game.resetClip(game.frontEnd.backLayer);
      paintInterfaceLayer(game, true);
    }
    game.menu.selection = -1;
    return;
  }
  selectInterface(game, k_interfacePostMatch);
  const int32_t id = updateMenu(game);
  updateMenuArrows(game, k_postMatchArrowUp, k_postMatchArrowDown, false);
  showMenuScrollArrows(game, k_postMatchArrowUp, k_postMatchArrowDown);
  int32_t next = -1;
  switch (id) {
    case k_textAnotherMatch:
      game.inGameMenus.anotherMatch = 1;
      next = k_stateStakeChoice;
      break;
    case k_textPlayChallenges:
      game.career.pubSpot = kPubSpotChallenges;
      next = k_stateChallengeMenu;
      break;
    case k_textVisitShop:
      game.career.pubSpot = kPubSpotShop;
      next = game.career.progress.shopExplanationPending ? k_stateShopExplanation : k_stateShop;
      break;
    case k_textQuitMatch: next = k_stateMainMenu; break;
    default: return;  // the back key is the match epilogue's
  }
  game.frontEnd.menusOverMatch = 0;
  game.loading.pendingReturnState = next;
  game.setState(k_stateMainMenuLoading);
}

void paintPostMatchMenu(cGame& game, Graphics* g) {
  selectInterface(game, k_interfacePostMatch);
  // The second tap's look: the prompt and the back button while a row waits.
  const bool armed = game.states.screenFlags[k_screenFlagPostMatchConfirm] != 0;
  setElementVisible(game, k_postMatchBack, armed);
  setElementFrame(game, k_postMatchBack, game.stylus.rightSoftHighlight ? k_uiFrameBackPressed : k_uiFrameBack);
  game.resetClip(g);
  drawSavedBackground(game, g);
  paintInterface(game);
  drawElementText(game, k_postMatchTitle, k_textPostMatchTitle);
  const int32_t row = game.menu.selection;
  if (row >= 0 && row < 4)
    drawElementText(game, k_postMatchDescription, static_cast<int32_t>(k_postMatchDescriptions[row]));
  if (armed && isBlinkOn(game)) drawElementText(game, k_postMatchPrompt, k_textTouchPrompt);
  paintMenu(game);
}

// ---- after the tutorial (400)

void updateContinueScreen(cGame& game) {
  if (game.states.subState == k_subStateDestroy) return;
  if (game.states.subState == k_subStateInit) {
    captureTableBackground(game);
    selectInterface(game, k_interfaceContinue);
    resetInterfaceAnimation(game, false);
    if (game.frontEnd.backLayer) {
      game.resetClip(game.frontEnd.backLayer);
      paintInterfaceLayer(game, true);
    }
    return;
  }
  if (!game.keys.isPressed(k_keySelect)) return;
  if (game.tutorial.left) {
    game.tutorial.left = 0;
    saveSettings(game);
    game.setInGameState(k_stateStartDispatch);
  } else {
    returnFromTutorial(game);
  }
}

void paintContinueScreen(cGame& game, Graphics* g) {
  selectInterface(game, k_interfaceContinue);
  setElementFrame(game, k_continueButton, game.stylus.leftSoftHighlight ? k_uiFrameButtonPressed : k_uiFrameButton);
  game.resetClip(g);
  drawSavedBackground(game, g);
  paintInterface(game);
  // After the tutorial offer was declined no lesson was played: the screen
  // says the match comes next, not that the tutorial is over.
  drawElementText(game, k_continueText, game.question.menuFlag ? k_textTutorialDeclined : k_textTutorialEnd);
}

// ---------------------------------------------------- touch mapping and rows

namespace {

using namespace touch;

void mapInGameQuestion(cGame& g) { mapRows(g, {153, 205}, 40); }

void mapPostMatchMenu(cGame& g) {
  uint8_t& armed = g.states.screenFlags[k_screenFlagPostMatchConfirm];
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

const cGameScreen k_screenInGameQuestion = {k_stateInGameQuestion, updateRetryQuestion, paintRetryQuestion,
                                            mapInGameQuestion};
const cGameScreen k_screenPostMatchMenu = {k_statePostMatchMenu, updatePostMatchMenu, paintPostMatchMenu,
                                           mapPostMatchMenu};
const cGameScreen k_screenContinue = {k_stateContinue, updateContinueScreen, paintContinueScreen, mapContinue};
