// The tournament bracket (200): the draw, the stages revealed one entry at a
// time, the player's pair lit, the rounds played between the player's
// matches and the cup; and the prize screen (390) after the final.
#include <algorithm>

#include "game/Korvane/cGame/cGame.h"
#include "game/Korvane/cGame/cGameScreens.h"
#include "game/Korvane/cGame/cGameDataIds.h"
#include "game/Korvane/cGame/cGameStylus.h"
#include "zul/memory/Debug.h"

namespace {

constexpr int32_t kRevealMs = 300;
constexpr int32_t kLightPeriod = 500, kLightOn = 251;
constexpr int32_t kKeyLockFrames = 5;
constexpr int32_t kCupAchievement[3] = {23, 17, 8};  // by level
constexpr int32_t kLastStage = Tournament::kStageCount - 1;

// Achievement notices keep clear of text element i of the current interface.
void keepTitleClear(cGame& game, int32_t i) {
  keepNoticesClearOf(game, getElementX(game, i), getElementY(game, i), getElementWidth(game, i),
                     getElementHeight(game, i));
}

// The frame that shows an entry of a stage.
int32_t entryFrame(int32_t entry, int32_t stage) {
  if (entry < 0) return stage == kLastStage ? k_headFrameEmptyWinner : k_headFrameEmpty;
  if (entry & Tournament::kOut) return k_headFrameOut;
  const int32_t c = tournamentCharacter(entry);
  return c < Tournament::kCharacterCount ? k_headFrameCharacter0 + c : k_headFrameEmpty;
}

// Yes to quitting the tournament: a won cup is paid and its prize shown
// first, else the tournament choice.
void quitTournament(cGame& game) {
  if (game.tournaments.draw.isFinished()) {
    payTournamentPrize(game);
    leaveQuestion(game, k_stateTournamentPrize);
  } else {
    leaveQuestion(game, k_stateTournamentMenu);
  }
}

// No: the bracket again, as it was.
void resumeBracket(cGame& game) {
  game.tournaments.bracketResumes = 1;
  game.setState(k_stateTournamentStage);
}

void backFromQuitTournament(cGame& game) {
  if (game.states.inGame == 1)
    leaveQuestion(game);
  else
    resumeBracket(game);
}

void paintQuitTournament(cGame& game) {
  paintQuestionText(game);
  paintQuestionNote(game, game.tournaments.draw.isFinished() ? k_textCupKeptNote : k_textTournamentNote);
}

constexpr int32_t kActionQuitTournament = 14;

}  // namespace

const Question k_questionQuitTournament = {.title = k_textQuitTournament,
                                           .body = k_textQuestionBody,
                                           .returnState = k_stateTournamentStage,
                                           .action = kActionQuitTournament,
                                           .panel = k_interfaceBracket,
                                           .yes = quitTournament,
                                           .no = resumeBracket,
                                           .back = backFromQuitTournament,
                                           .setUp = showQuestionNoteBox,
                                           .paint = paintQuitTournament};

void showTournamentMatchNote(cGame& game) {
  if (game.match.gameType == k_gameTypeTournament) showQuestionNoteBox(game);
}

void paintTournamentMatchNote(cGame& game) {
  paintQuestionText(game);
  if (game.match.gameType == k_gameTypeTournament) paintQuestionNote(game, k_textTournamentNote);
}

void makeBracket(cGame& game, bool withPickedField) {
  Random fallback;
  makeTournamentBracket(game.tournaments.draw, game.engine.random ? *game.engine.random : fallback,
                        game.career.progress.character, game.career.progress.won, withPickedField);
}

void computeTournamentPrize(cGame& game) {
  game.tournaments.draw.prize = tournamentPrize(game.tournaments.draw, k_stakePrices, k_betMaximums);
}

void drawTournamentStages(cGame& game, int32_t last) {
  const Tournament& t = game.tournaments.draw;
  last = std::min(last, kLastStage);
  for (int32_t s = std::clamp(t.level, 0, 2); s <= last; ++s)
    for (int32_t i = 0; i < k_tournamentRoundSizes[s]; ++i)
      setInterfaceElementFrame(game, k_interfaceBracket, k_bracketEntry[s] + i, entryFrame(t.entries[s][i], s));
}

void playTournamentRound(cGame& game) {
  Random fallback;
  const int32_t decided = game.tournaments.draw.stage();
  ::playTournamentRound(game.tournaments.draw, game.engine.random ? *game.engine.random : fallback,
                        game.career.progress.character);
  drawTournamentStages(game, decided);
}

// ---- bracket (200)

void updateTournamentBracket(cGame& game) {
  Tournament& t = game.tournaments.draw;
  if (game.states.subState == k_subStateInit) {
    selectInterface(game, k_interfaceBracket);
    startInterfaceAnimation(game);
    if (game.frontEnd.backLayer) {
      game.resetClip(game.frontEnd.backLayer);
      paintInterfaceLayer(game, true);
    }
    // The back button stays drawn: its corner goes back (or asks to quit).
    setElementVisible(game, k_bracketBack, true);
    for (int32_t e = k_bracketEntry[0]; e < k_bracketEntry[3]; ++e) {
      setElementVisible(game, e, true);
      setElementFrame(game, e, k_headFrameEmpty);
    }
    setElementVisible(game, k_bracketEntry[3], true);
    setElementFrame(game, k_bracketEntry[3], k_headFrameEmptyWinner);
    for (int32_t e = k_bracketLight[0]; e <= k_bracketLight[2] + 1; ++e) {
      setElementVisible(game, e, true);
      setElementFrame(game, e, k_headFrameLightOff);
    }
    for (int32_t e = k_bracketLinesEight; e < k_bracketLinesEight + 16; ++e) setElementVisible(game, e, true);
    for (int32_t e = k_bracketLinesFour; e < k_bracketLinesFour + 8; ++e) setElementVisible(game, e, true);
    auto hide = [&game](int32_t from, int32_t to) {
      for (int32_t e = from; e <= to; ++e) setElementVisible(game, e, false);
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
      makeBracket(game, t.pickedCount >= 1);
      computeTournamentPrize(game);
      t.round = 0;
      game.career.progress.counterC = 0;
    } else if (game.tournaments.bracketResumes) {
      game.tournaments.bracketResumes = 0;
      drawTournamentStages(game, t.stage());
    } else {
      playTournamentRound(game);
    }
    if (t.isFinished()) unlockAchievement(game, kCupAchievement[std::clamp(t.level, 0, 2)]);
    t.revealed = 0;
    t.revealTimer = 0;
    game.states.subState = k_subStateUpdate;
    return;
  }
  updateInterfaceTimers(game);
  const int32_t s = std::min(t.stage(), kLastStage);
  const int32_t m = k_tournamentRoundSizes[s];
  const bool finished = t.isFinished();
  const bool allShown = t.revealed >= m;
  if (allShown && !finished) {
    const int32_t p = std::clamp(t.playerPosition, 0, m - 1);
    const int32_t partner = (p & 1) ? p - 1 : p + 1;
    const int32_t frame = t.revealTimer % kLightPeriod < kLightOn ? k_headFrameLightOn : k_headFrameLightOff;
    setElementFrame(game, k_bracketLight[s] + p, frame);
    setElementFrame(game, k_bracketLight[s] + partner, frame);
  } else if (!allShown && t.revealTimer > kRevealMs) {
    setElementFrame(game, k_bracketEntry[s] + t.revealed, entryFrame(t.entries[s][t.revealed], s));
    t.revealed += 1;
    t.revealTimer = 0;
  }
  auto payOut = [&game](int32_t state) {
    payTournamentPrize(game);
    game.setState(state);
  };
  if (game.keys.isPressed(k_keyBack)) {
    game.keys.lock(kKeyLockFrames);
    if (finished) {
      // A won cup is paid whichever way the bracket is left.
      payOut(k_stateMainMenu);
    } else if (t.fieldComplete) {
      resetTournamentPicks(game);
      t.round = -1;
      game.setState(k_stateTournamentCharacterSelect);
    } else if (t.round < 1) {
      game.setState(tournamentFieldChoiceOr(game, k_stateTournamentMenu));
    } else {
      game.setState(k_statePub);
    }
  } else if (game.keys.isPressed(k_keyRightSoft)) {
    game.keys.lock(kKeyLockFrames);
    if (finished || t.round >= 1) {
      openQuestion(game, k_questionQuitTournament, k_textNo);
    } else {
      t.fieldComplete = 0;
      game.setState(k_stateTournamentMenu);
    }
  } else if (allShown && game.keys.isPressed(k_keySelect)) {
    game.keys.lock(kKeyLockFrames);
    if (finished) {
      payOut(k_stateTournamentPrize);
    } else {
      const int32_t p = std::clamp(t.playerPosition, 0, m - 1);
      const int32_t c = tournamentCharacter(t.entries[s][(p & 1) ? p - 1 : p + 1]);
      game.setup.opponentSlot = std::clamp(c, 0, Tournament::kCharacterCount - 1);
      game.setup.chosenRival = game.setup.opponentSlot;
      setTable(game, getHomeTable(game, game.setup.opponentSlot));
      game.setState(k_stateVersus);
    }
  }
  t.revealTimer += game.frame.frameTime;
}

void payTournamentPrize(cGame& game) {
  addCareerMoney(game, std::max(game.tournaments.draw.prize, 0));
  saveProgress(game);
}

void paintTournamentBracket(cGame& game, Graphics* g) {
  const Tournament& t = game.tournaments.draw;
  selectInterface(game, k_interfaceBracket);
  setButtonFrames(game, k_bracketBack, -1);
  game.resetClip(g);
  drawSavedBackground(game, g);
  int32_t dx = 0;
  if (t.level == 1 || t.level == 2) {
    const int32_t e = t.level == 1 ? k_bracketCentreFour : k_bracketCentreDuel;
    dx = 120 - getElementX(game, e) - getElementWidth(game, e) / 2;
  }
  paintInterfaceAt(game, dx, 0, false);
  drawElementText(game, k_bracketTitle, k_textStageTitle0 + std::clamp(t.stage(), 0, kLastStage));
  // The cup's notice keeps off "Champion!".
  if (t.isFinished()) keepTitleClear(game, k_bracketTitle);
  if (game.frame.gameClock % 1000 > 500) drawElementText(game, k_bracketPrompt, k_textTouchPrompt);
  drawElementText(game, k_bracketPrizeLabel, k_textPrizeLabel);
  drawElementText(game, k_bracketMoneyLabel, k_textMoneyLabel);
  setTextParam(game, 0, t.prize);
  drawElementText(game, k_bracketPrize, k_textMoney);
  setTextParam(game, 0, getCareerMoney(game));
  drawElementText(game, k_bracketMoney, k_textMoney);
}

// ---- prize (390)

void updateTournamentPrize(cGame& game) {
  if (game.states.subState == k_subStateInit) {
    selectInterface(game, k_interfaceTournamentPrize);
    startInterfaceAnimation(game);
    setInterfaceElementSprite(game, -1, k_prizePortrait,
                              k_slotPortrait0 + std::clamp(game.career.progress.character, 0, 9));
    if (game.frontEnd.backLayer) {
      game.resetClip(game.frontEnd.backLayer);
      paintInterfaceLayer(game, true);
    }
    if (!game.career.specialRivalOpen && countCompletedCategories(game) == k_achievementCategories) {
      debugTrace("\n unlock categories");
      game.career.specialRivalOpen = 1;
      saveSettings(game);
    }
    game.states.subState = k_subStateUpdate;
    return;
  }
  updateInterfaceTimers(game);
  if (game.keys.isPressed(k_keySelect | k_keyBack)) {
    game.keys.lock(kKeyLockFrames);
    game.setState(k_statePub);
  }
}

void paintTournamentPrize(cGame& game, Graphics* g) {
  selectInterface(game, k_interfaceTournamentPrize);
  game.resetClip(g);
  drawSavedBackground(game, g);
  paintInterface(game);
  drawElementText(game, k_prizeTitle, k_textTournaments);
  keepTitleClear(game, k_prizeTitle);
  if (game.frame.paintFrameCount % 10 >= 5) {
    drawElementText(game, k_prizeBlink, k_textCompletionBlink);
    drawElementText(game, k_prizePrompt, k_textTouchPrompt);
  }
  drawElementText(game, k_prizePrizeLabel, k_textPrizeLabel);
  drawElementText(game, k_prizeMoneyLabel, k_textMoneyLabel);
  setTextParam(game, 0, game.tournaments.draw.prize);
  drawElementText(game, k_prizePrize, k_textMoney);
  setTextParam(game, 0, getCareerMoney(game));
  drawElementText(game, k_prizeMoney, k_textMoney);
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

const cGameScreen k_screenTournamentStage = {k_stateTournamentStage, updateTournamentBracket, paintTournamentBracket,
                                             mapTournamentStage};
const cGameScreen k_screenTournamentPrize = {k_stateTournamentPrize, updateTournamentPrize, paintTournamentPrize,
                                             mapTournamentPrize};
