// The sound question (state 30), asked once a run after the first loading:
// yes turns sound on for the run, no leaves it off; then the title.
#include "game/Korvane/cGame/cGame.h"
#include "game/Korvane/cGame/cGameScreens.h"
#include "game/Korvane/cGame/cGameDataIds.h"
#include "game/Korvane/cGame/cGameStylus.h"
#include "zul/2d/Graphics.h"

namespace {
const uint32_t kYesNo[] = {k_textYes, k_textNo};
}  // namespace

void updateSoundQuestion(cGame& game) {
  if (game.states.subState == k_subStateInit) {
    FrontEndScreen s;
    s.interfaceId = k_interfaceSoundQuestion;
    s.menu = kYesNo;
    s.listElement = k_soundQuestionList;
    s.count = 2;
    s.backdrop = [](cGame&, Graphics* g) {
      g->setColor(0xFF000000);
      g->fillRect(0, 0, 240, 320);
    };
    setUpScreen(game, s);
    game.loading.soundQuestionAsked = 1;
    return;
  }
  // There is no way back from here: back is ignored. The answer is not saved.
  const int32_t id = updateScreen(game);
  if (id <= 0) return;
  game.sound.enabled = id == k_textYes ? 1 : 0;
  game.setState(k_stateTitle);
}

void paintSoundQuestion(cGame& game, Graphics* g) {
  paintScreen(game, g, -1, -1);
  drawElementText(game, k_soundQuestionPrompt, k_textSoundPrompt);
  drawElementText(game, k_soundQuestionNote, k_textSoundNote);
  paintMenu(game);
}

// ---------------------------------------------------- touch mapping and rows

namespace {

using namespace touch;

void mapFirstRunQuestion(cGame& g) {
  const Rect rows[] = {{86, 137, 65, 40}, {86, 186, 65, 40}};
  menuRows(g, rows, 2, true);
}

}  // namespace

const cGameScreen k_screenFirstRunQuestion = {k_stateFirstRunQuestion, updateSoundQuestion, paintSoundQuestion,
                                              mapFirstRunQuestion};
