// The title (state 40): the title picture with its music; a tap goes on to
// the main menu.
#include "game/Korvane/cGame/cGame.h"
#include "game/Korvane/cGame/cGameScreens.h"
#include "game/Korvane/cGame/cGameDataIds.h"
#include "game/Korvane/cGame/cGameStylus.h"
#include "zul/2d/ASprite.h"

void updateTitle(cGame& game) {
  if (game.states.subState == k_subStateInit) {
    FrontEndScreen s;
    s.interfaceId = k_interfaceTitle;
    s.music = k_musicTitle;
    s.backdrop = [](cGame& owner, Graphics* g) {
      if (ASprite* title = owner.loading.sprites[k_slotTitle])
        if (title->frameCount > k_frameTitle) title->paintFrame(g, k_frameTitle, 0, 0, 0);
    };
    setUpScreen(game, s);
    return;
  }
  updateScreen(game, false);
  if (game.keys.isPressed(k_keySelect) && !game.keys.isPressed(k_keyExtra22 | k_keyBack)) {
    game.frame.waitCounter += 1;  // the paint after this update is skipped
    game.setState(k_stateMainMenu);
  }
}

void paintTitle(cGame& game, Graphics* g) {
  paintScreen(game, g, -1, -1);
  if (isBlinkOn(game)) drawElementText(game, k_titlePrompt, k_textTouchPrompt);
  drawElementText(game, k_titleNote, k_textTitleNote);
}

// ---------------------------------------------------- touch mapping and rows

namespace {

using namespace touch;

// A tap anywhere goes on.
void mapTitle(cGame& g) {
  if (up(g, kWholeScreen)) press(g, k_touchKeyFire);
}

}  // namespace

const cGameScreen k_screenTitle = {k_stateTitle, updateTitle, paintTitle, mapTitle};
