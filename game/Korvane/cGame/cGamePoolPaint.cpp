// Turn and match flow: the in-game paint. The screens over a match paint
// themselves; every match state paints the table scene, in a fixed order of
// layers, and the blinking touch prompt.
#include <cstdio>

#include "game/Korvane/cGame/cGame.h"
#include "game/Korvane/cGame/cGameDataIds.h"
#include "zul/2d/ASprite.h"
#include "zul/2d/Graphics.h"
#include "zul/2d/SpriteAnimPlayer.h"
#include "zul/3d/Angles.h"

namespace {

constexpr int32_t kHudInterface = 56;
constexpr int32_t kGameChallenge = 4;
constexpr int32_t kCueBank = 5;      // in-game bank F
constexpr int32_t kTextBoxFrame = 126, kTextBoxText = 127, kTextBoxMore = 128;
constexpr int32_t kPromptFont = 1;
// The touch prompt stands in the bar under the table, between its two
// buttons: over the table it would cover balls.
constexpr int32_t kPromptX = 123, kPromptY = 310, kPromptAnchor = 32 | 0x200;

bool paintsScreenOnly(int32_t s) {
  switch (s) {
    case k_stateQuestion:
    case k_stateOptions:
    case k_stateHelpMenu:
    case k_stateTutorialChoice:
    case k_stateHelpText:
    case k_stateGameOver:
    case k_stateIGM:
    case k_stateCheatMenu:
    case k_stateInGameQuestion:
    case k_stateChallengeUnlocked:
    case k_stateCharacterUnlocked:
    case k_statePostMatchMenu:
    case k_stateQuestionMenu:
    case k_stateContinue:
      return true;
    default:
      return false;
  }
}

}  // namespace

const cGameScreen* cGame::findMatchScreen(int32_t state) const {
  const cGameScreen* row = m_inGameScreens ? m_inGameScreens->find(state) : nullptr;
  // Front-end screens that also open over a match.
  const bool both = state == k_stateQuestion || state == k_stateOptions || state == k_stateHelpMenu ||
                    state == k_stateTutorialChoice || state == k_stateHelpText || state == k_stateChallengeUnlocked ||
                    state == k_stateCharacterUnlocked;
  if (!row && both && m_frontEndScreens) row = m_frontEndScreens->find(state);
  return row;
}

void cGame::paintInGame(Graphics* target) {
  const int32_t s = s_gameState;
  const cGameScreen* screen = findMatchScreen(s);
  const bool overTable = s == k_stateBet || s == k_stateCoinToss || s == k_stateBreakChoice;
  if (overTable || (!screen && !paintsScreenOnly(s) && s != k_stateMatchInit)) paintTableScene(target);
  if (screen && screen->paint) screen->paint(*this, target);
  // The prompt is the table's: a screen that covers the table has its own.
  if (s != k_stateIGM && !paintsScreenOnly(s)) paintTouchHint(target);
}

void cGame::paintTouchHint(Graphics* g) {
  if (!g || !touchHint) return;
  if (m_gameClock % 1000 <= 500) return;
  if (s_gameState == k_stateMessageBox &&
      static_cast<int64_t>(m_gameClock) - static_cast<int64_t>(static_cast<uint32_t>(m_messageTime)) < 501)
    return;
  resetClip(g);
  drawCString(g, m_fonts, s_gameState == k_stateCoinToss ? "TOUCH ANY COIN" : "TOUCH SCREEN", kPromptFont, kPromptX,
              kPromptY, kPromptAnchor);
}

void cGame::paintBallNumbers(Graphics* g) {
  char number[8];
  for (PhysicalObject* b = m_world.ballList; b; b = b->next) {
    if (b->identity <= 0 || b->identity >= 16 || b->hidden || b->pocketed || b->offTable) continue;
    int32_t x = 0, y = 0;
    PhysicalObject::toScreen(m_world, b->position, x, y);
    std::snprintf(number, sizeof number, "%i", static_cast<int>(b->identity));
    drawCString(g, m_fonts, number, 0, x, y, 0x220);  // centred on the ball
  }
}

void cGame::paintTextBox(Graphics* g) {
  if (!textBoxOn || textBoxText < 0) return;
  paintSpriteElementTo(kTextBoxFrame, 0, 0, false, g);
  const int16_t* box = getInterfaceElement(kHudInterface, kTextBoxText);
  if (box && m_fonts[0]) {
    substitutePlayerNames(textBoxText);
    m_layout.font = 0;
    drawWrappedTextPage(g, m_fonts, 1, m_text.work, 0, m_text.workLength, getInterfaceElementX(kHudInterface, kTextBoxText),
                        getInterfaceElementY(kHudInterface, kTextBoxText),
                        getInterfaceElementWidth(kHudInterface, kTextBoxText),
                        getInterfaceElementHeight(kHudInterface, kTextBoxText), textBoxPage, 0x20);
    m_layout.cacheKey = 0;
    if (ASprite* font = m_fonts[0]) font->setCurrentPalette(0);
  }
  if (textBoxMorePages) paintSpriteElementTo(kTextBoxMore, 0, 0, false, g);
}

// A hard hit on a ball: the effect bank's spark plays once from the start at
// the ball's drawing place; the table scene paints it while it runs.
void cGame::restartHitSpark(int32_t x, int32_t y) {
  SpriteAnimPlayer* p = m_matchPlayerI;
  if (!p) return;
  p->resetAnim();
  p->setAnim(k_animHitSpark);
  p->setPosition(x, y);
  p->active = 1;
}

void cGame::paintTableScene(Graphics* g) {
  if (!g) return;
  Graphics* const savedTarget = m_paintTarget;
  m_paintTarget = g;
  const int32_t s = s_gameState;
  selectInterface(kHudInterface);
  m_world.originX = panelX;
  paintPlayerPanels(g);
  resetClip(g);
  if (s != k_stateResultLines) paintInterfaceAt(hudOffset, 0, false);
  if (powerBarShown) paintPowerBar();
  paintTableBalls(g);
  if (showBallNumbers) paintBallNumbers(g);
  if (handShown) {
    paintBallInHandArea(g);
    if (PhysicalObject* hand = m_world.handCursor) {
      if (!hudHidden) hand->update(m_world);
      if (SpriteAnimPlayer* p = lookPlayer(hand->animPlayer)) {
        p->setPosition(hand->m_screenX, hand->m_screenY);
        p->update();
        p->paint(g);
      }
    }
  }
  paintBallView(g);
  if (m_matchPlayerI && m_matchPlayerI->active) {
    m_matchPlayerI->update();
    m_matchPlayerI->paint(g);
    if (m_matchPlayerI->isAnimOver()) m_matchPlayerI->active = 0;
  }
  if (cueShown && m_world.cueStick && m_world.cueBall) {
    // The stroke moves the cue in its own step.
    if (s != k_stateStroke) m_world.cueStick->update(m_world);
    const Vector2& aim = m_world.shot.aim;
    paintRotatedFrame(g, m_matchBanks[kCueBank], 0, m_world.cueStick->m_screenX, m_world.cueStick->m_screenY,
                      atan2Degrees(aim.x, aim.y), true);
  }
  if (aimGuideShown && m_option7) {
    copyBallsToShadows();
    paintAimGuide(g);
  }
  if (thinkingShown && m_matchPlayerH) {
    m_matchPlayerH->update();
    m_matchPlayerH->paint(g);
  }
  if (spinSelectorShown) paintSpinSelector(g);
  paintTextBox(g);
  paintTutorialTextBox(g);
  paintMessages(g);
  if (s == k_stateResultLines) paintInterfaceAt(hudOffset, 0, false);
  if (gameType == kGameChallenge && m_rules.challengeShotsAllowed > 1) {
    setTextParam(0, m_rules.challengeShotsLeft);
    drawElementText(altPanelLayout ? 29 : 21, k_textShotsLeft);
  }
  paintInGameHud(g);
  // The spin, back and skip labels stand on the right key, which does them
  // (the HUD above); on the left key only the selector's Back.
  paintSoftKeys(altPanelLayout || leftSoftKeyText == k_textSelectorBack ? leftSoftKeyText : -1, -1);
  m_paintTarget = savedTarget;
}
