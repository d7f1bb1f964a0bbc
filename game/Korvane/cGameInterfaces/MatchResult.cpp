// The after-match screen (280): the match's trick-shot points counted up line
// by line, the prize and the bet paid; then the unlock check, which decides
// where a finished match leads.
#include <algorithm>

#include "game/Korvane/cGame/cGame.h"
#include "game/Korvane/cGame/cGameScreens.h"
#include "game/Korvane/cGame/cGameDataIds.h"
#include "game/Korvane/cGame/cGameStylus.h"
#include "windows_brew/memory/Debug.h"

namespace {

constexpr int32_t kGameQuick = 0, kGameCareer = 3;
constexpr int32_t kSpecialRival = 10, kLastRival = 8;
constexpr int32_t kResultLines = 4;
constexpr int32_t kCharacters = 10;
constexpr const char* kTouchToContinue = "Touch screen to continue";

}  // namespace

int32_t cGame::resultLineValue(int32_t line, int32_t value) const {
  if (line != matchResult.line) return value;
  const int64_t t = std::clamp(matchResult.lineTime, 0, k_resultCountMs);
  return static_cast<int32_t>(static_cast<int64_t>(value) * t / k_resultCountMs);
}

void cGame::updateMatchResult() {
  if (m_subState == k_subStateDestroy) return;
  if (m_subState == k_subStateInit) {
    captureTableBackground();
    selectInterface(k_interfaceMatchResult);
    resetInterfaceAnimation(false);
    if (m_backLayer) {
      resetClip(m_backLayer);
      paintInterfaceLayer(true);
    }
    matchResult.career = gameType == kGameCareer ? 1 : 0;
    CareerProgress& c = m_career;
    matchResult.moneyBefore = static_cast<int32_t>(std::min<uint32_t>(c.money, INT32_MAX));
    matchResult.bankPoints = m_rules.bankShotCount * 100;
    matchResult.comboPoints = m_rules.comboShotCount * 200;
    matchResult.streakPointsWon = m_rules.streakPoints * 100;
    matchResult.multiPotPointsWon = m_rules.multiPotPoints * 500;
    matchResult.total =
        matchResult.bankPoints + matchResult.comboPoints + matchResult.streakPointsWon + matchResult.multiPotPointsWon;
    const bool humanWon = m_rules.winner == 0;
    if (humanWon) {
      if (opponentSlot == kSpecialRival) {
        c.specialRivalBeaten = 1;
      } else if (matchResult.career && opponentSlot >= 0 && opponentSlot < kLastRival) {
        c.pendingUnlockSlot = opponentSlot + 1;
        c.pendingChallengeIndex = opponentSlot;
        c.pendingCharacterUnlock = 1;
        c.pendingChallengeUnlock = 1;
      }
    }
    matchResult.betResult = matchResult.career ? (humanWon ? currentBet : -currentBet) : 0;
    // A lost bet takes the money to 0 at most.
    const int64_t money = static_cast<int64_t>(c.money) + matchResult.total + matchResult.betResult;
    c.money = static_cast<uint32_t>(std::clamp<int64_t>(money, 0, UINT32_MAX));
    updateAchievementPercentages();
    if (!specialRivalOpen && countCompletedCategories() == k_achievementCategories) {
      specialRivalOpen = 1;
      saveSettings();  // the flag is a settings byte
    }
    saveProgress();
    matchResult.line = -1;
    matchResult.lineTime = 0;
    return;
  }
  if (matchResult.line < 0 || matchResult.lineTime >= k_resultLineMs) {
    matchResult.line += 1;
    matchResult.lineTime = 0;
    if (matchResult.line < kResultLines) vibrate(m_vibrationTime);
  }
  matchResult.lineTime += m_frameTime;
  if (m_keys.isPressed(k_keySelect)) {
    if (matchResult.line < kResultLines) {
      matchResult.line = kResultLines;
      m_keys.lock(3);
    } else {
      checkUnlocks();
    }
  } else if (m_keys.isPressed(k_keyBack)) {
    m_menusOverMatch = 0;
    setState(k_stateMainMenuLoading);
  }
}

void cGame::paintMatchResultLine(int32_t line, int32_t value, int32_t element, int32_t textId) {
  if (matchResult.line < line) return;
  setTextParam(0, resultLineValue(line, value));
  drawElementText(element, textId);
}

void cGame::paintMatchResult(Graphics* g) {
  selectInterface(k_interfaceMatchResult);
  resetClip(g);
  drawSavedBackground(g);
  paintInterface();
  drawElementText(k_resultTitle, k_textResultTitle);
  drawElementText(k_resultHeader, k_textResultHeader);
  for (int32_t i = 0; i < 3; ++i) drawElementText(k_resultLabel0 + i, k_textResultLabel0 + i);
  drawElementText(k_resultLabel0 + 3, k_textResultLabel0 + 3);
  const int32_t counts[kResultLines] = {m_rules.bankShotCount, m_rules.comboShotCount, m_rules.streakPoints,
                                        m_rules.multiPotPoints};
  const int32_t points[kResultLines] = {matchResult.bankPoints, matchResult.comboPoints, matchResult.streakPointsWon,
                                        matchResult.multiPotPointsWon};
  for (int32_t line = 0; line < kResultLines; ++line) {
    paintMatchResultLine(line, counts[line], k_resultCount0 + line, k_textCount);
    paintMatchResultLine(line, points[line], k_resultPoints0 + line, k_textMoney);
  }
  if (matchResult.line >= kResultLines) {
    drawElementText(k_resultTotalsHeader, k_textResultTotals);
    drawElementText(k_resultMoneyBeforeLabel, k_textResultMoneyBefore);
    drawElementText(k_resultTotalLabel, k_textResultTotal);
    setTextParam(0, matchResult.moneyBefore);
    drawElementText(k_resultMoneyBefore, k_textMoney);
    setTextParam(0, matchResult.total);
    drawElementText(k_resultTotal, k_textMoney);
    if (matchResult.career) {
      drawElementText(k_resultBetLabel, k_textResultBet);
      drawElementText(k_resultBetResultLabel, k_textResultBetResult);
      setTextParam(0, currentBet);
      drawElementText(k_resultBet, k_textMoney);
      setTextParam(0, matchResult.betResult);
      drawElementText(k_resultBetResult, k_textMoney);
    }
  }
  drawElementText(k_resultMoneyLabel, k_textResultMoney);
  setTextParam(0, static_cast<int32_t>(std::min<uint32_t>(m_career.money, INT32_MAX)));
  drawElementText(k_resultMoney, k_textMoney);
  if (isBlinkOn()) drawElementString(k_resultPrompt, kTouchToContinue);
}

// ---- the unlock check

void cGame::checkUnlocks() {
  CareerProgress& c = m_career;
  const bool humanWon = m_rules.winner == 0;
  auto leaveFor = [this](int32_t state) {
    m_menusOverMatch = 0;
    m_pendingReturnState = state;
    setState(k_stateMainMenuLoading);
  };
  if (opponentSlot == kSpecialRival && gameType != kGameQuick) {
    if (humanWon) {
      c.specialRivalBeaten = 1;
      saveProgress();
    }
    leaveFor(k_statePub);
    return;
  }
  if (gameType != kGameCareer) {
    if (gameType == kGameQuick && humanWon) {
      leaveFor(k_stateMainMenu);
    } else {
      question.menuFlag = 0;
      setInGameState(k_stateInGameQuestion);
    }
    return;
  }
  const int32_t s = std::clamp(opponentSlot, 0, kLastRival);
  if (!humanWon) {
    if (c.money < static_cast<uint32_t>(k_stakePrices[stakeLevelOfSlot(s)]))
      leaveFor(k_stateStakeChoice);
    else
      setInGameState(k_stateInGameQuestion);
    return;
  }
  const int32_t rival = getRivalCharacter(s);
  if (rival >= 0 && rival < kCharacters) c.won[rival] = 1;
  saveProgress();
  if (s < kLastRival && (c.challengeStates[0][s] & 3) == 0) {
    debugTrace("\n challengeToUnlock");
    setInGameState(k_stateChallengeUnlocked);
  } else if (s + 1 < 9 && !m_characterAvailable[s + 1]) {
    debugTrace("\n characterToUnlock");
    setInGameState(k_stateCharacterUnlocked);
  } else {
    debugTrace("\n LAST_CHARACTER_TO_UNLOCK");
    if (s + 1 == 9 && m_characterAvailable[9] && !careerCompleteShown) {
      careerCompleteShown = 1;
      saveSettings();
      leaveFor(k_stateCareerComplete);
    } else {
      setInGameState(k_statePostMatchMenu);
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

const cGameScreen k_screenGameOver = {k_stateGameOver, [](cGame& g) { g.updateMatchResult(); },
                                      [](cGame& g, Graphics* t) { g.paintMatchResult(t); }, mapGameOver};
