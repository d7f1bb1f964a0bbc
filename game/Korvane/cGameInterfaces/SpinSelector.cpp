// The spin selector (620), pushed over the aim: the pad moves the cue-tip
// point, the top button toggles masse, and the selector closes back to the
// aim.
#include "game/Korvane/cGame/cGame.h"
#include "game/Korvane/cGame/cGameDataIds.h"
#include "game/Korvane/cGame/cGameScreens.h"
#include "game/Korvane/cGame/cGameStylus.h"

namespace {

constexpr uint32_t kKeyMasse = 0x10000, kKeyDemo = 0x2;

void enterSpinSelector(cGame& game) {
  moveEnglishPoint(game, 0, 0);
  game.turn.spinSelectorShown = 1;
  if (!game.challenges.demo) game.turn.leftSoftKeyText = k_textSelectorBack;
  if (game.match.gameType == k_gameTypeTutorial) openTutorialSpinText(game);
}

void updateSpin(cGame& game) {
  if (game.tutorial.textBoxOpen) {
    // The selector's own pad and masse button act at once and close the
    // coach's box; other keys page it.
    constexpr uint32_t kPad = k_keyRight | k_keyLeft | k_keyUp | k_keyDown;
    if (!game.keys.isPressed(kPad) && !game.keys.isHeld(kPad) && !game.keys.isReleased(kKeyMasse)) {
      updateTutorialTextBox(game);
      return;
    }
    closeTutorialTextBox(game);
  }
  if (game.challenges.demo) {
    updateChallengeDemoSpin(game);
    return;
  }
  if (game.match.gameType == k_gameTypeChallenge && game.keys.isReleased(kKeyDemo)) setChallengeDemoSpin(game);
  auto key = [&game](uint32_t m) { return game.keys.isPressed(m) || game.keys.isHeld(m); };
  if (key(k_keyRight)) moveEnglishPoint(game, kQ14One, 0);
  if (key(k_keyLeft)) moveEnglishPoint(game, -kQ14One, 0);
  if (key(k_keyUp)) moveEnglishPoint(game, 0, -kQ14One);
  if (key(k_keyDown)) moveEnglishPoint(game, 0, kQ14One);
  if (game.keys.isReleased(kKeyMasse) && !tutorialMasseLocked(game)) {
    game.world.shot.masse = game.world.shot.masse ? 0 : 1;
    onTutorialMasse(game);
    if (!game.world.shot.masse) rotateAim(game, 0);
  }
  if (game.keys.isReleased(rightSoftMask(game) | k_keyDismiss | kKeyDemo | k_keyBack)) game.popState();
}

void leaveSpinSelector(cGame& game) {
  game.turn.leftSoftKeyText = k_textSpin;
  game.turn.spinSelectorShown = 0;
  // A lesson's hint is the selector's text: the "?" it lit goes out
  // with the selector, where that key pauses the match again.
  if (game.match.gameType == k_gameTypeTutorial) game.table.hudHint = -1;
}

using namespace touch;

void spinButton(cGame& g, int32_t x) {
  const Rect button{x, 0, 70, 45};
  if (penDown(g)) g.stylus.spinButtonHighlight = kept(g, button);
  if (up(g, button)) {
    pair(g, k_touchKeySpinButton);
    g.stylus.spinButtonHighlight = 0;
  }
}

// The pad: up and down in the middle column, left and right beside them.
struct SpinPad {
  Rect up, down, left, right;
  bool contains(int32_t x, int32_t y) const {
    return touch::contains(up, x, y) || touch::contains(down, x, y) || touch::contains(left, x, y) ||
           touch::contains(right, x, y);
  }
};
constexpr SpinPad spinPad(int32_t left) {
  return {{left + 45, 206, 40, 40}, {left + 45, 250, 40, 40}, {left, 227, 40, 40}, {left + 88, 227, 40, 40}};
}

void spinArrows(cGame& g, const SpinPad& pad) {
  repeatButton(g, pad.up, k_touchKeyUp, &g.stylus.upArrowHighlight);
  repeatButton(g, pad.down, k_touchKeyDown, &g.stylus.downArrowHighlight);
  repeatButton(g, pad.left, k_touchKeyLeft, &g.stylus.leftArrowHighlight);
  repeatButton(g, pad.right, k_touchKeyRight, &g.stylus.rightArrowHighlight);
}

void mapSpinSelector(cGame& g) {
  const SpinPad pad = spinPad(isTwoPlayerSecond(g) ? 25 : 88);
  if (isTwoPlayerSecond(g)) {
    spinButton(g, 170);
  } else if (!g.stylus.spinButtonHidden) {
    spinButton(g, 2);
  }
  spinArrows(g, pad);
  // A lesson's text box over the table: a tap off the selector's button and
  // pad turns its page (the fire key is one of the keys it reads; key 17 is
  // the match's menu key). The button and the pad act, and close the box.
  if (g.match.gameType == k_gameTypeTutorial && g.stylus.spinArrowsLocked) {
    if (!pad.contains(g.releaseX, g.releaseY) && up(g, kWholeScreen)) pair(g, k_touchKeyFire);
    return;
  }
  // The selector's "Back" on the left soft key closes it: it sends the key
  // the selector closes on (the left soft key's own would open the in-game
  // menu and leave the selector open).
  const int32_t close = g.match.altPanelLayout ? k_touchKeyLeftSoft : k_touchKeyRightSoft;
  // Lit only while the pen rests on the key, and dark again when it closes.
  leftSoftHighlight(g, kLeftSoft, true);
  if (up(g, kLeftSoft)) {
    pair(g, close);
    g.stylus.leftSoftHighlight = 0;
  }
}

}  // namespace

const cGameScreen k_screenSpinSelector = {k_stateSpinSelector, updateSpin, paintTable, mapSpinSelector,
                                          enterSpinSelector, leaveSpinSelector};
