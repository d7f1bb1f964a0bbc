// The end of a frame: the frame won (580) with its dialog, music and
// achievements, and the rival's result lines (506) with the career's tallies
// and prize.
#include <algorithm>

#include "game/Korvane/cGame/InterfaceFormat.h"
#include "game/Korvane/cGame/cGame.h"
#include "game/Korvane/cGame/cGameDataIds.h"
#include "game/Korvane/cGame/cGameScreens.h"
#include "game/Korvane/cGame/cGameStylus.h"
#include "platform/brew/GameHost.h"

namespace F = interfaceformat;

namespace {

constexpr int32_t kHudInterface = 56;
constexpr int32_t kSpecialRival = 10;
constexpr uint32_t kOutWin = 0x8, kOutLose = 0x10;
constexpr int32_t kFastFrameMs = 120000;

// Rival class by character (0 or 1).
constexpr uint8_t kRivalClass[10] = {0, 0, 0, 1, 0, 1, 1, 0, 1, 1};

// The highest rival slot (8 down to 0) whose character has the class.
int32_t topRivalOfClass(cGame& g, int32_t cls) {
  for (int32_t slot = 8; slot >= 0; --slot) {
    const int32_t c = getRivalCharacter(g, slot);
    if (c >= 0 && c < 10 && kRivalClass[c] == cls) return slot;
  }
  return -1;
}

}  // namespace

bool isTopRivalOfClassA(cGame& game) { return topRivalOfClass(game, 0) == game.setup.opponentSlot; }
bool isTopRivalOfClassB(cGame& game) { return topRivalOfClass(game, 1) == game.setup.opponentSlot; }

namespace {

// ---- frame won (580)

void enterFrameWon(cGame& game) {
  const int32_t winner = game.rules.winner;
  const bool humanWon = winner == 0;
  if (game.match.gameType == k_gameTypeSingleMatch) {
    substitutePlayerNames(game, 703);
    replaceTextTagWithText(game, 391 + std::clamp(game.setup.playerCharacter[winner == 1 ? 1 : 0], 0, 10));
    showDialogBox(game, 1, game.text.strings.work, nullptr);
    playMusic(game, k_musicWin);
  } else {
    showDialogBox(game, 1, getStringData(game, humanWon ? 701 : 702), nullptr);
    playMusic(game, humanWon ? k_musicWin : k_musicLose);
  }
  if (winner < 0 || winner > 1 || isComputerPlayer(game, winner)) return;
  if (game.match.ruleSet != k_ruleSetNineBall && game.rules.groupChosenOnBreak[winner] >= 0 &&
      static_cast<uint32_t>(game.rules.groupChosenOnBreak[winner]) != game.rules.playerGroup[winner])
    unlockAchievement(game, 1);
  if (static_cast<int32_t>(game.host().tickCount() - game.table.matchStartTime) < kFastFrameMs)
    unlockAchievement(game, 12);
  if (!game.rules.humanFouled) unlockAchievement(game, 24);
  if (game.match.playerProfile[1 - winner] == 0 && !game.rules.rivalPotted) {
    game.career.achievementCounter += 1;
    saveSettings(game);
    unlockAchievement(game, 19);
    if (game.career.achievementCounter == 3) unlockAchievement(game, 22);
  }
  if (game.rules.noScratchInFrame) unlockAchievement(game, 27);
  if (!game.rules.cueTouchedEight) unlockAchievement(game, 26);
}

void updateFrameWon(cGame& game) {
  if (game.dialog.life >= 0) return;
  if (game.match.gameType == k_gameTypeSingleMatch) {
    game.question.menuFlag = 0;
    game.setInGameState(k_stateInGameQuestion);
  } else {
    game.setInGameState(k_stateResultLines);
  }
}

// ---- result lines (506)

void enterResultLines(cGame& game) {
  game.match.currentPlayer = 1;
  const bool rivalWon = game.rules.winner == 1;
  const int32_t character =
      std::clamp(game.match.gameType == k_gameTypeCareer ? getRivalCharacter(game, game.setup.opponentSlot)
                                                         : game.setup.playerCharacter[1],
                 0, 10);
  openTextBox(game, (rivalWon ? k_textRivalWon0 : k_textRivalLost0) + k_textRivalLineStride * character);
  if (game.match.gameType != k_gameTypeCareer) return;
  resetInterfaceAnimation(game, true);
  const uint32_t out = game.rules.shotOutcome;
  if (!(out & kOutLose) && (out & kOutWin)) {
    if (isTopRivalOfClassA(game))
      unlockAchievement(game, 15);
    else if (isTopRivalOfClassB(game))
      unlockAchievement(game, 14);
  }
  if ((out & kOutLose) && game.setup.opponentSlot != kSpecialRival) {
    const int32_t c = getRivalCharacter(game, game.setup.opponentSlot);
    if (c >= 0 && c < 10) {
      (kRivalClass[c] ? game.career.progress.counterE : game.career.progress.counterD) += 1;
      saveProgress(game);
    }
  }
  if ((out & kOutWin) && game.setup.opponentSlot == 8 && game.career.progress.counterD == 0 &&
      game.career.progress.counterE == 0)
    unlockAchievement(game, 13);
}

void updateResultLines(cGame& game) {
  if (!game.keys.isReleased(k_keyDismiss | rightSoftMask(game))) return;
  const bool rivalWon = game.rules.winner == 1;
  if (game.match.gameType == k_gameTypeTournament) {
    if (rivalWon) {
      game.career.progress.counterC += 1;
      saveProgress(game);
      if (game.career.progress.counterC >= 3) {
        game.loading.pendingReturnState = k_statePub;
        game.setState(k_stateMainMenuLoading);
      } else {
        game.setInGameState(k_stateInGameQuestion);
      }
    } else {
      game.loading.pendingReturnState = k_stateTournamentStage;
      game.setState(k_stateMainMenuLoading);
    }
    return;
  }
  if (game.match.gameType == k_gameTypeCareer) {
    auto visible = [&game](int32_t i) {
      const int16_t* e = getInterfaceElement(game, kHudInterface, i);
      return e && e[F::kWordType] == F::kSprite && e[F::kWordParams + F::kSpriteVisible] != 0;
    };
    const bool shown = visible(129) || visible(130);
    if (!shown) {
      game.turn.prizeTime = game.frame.gameClock;
      playSound(game, k_soundCash, 0, 100, 100);
      const int32_t a = std::clamp(game.setup.betPosition, 0, 2);
      const int32_t element = rivalWon ? 129 : 130;
      setInterfaceElementVisible(game, kHudInterface, element, true);
      setInterfaceElementAnim(game, kHudInterface, element, rivalWon ? a + 3 : a);
      return;
    }
    setInterfaceElementVisible(game, kHudInterface, 129, false);
    setInterfaceElementVisible(game, kHudInterface, 130, false);
  }
  game.setInGameState(k_stateGameOver);
}

}  // namespace

const cGameScreen k_screenFrameWon = {k_stateFrameWon, updateFrameWon, paintTable, touch::mapTapAsFire,
                                      enterFrameWon, nullptr};
const cGameScreen k_screenResultLines = {k_stateResultLines, updateResultLines, paintTable, touch::mapTextBoxTap,
                                         enterResultLines, closeTextBox};
