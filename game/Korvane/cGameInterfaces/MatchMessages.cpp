// Messages over the match: the message box pushed over a turn (630), the
// lesson's title and first step (800), the challenge's name and task (810)
// and the end of the tutorial (820).
#include <algorithm>

#include "game/Korvane/cGame/cGame.h"
#include "game/Korvane/cGame/cGameDataIds.h"
#include "game/Korvane/cGame/cGameScreens.h"
#include "game/Korvane/cGame/cGameStylus.h"

void showMessageBox(cGame& game, int32_t player, int32_t textId) {
  game.turn.messagePlayer = static_cast<uint8_t>(player);
  game.turn.messageText = textId;
  game.turn.messageDone = 0;
  game.pushState(k_stateMessageBox);
}

namespace {

// ---- message box (630)

void enterMessageBox(cGame& game) {
  game.match.currentPlayer = game.turn.messagePlayer;
  openTextBox(game, game.turn.messageText);
  game.turn.touchHint = 1;
  game.stylus.messageTime = static_cast<int32_t>(game.frame.gameClock);
}

void updateMessageBox(cGame& game) {
  if (!game.keys.isReleased(k_keyDismiss | rightSoftMask(game))) return;
  if (game.turn.textBoxPage + 1 < game.turn.textBoxPages) {
    game.turn.textBoxPage += 1;
    game.turn.textBoxMorePages = game.turn.textBoxPage + 1 < game.turn.textBoxPages ? 1 : 0;
  } else {
    game.match.currentPlayer = 0;
    game.turn.messageDone = 1;
    game.popState();
  }
}

void leaveMessageBox(cGame& game) {
  // The box is closed: its prompt goes with it.
  game.turn.textBoxOn = 0;
  game.turn.touchHint = 0;
}

void hideTouchHint(cGame& game) { game.turn.touchHint = 0; }

// ---- lesson intro (800)

void enterTutorialLessonIntro(cGame& game) {
  addTextMessage(game, 1, getTutorialLessonText(game, 0), -1);
  game.turn.touchHint = 1;
  game.turn.leftSoftKeyText = -1;
  game.turn.messageDone = 0;
  game.tutorial.awaitsTitle = 1;
}

void updateTutorialLessonIntro(cGame& game) {
  if (game.tutorial.awaitsTitle) {
    game.tutorial.awaitsTitle = 0;
    showMessageBox(game, 1, getTutorialLessonText(game, 1));
  } else if (game.turn.messageDone) {
    chooseNextTurnState(game);
  }
}

// ---- challenge intro (810)

void enterChallengeIntro(cGame& game) {
  game.turn.touchHint = 1;
  game.turn.messageDone = 0;
  game.tutorial.awaitsTitle = 0;
  if (game.challenges.demo) {
    chooseNextTurnState(game);
  } else {
    addTextMessage(game, 2, k_textChallengeName0 + std::clamp(game.match.challengeNumber, 0, 31), -1);
    game.tutorial.awaitsTitle = 1;
  }
}

void updateChallengeIntro(cGame& game) {
  if (game.tutorial.awaitsTitle) {
    game.tutorial.awaitsTitle = 0;
    showMessageBox(game, 1, k_textChallengeIntro0 + std::clamp(game.match.challengeNumber, 0, 31));
  } else if (game.turn.messageDone) {
    chooseNextTurnState(game);
  }
}

// ---- tutorial finished (820)

void enterTutorialFinished(cGame& game) {
  addTextMessage(game, 1, k_textTutorialDone, -1);
  game.turn.touchHint = 1;
}

using namespace touch;

void mapMessageBox(cGame& g) {
  rightSoftHighlight(g);
  // Taps in the first 500 ms after the box opened are dropped, not kept for
  // later.
  if (up(g, kAboveSoftKeys) &&
      static_cast<int64_t>(g.frame.gameClock) - static_cast<int64_t>(g.stylus.messageTime) > 500) {
    pair(g, k_touchKeyFire);
    g.stylus.messageTime = -1;
  }
  rightSoft(g);
}

}  // namespace

const cGameScreen k_screenMessageBox = {k_stateMessageBox, updateMessageBox, paintTable, mapMessageBox,
                                        enterMessageBox, leaveMessageBox};
const cGameScreen k_screenTutorialLessonIntro = {k_stateTutorialLessonIntro, updateTutorialLessonIntro,
                                                 paintTable, mapTapAsFire, enterTutorialLessonIntro,
                                                 hideTouchHint};
const cGameScreen k_screenChallengeIntro = {k_stateChallengeIntro, updateChallengeIntro, paintTable,
                                            mapTapAsFire, enterChallengeIntro, hideTouchHint};
const cGameScreen k_screenTutorialFinished = {k_stateTutorialFinished, returnFromTutorial, paintTable,
                                              mapTapAsFire, enterTutorialFinished, hideTouchHint};
