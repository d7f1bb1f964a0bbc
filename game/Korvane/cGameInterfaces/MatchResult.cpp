// The after-match screen (280): the match's trick-shot points counted up line
// by line, the prize and the bet paid; then the unlock check, which decides
// where a finished match leads.
#include <algorithm>

#include "game/Korvane/cGame/cGame.h"
#include "game/Korvane/cGame/cGameDataIds.h"
#include "game/Korvane/cGame/cGameScreens.h"
#include "game/Korvane/cGame/cGameStylus.h"
#include "zul/memory/Debug.h"

namespace {

constexpr int32_t kSpecialRival = 10, kLastRival = 8;
constexpr int32_t kResultLines = 4;
constexpr int32_t kCharacters = 10;

}  // namespace

int32_t resultLineValue(const cGame& game, int32_t line, int32_t value) {
  if (line != game.matchResult.line) return value;
  const int64_t t = std::clamp(game.matchResult.lineTime, 0, k_resultCountMs);
  return static_cast<int32_t>(static_cast<int64_t>(value) * t / k_resultCountMs);
}

void updateMatchResult(cGame& game) {
  if (game.states.subState == k_subStateDestroy) return;
  if (game.states.subState == k_subStateInit) {
    captureTableBackground(game);
    selectInterface(game, k_interfaceMatchResult);
    resetInterfaceAnimation(game, false);
    if (game.frontEnd.backLayer) {
      game.resetClip(game.frontEnd.backLayer);
      paintInterfaceLayer(game, true);
    }
    game.matchResult.career = game.match.gameType == k_gameTypeCareer ? 1 : 0;
    CareerProgress& c = game.career.progress;
    game.matchResult.moneyBefore = getCareerMoney(game);
    game.matchResult.bankPoints = game.rules.bankShotCount * 100;
    game.matchResult.comboPoints = game.rules.comboShotCount * 200;
    game.matchResult.streakPointsWon = game.rules.streakPoints * 100;
    game.matchResult.multiPotPointsWon = game.rules.multiPotPoints * 500;
    game.matchResult.total = game.matchResult.bankPoints + game.matchResult.comboPoints +
                             game.matchResult.streakPointsWon + game.matchResult.multiPotPointsWon;
    const bool humanWon = game.rules.winner == 0;
    if (humanWon) {
      if (game.setup.opponentSlot == kSpecialRival) {
        c.specialRivalBeaten = 1;
      } else if (game.matchResult.career && game.setup.opponentSlot >= 0 && game.setup.opponentSlot < kLastRival) {
        c.pendingUnlockSlot = game.setup.opponentSlot + 1;
        c.pendingChallengeIndex = game.setup.opponentSlot;
        c.pendingCharacterUnlock = 1;
        c.pendingChallengeUnlock = 1;
      }
    }
    game.matchResult.betResult =
        game.matchResult.career ? (humanWon ? game.setup.currentBet : -game.setup.currentBet) : 0;
    // A lost bet takes the money to 0 at most.
    addCareerMoney(game, int64_t{game.matchResult.total} + game.matchResult.betResult);
    updateAchievementPercentages(game);
    if (!game.career.specialRivalOpen && countCompletedCategories(game) == k_achievementCategories) {
      game.career.specialRivalOpen = 1;
      saveSettings(game);  // the flag is a settings byte
    }
    saveProgress(game);
    game.matchResult.line = -1;
    game.matchResult.lineTime = 0;
    return;
  }
  if (game.matchResult.line < 0 || game.matchResult.lineTime >= k_resultLineMs) {
    game.matchResult.line += 1;
    game.matchResult.lineTime = 0;
    if (game.matchResult.line < kResultLines) vibrate(game, game.sound.vibrationTime);
  }
  game.matchResult.lineTime += game.frame.frameTime;
  if (game.keys.isPressed(k_keySelect)) {
    if (game.matchResult.line < kResultLines) {
      game.matchResult.line = kResultLines;
      game.keys.lock(3);
    } else {
      checkUnlocks(game);
    }
  } else if (game.keys.isPressed(k_keyBack)) {
    game.frontEnd.menusOverMatch = 0;
    game.setState(k_stateMainMenuLoading);
  }
}

void paintMatchResultLine(cGame& game, int32_t line, int32_t value, int32_t element, int32_t textId) {
  if (game.matchResult.line < line) return;
  setTextParam(game, 0, resultLineValue(game, line, value));
  drawElementText(game, element, textId);
}

void paintMatchResult(cGame& game, Graphics* g) {
  selectInterface(game, k_interfaceMatchResult);
  game.resetClip(g);
  drawSavedBackground(game, g);
  paintInterface(game);
  drawElementText(game, k_resultTitle, k_textResultTitle);
  drawElementText(game, k_resultHeader, k_textResultHeader);
  for (int32_t i = 0; i < 3; ++i) drawElementText(game, k_resultLabel0 + i, k_textResultLabel0 + i);
  drawElementText(game, k_resultLabel0 + 3, k_textResultLabel0 + 3);
  const int32_t counts[kResultLines] = {game.rules.bankShotCount, game.rules.comboShotCount, game.rules.streakPoints,
                                        game.rules.multiPotPoints};
  const int32_t points[kResultLines] = {game.matchResult.bankPoints, game.matchResult.comboPoints,
                                        game.matchResult.streakPointsWon, game.matchResult.multiPotPointsWon};
  for (int32_t line = 0; line < kResultLines; ++line) {
    paintMatchResultLine(game, line, counts[line], k_resultCount0 + line, k_textCount);
    paintMatchResultLine(game, line, points[line], k_resultPoints0 + line, k_textMoney);
  }
  if (game.matchResult.line >= kResultLines) {
    drawElementText(game, k_resultTotalsHeader, k_textResultTotals);
    drawElementText(game, k_resultMoneyBeforeLabel, k_textResultMoneyBefore);
    drawElementText(game, k_resultTotalLabel, k_textResultTotal);
    setTextParam(game, 0, game.matchResult.moneyBefore);
    drawElementText(game, k_resultMoneyBefore, k_textMoney);
    setTextParam(game, 0, game.matchResult.total);
    drawElementText(game, k_resultTotal, k_textMoney);
    if (game.matchResult.career) {
      drawElementText(game, k_resultBetLabel, k_textResultBet);
      drawElementText(game, k_resultBetResultLabel, k_textResultBetResult);
      setTextParam(game, 0, game.setup.currentBet);
      drawElementText(game, k_resultBet, k_textMoney);
      // A lost bet reads "-$25".
      const int32_t bet = game.matchResult.betResult;
      setTextParam(game, 0, bet < 0 ? -bet : bet);
      drawElementText(game, k_resultBetResult, bet < 0 ? k_textMoneyLost : k_textMoney);
    }
  }
  drawElementText(game, k_resultMoneyLabel, k_textResultMoney);
  setTextParam(game, 0, getCareerMoney(game));
  drawElementText(game, k_resultMoney, k_textMoney);
  if (isBlinkOn(game)) drawElementText(game, k_resultPrompt, k_textTouchPrompt);
}

// ---- the unlock check

void checkUnlocks(cGame& game) {
  CareerProgress& c = game.career.progress;
  const bool humanWon = game.rules.winner == 0;
  auto leaveFor = [&game](int32_t state) {
    game.frontEnd.menusOverMatch = 0;
    game.loading.pendingReturnState = state;
    game.setState(k_stateMainMenuLoading);
  };
  if (game.setup.opponentSlot == kSpecialRival && game.match.gameType != k_gameTypeQuickMatch) {
    if (humanWon) {
      c.specialRivalBeaten = 1;
      saveProgress(game);
    }
    leaveFor(k_statePub);
    return;
  }
  if (game.match.gameType != k_gameTypeCareer) {
    if (game.match.gameType == k_gameTypeQuickMatch && humanWon) {
      leaveFor(k_stateMainMenu);
    } else {
      game.question.menuFlag = 0;
      game.setInGameState(k_stateInGameQuestion);
    }
    return;
  }
  const int32_t s = std::clamp(game.setup.opponentSlot, 0, kLastRival);
  if (!humanWon) {
    if (!canAffordStake(game, stakeLevelOfSlot(s)))
      leaveFor(k_stateStakeChoice);
    else
      game.setInGameState(k_stateInGameQuestion);
    return;
  }
  const int32_t rival = getRivalCharacter(game, s);
  if (rival >= 0 && rival < kCharacters) c.won[rival] = 1;
  saveProgress(game);
  if (s < kLastRival && (c.challengeStates[0][s] & 3) == 0) {
    debugTrace("\n challengeToUnlock");
    game.setInGameState(k_stateChallengeUnlocked);
  } else if (s + 1 < 9 && !game.career.characterAvailable[s + 1]) {
    debugTrace("\n characterToUnlock");
    game.setInGameState(k_stateCharacterUnlocked);
  } else {
    debugTrace("\n LAST_CHARACTER_TO_UNLOCK");
    if (s + 1 == 9 && game.career.characterAvailable[9] && !game.career.completeShown) {
      game.career.completeShown = 1;
      saveSettings(game);
      leaveFor(k_stateCareerComplete);
    } else {
      game.setInGameState(k_statePostMatchMenu);
    }
  }
}

// ---------------------------------------------------- touch mapping and rows

namespace {

using namespace touch;

// A tap goes on.
void mapGameOver(cGame& g) {
  if (up(g, kWholeScreen)) press(g, k_touchKeyLeftSoft);
}

}  // namespace

const cGameScreen k_screenGameOver = {k_stateGameOver, updateMatchResult, paintMatchResult, mapGameOver};
