// The start of a match: the new match's set-up (500), its notices (640),
// the dispatch by game type (650) and the opponent's greeting (505), with
// the lag's explanation.
#include <algorithm>

#include "game/Korvane/cGame/cGame.h"
#include "game/Korvane/cGame/cGameDataIds.h"
#include "game/Korvane/cGame/cGameScreens.h"
#include "game/Korvane/cGame/cGameStylus.h"

namespace {

constexpr int32_t kHudInterface = 56;
constexpr int32_t kLagNoteMs = 4000;
constexpr int32_t k_textLagWinnerBreaks = 517, k_textLagHowTo = 519;

void announceLag(cGame& game) {
  // A match that opens with the lag says what it is for and what to do,
  // before the first lag shot.
  if (game.rules.rulesMode != RuleState::kModeLag || game.rules.lagSecondShot) return;
  addTextMessage(game, 2, k_textLagWinnerBreaks, kLagNoteMs);
  addTextMessage(game, 2, k_textLagHowTo, kLagNoteMs);
}

// ---- new match (500)

void startNewMatch(cGame& game) {
  resetMatchState(game);
  initFrame(game, true);
  game.match.currentPlayer = 0;
  game.table.panelX = 67;
  game.table.hudOffset = 0;
  selectInterface(game, kHudInterface);
  clearPottedBallLists(game);
  setInterfaceElementSprite(game, kHudInterface, 12, 13 + std::clamp(game.setup.playerCharacter[0], 0, 10));
  const int32_t rival = game.match.gameType == k_gameTypeCareer ? getRivalCharacter(game, game.setup.opponentSlot)
                                                                : game.setup.playerCharacter[1];
  setInterfaceElementSprite(game, kHudInterface, 13, 13 + std::clamp(rival, 0, 10));
  setElementPalette(game, 11, std::clamp(game.setup.tableIndex, 0, 8));
  clearMessages(game);
  game.dialog.life = -1;
  game.turn.messageText = -1;
  game.rules.winner = -1;
  game.turn.powerBarShown = game.turn.cueShown = game.turn.aimGuideShown = game.turn.handShown =
      game.turn.thinkingShown = game.turn.spinSelectorShown = game.turn.skipHintShown = 0;
  game.turn.showBallNumbers = game.turn.textBoxOn = game.turn.touchHint = 0;
  game.turn.hudHidden = 0;
  game.turn.leftSoftKeyText = -1;
  game.turn.computerSkipCount = 0;
  game.turn.missNoticeArmed = game.turn.missNoticeShown = game.turn.missFlag = 0;
  game.turn.backFromPower = game.turn.computerPassed = 0;
  setInterfaceElementVisible(game, kHudInterface, 129, false);
  setInterfaceElementVisible(game, kHudInterface, 130, false);
  game.setInGameState(k_stateMatchNotices);
}

// ---- notices (640)

void enterMatchNotices(cGame& game) {
  if (game.tutorial.started &&
      (game.tutorial.left || (game.match.ruleSet == k_ruleSetNineBall && !game.turn.pushOutExplained))) {
    if (game.tutorial.left) {
      game.setInGameState(k_stateContinue);
    } else {
      addTextMessage(game, 1, k_textPushOutRule, -1);
      game.turn.pushOutExplained = 1;
      game.turn.touchHint = 1;
    }
  } else {
    game.setInGameState(k_stateStartDispatch);
  }
}

void updateMatchNotices(cGame& game) {
  game.turn.touchHint = 0;
  game.setInGameState(k_stateStartDispatch);
}

// ---- start dispatch (650) and the opponent's greeting (505)

void startDispatch(cGame& game) {
  if (game.match.gameType == k_gameTypeCareer && game.career.progress.flagB) {
    game.career.progress.flagB = 0;
    saveProgress(game);
    // The match the offer interrupts: the tutorial, or the screen after a
    // "no", comes back to it.
    game.tutorial.savedGameType = game.match.gameType;
    game.tutorial.savedRuleSet = game.match.ruleSet;
    enterQuestionMenu(game, k_questionTutorialOffer, false);
    return;
  }
  switch (game.match.gameType) {
    case k_gameTypeCareer:
      playMusic(game, k_musicStart);
      game.setInGameState(k_stateBet);
      break;
    case k_gameTypeTutorial:
      game.setInGameState(k_stateTutorialLessonIntro);
      break;
    case k_gameTypeChallenge:
      game.setInGameState(k_stateChallengeIntro);
      break;
    case k_gameTypeSingleMatch:
      playMusic(game, k_musicStart);
      announceLag(game);
      chooseNextTurnState(game);
      break;
    default:
      game.setInGameState(k_stateOpponentIntro);
      break;
  }
}

void enterOpponentIntro(cGame& game) {
  game.match.currentPlayer = 1;
  const int32_t character =
      std::clamp(game.match.gameType == k_gameTypeCareer ? getRivalCharacter(game, game.setup.opponentSlot)
                                                         : game.setup.playerCharacter[1],
                 0, 10);
  openTextBox(game, k_textRivalGreeting0 + k_textRivalLineStride * character);
}

void updateOpponentIntro(cGame& game) {
  game.turn.touchHint = 1;
  if (!game.keys.isReleased(k_keyDismiss | rightSoftMask(game))) return;
  game.turn.touchHint = 0;
  game.match.currentPlayer = game.rules.normalPlay ? 0 : 1;
  playMusic(game, k_musicStart);
  announceLag(game);
  chooseNextTurnState(game);
}

}  // namespace

const cGameScreen k_screenMatchInit = {k_stateMatchInit, nullptr, nullptr, touch::mapNoButtons, startNewMatch,
                                       nullptr};
const cGameScreen k_screenMatchNotices = {k_stateMatchNotices, updateMatchNotices, paintTable,
                                          touch::mapTapAsFire, enterMatchNotices, nullptr};
const cGameScreen k_screenStartDispatch = {k_stateStartDispatch, updateOpponentIntro, paintTable,
                                           touch::mapNoButtons, startDispatch, nullptr};
const cGameScreen k_screenOpponentIntro = {k_stateOpponentIntro, updateOpponentIntro, paintTable,
                                           touch::mapTextBoxTap, enterOpponentIntro, closeTextBox};
