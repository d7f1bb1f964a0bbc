// Aiming (520): the aim turns by touch on the table and by the turning keys,
// the spin selector opens over it, select takes the shot to the gauge.
#include "game/Korvane/cGame/cGame.h"
#include "game/Korvane/cGame/cGameDataIds.h"
#include "game/Korvane/cGame/cGameScreens.h"
#include "game/Korvane/cGame/cGameStylus.h"

namespace {

constexpr uint32_t kKeyFineRight = 0x10, kKeyFineLeft = 0x4;
constexpr uint32_t kKeyInvert = 0x8000, kKeyNumbers = 0x200;
constexpr uint32_t kKeyDemo = 0x2;
constexpr uint32_t kBallNumbersMs = 1000;

void enterAim(cGame& game) {
  game.turn.aimGuideShown = game.rules.normalPlay ? 1 : 0;
  game.turn.cueShown = 1;
  game.world.shot.jumpShot = 0;
  resetShot(game);
  buildTargetBallList(game);
  if (game.world.breakPlayed && !game.turn.backFromPower) aimAtNextTargetBall(game, 1, true);
  game.turn.backFromPower = 0;
  game.world.shot.aimTurnSpeed = 4096;  // 0.25 degree
  const int32_t cur = game.match.currentPlayer & 1;
  if (game.rules.normalPlay && game.world.breakPlayed && !game.rules.tableOpen && !game.rules.groupsShown[cur] &&
      ((game.match.ruleSet == k_ruleSetEightBall && game.match.gameType == k_gameTypeSingleMatch) ||
       (game.match.ruleSet == k_ruleSetUK && !isComputerAtTable(game))))
    showGroupsMessage(game);
}

void updateAiming(cGame& game) {
  if (game.challenges.demo) {
    updateChallengeDemoAim(game);
    return;
  }
  // The lesson's text box holds the aim until it is closed.
  if (game.tutorial.textBoxOpen) {
    updateTutorialTextBox(game);
    return;
  }
  const bool normal =
      game.rules.normalPlay && game.match.gameType != k_gameTypeChallenge && game.match.gameType != k_gameTypeTutorial;
  if (normal && game.table.hudHint != -1) game.turn.leftSoftKeyText = k_textSpin;
  if (game.match.gameType == k_gameTypeChallenge && game.keys.isReleased(kKeyDemo)) setChallengeDemoAim(game);
  // Challenges and lessons are aimed by touch too: a frame in play, not the lag.
  if (game.rules.normalPlay && game.pointerY < 300) aimAtStylus(game);
  const bool inverted = game.keys.isPressed(kKeyInvert) &&
                        !game.keys.isPressed(k_keyRight | k_keyLeft | kKeyFineRight | kKeyFineLeft) &&
                        !game.keys.isHeld(k_keyRight | k_keyLeft | kKeyFineRight | kKeyFineLeft);
  const bool turned = turnAimByKeys(game);
  // The lesson's hook looks at the aim after its half turn.
  if (inverted) onTutorialAimInverted(game);
  if (!turned && game.keys.isReleased(rightSoftMask(game) | kKeyDemo) && !tutorialSpinLocked(game) &&
      !game.turn.showBallNumbers) {
    game.pushState(k_stateSpinSelector);
    return;
  }
  if (game.match.gameType == k_gameTypeTutorial) {
    checkTutorialAimTarget(game);
    // The coach speaks: the rest of the aim waits for the message.
    if (game.states.gameState != k_stateAim) return;
  }
  if (game.keys.isPressed(kKeyNumbers) && isHudAtTarget(game)) {
    game.turn.showBallNumbers = 1;
    game.turn.ballNumbersUntil = game.frame.gameClock + kBallNumbersMs;
  }
  if (game.keys.isReleased(k_keyDismiss)) game.setInGameState(k_stateShotPower);
}

void leaveAim(cGame& game) { game.turn.showBallNumbers = 0; }

using namespace touch;

void mapAim(cGame& g) {
  const bool secondSide = isTwoPlayerSecond(g);
  rightSoftHighlight(g);
  leftSoftHighlight(g, kLeftSoft, true);
  leftSoft(g, true);
  rightSoft(g, Send::Pair);
  fireButton(g, secondSide, true);
  if (secondSide) {
    repeatButton(g, {198, 295, 40, 40}, k_touchKeyFineTurnB, &g.stylus.rightArrowHighlight);
    repeatButton(g, {158, 295, 40, 40}, k_touchKeyFineTurnA, &g.stylus.leftArrowHighlight);
  } else {
    repeatButton(g, {2, 295, 40, 40}, k_touchKeyFineTurnA, &g.stylus.leftArrowHighlight);
    repeatButton(g, {42, 295, 40, 40}, k_touchKeyFineTurnB, &g.stylus.rightArrowHighlight);
  }
}

}  // namespace

const cGameScreen k_screenAim = {k_stateAim, updateAiming, paintTable, mapAim, enterAim, leaveAim};
