// The questions the turn flow asks over the table through the question menu:
// the nine-ball push-out, offered and answered, and whether to skip the
// computer's shots from now on. Back opens the in-game menu over them.
#include "game/Korvane/cGame/cGame.h"
#include "game/Korvane/cGame/cGameDataIds.h"

namespace {

constexpr int32_t kActionPushOutOffer = 9, kActionPushOutPlay = 10, kActionSkipShots = 11;

void takePushOut(cGame& game) {
  answerPushOutOffer(game, true);
  game.popState();
}

void declinePushOut(cGame& game) {
  answerPushOutOffer(game, false);
  game.popState();
}

void playFromPushOut(cGame& game) {
  answerPushOutPlay(game);
  game.popState();
}

// No: the table goes back to the player who pushed out.
void passPushOutBack(cGame& game) {
  answerPushOutPlay(game);
  switchPlayer(game);
  game.popState();
}

void setSkipShots(cGame& game, bool on) {
  game.career.option8 = on ? 1 : 0;
  saveSettings(game);
}

void skipShotsFromNowOn(cGame& game) {
  setSkipShots(game, true);
  game.setInGameState(k_stateAfterShot);
}

void keepWatchingShots(cGame& game) {
  setSkipShots(game, false);
  game.setInGameState(game.question.returnState);
}

// The note says where the choice can be changed again.
void paintSkipShotsQuestion(cGame& game) {
  paintQuestionText(game);
  paintQuestionNote(game, k_textOption8Note);
}

}  // namespace

const Question k_questionPushOutOffer = {.title = k_textPushOutTitle,
                                         .body = k_textPushOutOffer,
                                         .returnState = k_stateAfterShot,
                                         .action = kActionPushOutOffer,
                                         .yes = takePushOut,
                                         .no = declinePushOut,
                                         .back = openMenuOverQuestion};
const Question k_questionPushOutPlay = {.title = k_textPushOutTitle,
                                        .body = k_textPushOutPlay,
                                        .returnState = k_stateAfterShot,
                                        .action = kActionPushOutPlay,
                                        .yes = playFromPushOut,
                                        .no = passPushOutBack,
                                        .back = openMenuOverQuestion};
const Question k_questionSkipShots = {.title = k_textSkipShotsTitle,
                                      .body = k_textSkipShotsQuestion,
                                      .returnState = k_stateAfterShot,
                                      .action = kActionSkipShots,
                                      .yes = skipShotsFromNowOn,
                                      .no = keepWatchingShots,
                                      .back = openMenuOverQuestion,
                                      .setUp = showQuestionNoteBox,
                                      .paint = paintSkipShotsQuestion};
