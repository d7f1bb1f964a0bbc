// Turn and match flow: the in-game update. Every frame runs the prologue
// (in-game menu, the scratch hold, the HUD slide and the messages), the
// current match state's step and the epilogue; a state's entry and leave
// steps run from the state machine's changes. Each match state is a row in
// its file under game/Korvane/cGameInterfaces/ (the match table of
// cGameScreens.cpp); what the states share is here.
#include <algorithm>

#include "game/Korvane/cGame/cGame.h"
#include "game/Korvane/cGame/cGameDataIds.h"
#include "zul/2d/SpriteAnimPlayer.h"

namespace {

constexpr int32_t kHudInterface = 56;
constexpr uint32_t kScratchHoldMs = 1640;

}  // namespace

// ---- helpers

uint32_t rightSoftMask(const cGame& game) { return game.match.altPanelLayout ? k_keyLeftSoft : k_keyRightSoft; }
uint32_t menuSoftMask(const cGame& game) { return game.match.altPanelLayout ? k_keyRightSoft : k_keyLeftSoft; }

bool isHudAtTarget(const cGame& game) {
  return game.table.panelX == (game.match.currentPlayer == 1 ? 6 : 67) &&
         game.table.hudOffset == (game.match.currentPlayer == 1 ? -61 : 0);
}

bool isMessageWaiting(const cGame& game) { return game.messages.count > 0 && game.messages.kind[0] != 0; }

bool isBoxOverTable(const cGame& game) { return isMessageWaiting(game) || game.dialog.life >= 0; }

bool isMatchOnHold(cGame& game) {
  if (isMessageWaiting(game) || game.dialog.life >= 0) return true;
  return game.states.gameState == k_stateAfterShot && isScratchHoldRunning(game);
}

bool isScratchHoldRunning(const cGame& game) {
  return game.rules.crowdSoundPlayed && game.frame.gameClock - game.rules.crowdSoundTime < kScratchHoldMs;
}

void slideHudPanel(cGame& game) {
  if (game.turn.hudHidden) return;
  const int32_t panelTarget = game.match.currentPlayer == 1 ? 6 : 67;
  const int32_t hudTarget = game.match.currentPlayer == 1 ? -61 : 0;
  game.table.panelX = easeTowards(game.table.panelX, panelTarget, 35);
  const int32_t offset = easeTowards(game.table.hudOffset, hudTarget, 35);
  if (offset != game.table.hudOffset) game.table.panelRedraw = 1;
  game.table.hudOffset = offset;
}

void chooseNextTurnState(cGame& game) {
  // A box of the last shot goes when the other player takes the table.
  if (game.dialog.life >= 0 && game.dialog.player != game.match.currentPlayer) game.dialog.life = -1;
  if (game.turn.coinTossPending) {
    game.setInGameState(k_stateCoinToss);
  } else if (game.rules.cueAwaitsPlacing || game.rules.ballInHand) {
    game.setInGameState(isComputerAtTable(game) ? k_stateComputerBallInHand : k_stateHumanBallInHandStart);
  } else {
    game.setInGameState(isComputerAtTable(game) ? k_stateComputerShot : k_stateAim);
  }
}

void answerPushOutOffer(cGame& game, bool take) {
  game.rules.pushOutShot = take ? 1 : 0;
  game.rules.pushOutAvailable = 0;
}

// Playing on or passing after the opponent's push-out; a pass then switches
// the player, and the after-shot step hands the table over.
void answerPushOutPlay(cGame& game) { game.rules.pushOutAnswered = 0; }

// The players' names in message texts ("$a", "$b").
const char* getPlayerName(cGame& game, int32_t player) {
  if (player < 0 || player > 1) return "";
  const int32_t character = player == 1 && game.match.gameType == k_gameTypeCareer
                                ? getRivalCharacter(game, game.setup.opponentSlot)
                                : game.setup.playerCharacter[player];
  const char* name = getStringData(game, 391 + std::clamp(character, 0, 10));
  return name ? name : "";
}

bool isMatchDataLoaded(const cGame& game) {
  if (!game.tableLayout.isComplete() || !game.world.cueBall || !game.world.ballList) return false;
  // A computer player needs the profiles; a failed read leaves them all 0.
  if (game.match.gameType == k_gameTypeSingleMatch) return true;
  for (const auto& profile : game.opponent.profiles.loaded)
    for (int32_t v : profile)
      if (v != 0) return true;
  return false;
}

// ---- text box

void openTextBox(cGame& game, int32_t textId) {
  game.turn.textBoxOn = 1;
  game.turn.textBoxText = textId;
  game.turn.textBoxPage = 0;
  substitutePlayerNames(game, textId);
  const int16_t* box = getInterfaceElement(game, kHudInterface, 127);
  int32_t pages = 1;
  if (box && game.text.fonts[0]) {
    pages = layoutText(game, game.text.fonts, game.text.strings.work, 0, game.text.strings.workLength, 0,
                       getInterfaceElementWidth(game, kHudInterface, 127),
                       getInterfaceElementHeight(game, kHudInterface, 127));
    game.text.layout.cacheKey = 0;
  }
  game.turn.textBoxPages = std::max(pages, 1);
  game.turn.textBoxMorePages = game.turn.textBoxPages > 1 ? 1 : 0;
}

void closeTextBox(cGame& game) { game.turn.textBoxOn = 0; }

// ---- the computer's thinking

void startThinking(cGame& game) {
  game.turn.thinkingShown = 1;
  if (game.loading.matchPlayerH) {
    game.loading.matchPlayerH->setPosition(game.match.currentPlayer == 1 ? 180 : 60, 160);
    game.loading.matchPlayerH->resetAnim();
    game.loading.matchPlayerH->setAnim(0);
  }
}

bool isThinkingOver(const cGame& game) {
  return !game.loading.matchPlayerH || game.loading.matchPlayerH->isAnimOver() || game.turn.fastThinking;
}

// ---- the dispatch

void runMatchStep(cGame& game, int32_t state, int32_t step) {
  if (game.turn.matchStepHook) game.turn.matchStepHook(game, state, step);
  // A screen row of the state runs in place of the match's own step.
  if (const cGameScreen* screen = findMatchScreen(game, state)) {
    if (screen->update) screen->update(game);
    return;
  }
  const cGameScreen* row = k_matchScreens.find(state);
  if (!row) return;
  void (*run)(cGame&) = step == k_subStateInit ? row->enter : step == k_subStateDestroy ? row->leave : row->update;
  if (run) run(game);
}

void updateInGame(cGame& game) {
  const int32_t state = game.states.gameState;
  if (game.states.subState != k_subStateInGameUpdate) {
    // Leaving a front-end state for the match needs no step.
    if (game.states.inGame != 1 && game.states.subState == k_subStateDestroy) return;
    runMatchStep(game, state, game.states.subState);
    return;
  }
  // Prologue.
  const bool match = state == k_stateContinue || isMatchState(state);
  if (match) {
    if (game.keys.isPressed(k_keyBack)) {
      enterIGM(game);
      return;
    }
    if (state != k_stateMatchInit && game.turn.menuRequest) {
      game.turn.menuRequest = 0;
      game.menu.selection = 0;
      enterIGM(game);
      return;
    }
  }
  game.turn.menuRequest = 0;
  if (state == k_stateAfterShot && isScratchHoldRunning(game)) {
    updateMessages(game);
    game.turn.touchHint = 1;
    return;
  }
  // The hold is over: its prompt is not left over the next turn.
  if (state == k_stateAfterShot) game.turn.touchHint = 0;
  slideHudPanel(game);
  // A question covers the table and its messages: a message it hides
  // neither ages nor holds the question's answer back.
  if (state != k_stateQuestionMenu && state != k_stateQuestion && !game.turn.hudHidden) {
    const bool boxUp = isBoxOverTable(game);
    updateMessages(game);
    if (isMessageWaiting(game)) return;
    // A key that went to a box over the table does nothing else: the tap
    // that closes "Scratch!" neither aims nor starts the gauge.
    if (boxUp && game.keys.isPressed(k_keyDismiss | k_keyRightSoft)) return;
  }
  runMatchStep(game, state, k_subStateInGameUpdate);
  // Epilogue.
  const int32_t now = game.states.gameState;
  game.turn.showBallNumbers = game.turn.showBallNumbers && now == k_stateAim &&
                              game.frame.gameClock < game.turn.ballNumbersUntil && isHudAtTarget(game);
  if (game.states.inGame != 1) return;
  if ((now == k_stateChallengeUnlocked || now == k_stateCharacterUnlocked || now == k_statePostMatchMenu) &&
      game.keys.isPressed(k_keyBack)) {
    saveSettings(game);
    saveProgress(game);
    game.loading.pendingReturnState = k_stateMainMenu;
    game.setState(k_stateMainMenuLoading);
    return;
  }
  if (isMatchState(now) && game.keys.isPressed(menuSoftMask(game)) && !game.turn.showBallNumbers) enterIGM(game);
}

bool isComputerPlayer(const cGame& game, int32_t player) {
  return player >= 0 && player < 2 && game.match.playerProfile[player] != -1;
}
bool isComputerAtTable(const cGame& game) { return isComputerPlayer(game, game.match.currentPlayer); }
void drawGuideLineSolid(cGame& game, Graphics* g, int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t rgb) {
  drawGuideLine(game, g, x1, y1, x2, y2, rgb, true);
}
