// The tournament bracket (200): the draw, the stages revealed one entry at a
// time, the player's pair lit, the rounds played between the player's
// matches and the cup; and the prize screen (390) after the final.
#include <algorithm>

#include "game/Korvane/cGame/cGame.h"
#include "game/Korvane/cGame/cGameScreens.h"
#include "game/Korvane/cGame/cGameDataIds.h"
#include "game/Korvane/cGame/cGameStylus.h"
#include "windows_brew/memory/Debug.h"

namespace {

constexpr int32_t kRevealMs = 300;
constexpr int32_t kLightPeriod = 500, kLightOn = 251;
constexpr int32_t kKeyLockFrames = 5;
constexpr int32_t kCupAchievement[3] = {23, 17, 8};  // by level
constexpr int32_t kLastStage = Tournament::kStageCount - 1;
constexpr const char* kBracketPrompt = "Touch screen to continue";
constexpr const char* kPrizePrompt = "Touch screen";

// The frame that shows an entry of a stage.
int32_t entryFrame(int32_t entry, int32_t stage) {
  if (entry < 0) return stage == kLastStage ? k_headFrameEmptyWinner : k_headFrameEmpty;
  if (entry & Tournament::kOut) return k_headFrameOut;
  const int32_t c = tournamentCharacter(entry);
  return c < Tournament::kCharacterCount ? k_headFrameCharacter0 + c : k_headFrameEmpty;
}

}  // namespace

void cGame::makeBracket(bool withPickedField) {
  Random fallback;
  makeTournamentBracket(m_tournament, m_random ? *m_random : fallback, m_career.character, m_career.won,
                        withPickedField);
}

void cGame::computeTournamentPrize() { m_tournament.prize = tournamentPrize(m_tournament, k_stakePrices, k_betMaximums); }

void cGame::drawTournamentStages(int32_t last) {
  const Tournament& t = m_tournament;
  last = std::min(last, kLastStage);
  for (int32_t s = std::clamp(t.level, 0, 2); s <= last; ++s)
    for (int32_t i = 0; i < k_tournamentRoundSizes[s]; ++i)
      setInterfaceElementFrame(k_interfaceBracket, k_bracketEntry[s] + i, entryFrame(t.entries[s][i], s));
}

void cGame::playTournamentRound() {
  Random fallback;
  const int32_t decided = m_tournament.stage();
  ::playTournamentRound(m_tournament, m_random ? *m_random : fallback, m_career.character);
  drawTournamentStages(decided);
}

// ---- bracket (200)

void cGame::updateTournamentBracket() {
  Tournament& t = m_tournament;
  if (m_subState == k_subStateInit) {
    selectInterface(k_interfaceBracket);
    startInterfaceAnimation();
    if (m_backLayer) {
      resetClip(m_backLayer);
      paintInterfaceLayer(true);
    }
    // The back button stays drawn: its corner goes back (or asks to quit).
    setElementVisible(k_bracketBack, true);
    for (int32_t e = k_bracketEntry[0]; e < k_bracketEntry[3]; ++e) {
      setElementVisible(e, true);
      setElementFrame(e, k_headFrameEmpty);
    }
    setElementVisible(k_bracketEntry[3], true);
    setElementFrame(k_bracketEntry[3], k_headFrameEmptyWinner);
    for (int32_t e = k_bracketLight[0]; e <= k_bracketLight[2] + 1; ++e) {
      setElementVisible(e, true);
      setElementFrame(e, k_headFrameLightOff);
    }
    for (int32_t e = k_bracketLinesEight; e < k_bracketLinesEight + 16; ++e) setElementVisible(e, true);
    for (int32_t e = k_bracketLinesFour; e < k_bracketLinesFour + 8; ++e) setElementVisible(e, true);
    auto hide = [this](int32_t from, int32_t to) {
      for (int32_t e = from; e <= to; ++e) setElementVisible(e, false);
    };
    if (t.level >= 1) {
      hide(k_bracketEntry[0], k_bracketEntry[0] + 7);
      hide(k_bracketLight[0], k_bracketLight[0] + 7);
      hide(k_bracketLinesEight, k_bracketLinesEight + 15);
    }
    if (t.level >= 2) {
      hide(k_bracketEntry[1], k_bracketEntry[1] + 3);
      hide(k_bracketLight[1], k_bracketLight[1] + 3);
      hide(k_bracketLinesFour, k_bracketLinesFour + 7);
    }
    if (t.round < 0) {
      makeBracket(t.pickedCount >= 1);
      computeTournamentPrize();
      t.round = 0;
      m_career.counterC = 0;
    } else if (m_bracketResumes) {
      m_bracketResumes = 0;
      drawTournamentStages(t.stage());
    } else {
      playTournamentRound();
    }
    if (t.isFinished()) unlockAchievement(kCupAchievement[std::clamp(t.level, 0, 2)]);
    t.revealed = 0;
    t.revealTimer = 0;
    m_subState = k_subStateUpdate;
    return;
  }
  updateInterfaceTimers();
  const int32_t s = std::min(t.stage(), kLastStage);
  const int32_t m = k_tournamentRoundSizes[s];
  const bool finished = t.isFinished();
  const bool allShown = t.revealed >= m;
  if (allShown && !finished) {
    const int32_t p = std::clamp(t.playerPosition, 0, m - 1);
    const int32_t partner = (p & 1) ? p - 1 : p + 1;
    const int32_t frame = t.revealTimer % kLightPeriod < kLightOn ? k_headFrameLightOn : k_headFrameLightOff;
    setElementFrame(k_bracketLight[s] + p, frame);
    setElementFrame(k_bracketLight[s] + partner, frame);
  } else if (!allShown && t.revealTimer > kRevealMs) {
    setElementFrame(k_bracketEntry[s] + t.revealed, entryFrame(t.entries[s][t.revealed], s));
    t.revealed += 1;
    t.revealTimer = 0;
  }
  auto payOut = [this](int32_t state) {
    payTournamentPrize();
    setState(state);
  };
  if (m_keys.isPressed(k_keyBack)) {
    m_keys.lock(kKeyLockFrames);
    if (finished) {
      // A won cup is paid whichever way the bracket is left.
      payOut(k_stateMainMenu);
    } else if (t.fieldComplete) {
      resetTournamentPicks();
      t.round = -1;
      setState(k_stateTournamentCharacterSelect);
    } else if (t.round < 1) {
      setState(tournamentFieldChoiceOr(k_stateTournamentMenu));
    } else {
      setState(k_statePub);
    }
  } else if (m_keys.isPressed(k_keyRightSoft)) {
    m_keys.lock(kKeyLockFrames);
    if (finished || t.round >= 1) {
      openQuestion(k_textQuitTournament, k_textQuestionBody, k_stateTournamentStage, 14, k_interfaceBracket,
                   k_textNo);
    } else {
      t.fieldComplete = 0;
      setState(k_stateTournamentMenu);
    }
  } else if (allShown && m_keys.isPressed(k_keySelect)) {
    m_keys.lock(kKeyLockFrames);
    if (finished) {
      payOut(k_stateTournamentPrize);
    } else {
      const int32_t p = std::clamp(t.playerPosition, 0, m - 1);
      const int32_t c = tournamentCharacter(t.entries[s][(p & 1) ? p - 1 : p + 1]);
      opponentSlot = std::clamp(c, 0, Tournament::kCharacterCount - 1);
      m_chosenRival = opponentSlot;
      setTable(getHomeTable(opponentSlot));
      setState(k_stateVersus);
    }
  }
  t.revealTimer += m_frameTime;
}

void cGame::payTournamentPrize() {
  m_career.money += static_cast<uint32_t>(std::max(m_tournament.prize, 0));
  saveProgress();
}

void cGame::paintTournamentBracket(Graphics* g) {
  const Tournament& t = m_tournament;
  selectInterface(k_interfaceBracket);
  setButtonFrames(k_bracketBack, -1);
  resetClip(g);
  drawSavedBackground(g);
  int32_t dx = 0;
  if (t.level == 1 || t.level == 2) {
    const int32_t e = t.level == 1 ? k_bracketCentreFour : k_bracketCentreDuel;
    dx = 120 - getElementX(e) - getElementWidth(e) / 2;
  }
  paintInterfaceAt(dx, 0, false);
  drawElementText(k_bracketTitle, k_textStageTitle0 + std::clamp(t.stage(), 0, kLastStage));
  if (m_gameClock % 1000 > 500) drawElementString(k_bracketPrompt, kBracketPrompt);
  drawElementText(k_bracketPrizeLabel, k_textPrizeLabel);
  drawElementText(k_bracketMoneyLabel, k_textMoneyLabel);
  setTextParam(0, t.prize);
  drawElementText(k_bracketPrize, k_textMoney);
  setTextParam(0, static_cast<int32_t>(m_career.money));
  drawElementText(k_bracketMoney, k_textMoney);
}

// ---- prize (390)

void cGame::updateTournamentPrize() {
  if (m_subState == k_subStateInit) {
    selectInterface(k_interfaceTournamentPrize);
    startInterfaceAnimation();
    setInterfaceElementSprite(-1, k_prizePortrait, k_slotPortrait0 + std::clamp(m_career.character, 0, 9));
    if (m_backLayer) {
      resetClip(m_backLayer);
      paintInterfaceLayer(true);
    }
    if (!specialRivalOpen && countCompletedCategories() == k_achievementCategories) {
      debugTrace("\n unlock categories");
      specialRivalOpen = 1;
      saveSettings();
    }
    m_subState = k_subStateUpdate;
    return;
  }
  updateInterfaceTimers();
  if (m_keys.isPressed(k_keySelect | k_keyBack)) {
    m_keys.lock(kKeyLockFrames);
    setState(k_statePub);
  }
}

void cGame::paintTournamentPrize(Graphics* g) {
  selectInterface(k_interfaceTournamentPrize);
  resetClip(g);
  drawSavedBackground(g);
  paintInterface();
  drawElementText(k_prizeTitle, k_textTournaments);
  if (m_paintFrameCount % 10 >= 5) {
    drawElementText(k_prizeBlink, k_textCompletionBlink);
    drawElementString(k_prizePrompt, kPrizePrompt);
  }
  drawElementText(k_prizePrizeLabel, k_textPrizeLabel);
  drawElementText(k_prizeMoneyLabel, k_textMoneyLabel);
  setTextParam(0, m_tournament.prize);
  drawElementText(k_prizePrize, k_textMoney);
  setTextParam(0, static_cast<int32_t>(m_career.money));
  drawElementText(k_prizeMoney, k_textMoney);
}

// ---------------------------------------------------- touch mapping and rows

namespace {

using namespace touch;

// The bracket's back button first; anywhere else goes on; then the pick
// screen's buttons, which the bracket shares.
void mapTournamentStage(cGame& g) {
  rightSoft(g);
  if (up(g, kWholeScreen)) pair(g, k_touchKeyFire);
  k_screenTournamentCharacterSelect.mapTouch(g);
}

// The prize: a tap goes on.
void mapTournamentPrize(cGame& g) {
  if (up(g, kWholeScreen)) pair(g, k_touchKeyLeftSoft);
}

}  // namespace

const cGameScreen k_screenTournamentStage = {k_stateTournamentStage, [](cGame& g) { g.updateTournamentBracket(); },
                                             [](cGame& g, Graphics* t) { g.paintTournamentBracket(t); },
                                             mapTournamentStage};
const cGameScreen k_screenTournamentPrize = {k_stateTournamentPrize, [](cGame& g) { g.updateTournamentPrize(); },
                                             [](cGame& g, Graphics* t) { g.paintTournamentPrize(t); },
                                             mapTournamentPrize};
