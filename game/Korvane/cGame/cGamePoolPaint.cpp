// Turn and match flow: the in-game paint. Every row paints what it shows:
// a screen over the match covers the table or stands over it, a match
// state shows the table scene, in a fixed order of layers, with the
// blinking touch prompt over it.
#include <cstdio>

#include "game/Korvane/cGame/cGame.h"
#include "game/Korvane/cGame/cGameDataIds.h"
#include "zul/2d/ASprite.h"
#include "zul/2d/Graphics.h"
#include "zul/2d/SpriteAnimPlayer.h"
#include "zul/3d/Angles.h"

namespace {

constexpr int32_t kHudInterface = 56;
constexpr int32_t kCueBank = 5;      // in-game bank F
constexpr int32_t kTextBoxFrame = 126, kTextBoxText = 127, kTextBoxMore = 128;
constexpr int32_t kPromptFont = 1;
// The touch prompt stands in the bar under the table, between its two
// buttons: over the table it would cover balls.
constexpr int32_t kPromptX = 123, kPromptY = 310, kPromptAnchor = 32 | 0x200;

}  // namespace

const cGameScreen* findMatchScreen(const cGame& game, int32_t state) {
  const cGameScreen* row = game.inGameScreens ? game.inGameScreens->find(state) : nullptr;
  // Front-end screens that also open over a match.
  const bool both = state == k_stateQuestion || state == k_stateOptions || state == k_stateHelpMenu ||
                    state == k_stateTutorialChoice || state == k_stateHelpText || state == k_stateChallengeUnlocked ||
                    state == k_stateCharacterUnlocked;
  if (!row && both && game.frontEndScreens) row = game.frontEndScreens->find(state);
  return row;
}

void paintInGame(cGame& game, Graphics* target) {
  const int32_t s = game.states.gameState;
  const cGameScreen* row = findMatchScreen(game, s);
  if (!row) row = k_matchScreens.find(s);
  // Each row paints what it shows: over the table or in its place.
  if (!row)
    paintTable(game, target);
  else if (row->paint)
    row->paint(game, target);
}

void paintTable(cGame& game, Graphics* g) {
  paintTableScene(game, g);
  paintTouchHint(game, g);
}

void paintTouchHint(cGame& game, Graphics* g) {
  if (!g || !game.turn.touchHint) return;
  if (game.frame.gameClock % 1000 <= 500) return;
  if (game.states.gameState == k_stateMessageBox &&
      static_cast<int64_t>(game.frame.gameClock) -
              static_cast<int64_t>(static_cast<uint32_t>(game.stylus.messageTime)) <
          501)
    return;
  game.resetClip(g);
  if (game.states.gameState == k_stateCoinToss)
    drawCString(game, g, game.text.fonts, "Touch a coin", kPromptFont, kPromptX, kPromptY, kPromptAnchor);
  else
    drawString(game, g, game.text.fonts, k_textTouchPrompt, kPromptFont, kPromptX, kPromptY, kPromptAnchor);
}

void paintBallNumbers(cGame& game, Graphics* g) {
  char number[8];
  for (PhysicalObject* b = game.world.ballList; b; b = b->next) {
    if (b->identity <= 0 || b->identity >= 16 || b->hidden || b->pocketed || b->offTable) continue;
    int32_t x = 0, y = 0;
    PhysicalObject::toScreen(game.world, b->position, x, y);
    std::snprintf(number, sizeof number, "%i", static_cast<int>(b->identity));
    drawCString(game, g, game.text.fonts, number, 0, x, y, 0x220);  // centred on the ball
  }
}

void paintTextBox(cGame& game, Graphics* g) {
  if (!game.turn.textBoxOn || game.turn.textBoxText < 0) return;
  paintSpriteElementTo(game, kTextBoxFrame, 0, 0, false, g);
  int32_t frame[4];
  if (getSpriteElementBox(game, kHudInterface, kTextBoxFrame, getInterfaceElementX(game, kHudInterface, kTextBoxFrame),
                          frame))
    keepNoticesClearOf(game, frame[0], frame[1], frame[2] - frame[0], frame[3] - frame[1]);
  const int16_t* box = getInterfaceElement(game, kHudInterface, kTextBoxText);
  if (box && game.text.fonts[0]) {
    substitutePlayerNames(game, game.turn.textBoxText);
    game.text.layout.font = 0;
    drawWrappedTextPage(game, g, game.text.fonts, 1, game.text.strings.work, 0, game.text.strings.workLength,
                        getInterfaceElementX(game, kHudInterface, kTextBoxText),
                        getInterfaceElementY(game, kHudInterface, kTextBoxText),
                        getInterfaceElementWidth(game, kHudInterface, kTextBoxText),
                        getInterfaceElementHeight(game, kHudInterface, kTextBoxText), game.turn.textBoxPage, 0x20);
    game.text.layout.cacheKey = 0;
    if (ASprite* font = game.text.fonts[0]) font->setCurrentPalette(0);
  }
  if (game.turn.textBoxMorePages) paintSpriteElementTo(game, kTextBoxMore, 0, 0, false, g);
}

// A hard hit on a ball: the effect bank's spark plays once from the start at
// the ball's drawing place; the table scene paints it while it runs.
void restartHitSpark(cGame& game, int32_t x, int32_t y) {
  SpriteAnimPlayer* p = game.loading.matchPlayerI;
  if (!p) return;
  p->resetAnim();
  p->setAnim(k_animHitSpark);
  p->setPosition(x, y);
  p->active = 1;
}

void paintTableScene(cGame& game, Graphics* g) {
  if (!g) return;
  Graphics* const savedTarget = game.frontEnd.paintTarget;
  game.frontEnd.paintTarget = g;
  const int32_t s = game.states.gameState;
  selectInterface(game, kHudInterface);
  game.world.originX = game.table.panelX;
  paintPlayerPanels(game, g);
  game.resetClip(g);
  if (s != k_stateResultLines) paintInterfaceAt(game, game.table.hudOffset, 0, false);
  if (game.turn.powerBarShown) paintPowerBar(game);
  paintTableBalls(game, g);
  if (game.turn.showBallNumbers) paintBallNumbers(game, g);
  if (game.turn.handShown) {
    paintBallInHandArea(game, g);
    if (PhysicalObject* hand = game.world.handCursor) {
      if (!game.turn.hudHidden) hand->update(game.world);
      if (SpriteAnimPlayer* p = lookPlayer(hand->animPlayer)) {
        p->setPosition(hand->m_screenX, hand->m_screenY);
        p->update();
        p->paint(g);
      }
    }
  }
  paintBallView(game, g);
  if (game.loading.matchPlayerI && game.loading.matchPlayerI->active) {
    game.loading.matchPlayerI->update();
    game.loading.matchPlayerI->paint(g);
    if (game.loading.matchPlayerI->isAnimOver()) game.loading.matchPlayerI->active = 0;
  }
  if (game.turn.cueShown && game.world.cueStick && game.world.cueBall) {
    // The stroke moves the cue in its own step.
    if (s != k_stateStroke) game.world.cueStick->update(game.world);
    const Vector2& aim = game.world.shot.aim;
    paintRotatedFrame(game, g, game.loading.matchBanks[kCueBank], 0, game.world.cueStick->m_screenX,
                      game.world.cueStick->m_screenY, atan2Degrees(aim.x, aim.y), true);
  }
  if (game.turn.aimGuideShown && game.career.option7) {
    copyBallsToShadows(game);
    paintAimGuide(game, g);
  }
  if (game.turn.thinkingShown && game.loading.matchPlayerH) {
    game.loading.matchPlayerH->update();
    game.loading.matchPlayerH->paint(g);
  }
  if (game.turn.spinSelectorShown) paintSpinSelector(game, g);
  paintTextBox(game, g);
  paintTutorialTextBox(game, g);
  paintMessages(game, g);
  if (s == k_stateResultLines) paintInterfaceAt(game, game.table.hudOffset, 0, false);
  // The shots left stand in the panel, under the open spin selector.
  if (game.match.gameType == k_gameTypeChallenge && game.rules.challengeShotsAllowed > 1 &&
      !game.turn.spinSelectorShown) {
    setTextParam(game, 0, game.rules.challengeShotsLeft);
    drawElementText(game, game.match.altPanelLayout ? 29 : 21, k_textShotsLeft);
  }
  paintInGameHud(game, g);
  // The spin, back and skip labels stand on the right key, which does them
  // (the HUD above); on the left key only the selector's Back.
  paintSoftKeys(
      game,
      game.match.altPanelLayout || game.turn.leftSoftKeyText == k_textSelectorBack ? game.turn.leftSoftKeyText : -1,
      -1);
  game.frontEnd.paintTarget = savedTarget;
}
