// Screens over the table before and at the start of play: the career bet
// (700), the coin toss that decides who breaks (710) and the UK break
// choice of a group (720). Each paint ends by selecting the HUD again.
#include <algorithm>

#include "game/Korvane/cGame/InterfaceFormat.h"
#include "game/Korvane/cGame/cGame.h"
#include "game/Korvane/cGame/cGameScreens.h"
#include "game/Korvane/cGame/cGameDataIds.h"
#include "game/Korvane/cGame/cGameStylus.h"

const int32_t k_coinFaces[4] = {0, 1, 0, 1};

namespace F = interfaceformat;

namespace {

constexpr int32_t kHud = k_interfaceHud;
constexpr int32_t kBetInterface = k_ifBet, kCoinInterface = k_ifCoinToss, kBreakInterface = k_ifBreakChoice;
constexpr int32_t kSoftFont = k_font0;
constexpr int32_t kAnchorLeft = 16, kAnchorCentre = 32, kAnchorRight = 64;
constexpr int32_t kTossFrames = 32;
constexpr uint32_t kBetLess = 4128, kBetMore = 16512;
const uint32_t kCoinTossItems[] = {k_textTails, k_textHeads};
const uint32_t kBreakChoiceItems[] = {k_textYellows, k_textReds, k_textViewTable};

}  // namespace

// ---- bet (700)

// The bet moves between the level's minimum and maximum and never takes more
// than the player has. Every way into a career match refuses one the player
// cannot afford, so the level's minimum holds.
int32_t getBetMinimum(cGame& game) {
  const int32_t level = stakeLevelOfSlot(game.setup.opponentSlot);
  return std::min<int32_t>(k_stakePrices[level], getCareerMoney(game));
}

int32_t getBetMaximum(cGame& game) {
  const int32_t level = stakeLevelOfSlot(game.setup.opponentSlot);
  return std::max(std::min<int32_t>(k_betMaximums[level], getCareerMoney(game)), getBetMinimum(game));
}

void updateBetScreen(cGame& game) {
  if (game.states.subState == k_subStateDestroy) return;
  if (game.states.subState == k_subStateInit) {
    selectInterface(game, kBetInterface);
    game.setup.currentBet = getBetMinimum(game);
    game.setup.betPosition = 0;
    // No soft key looks pressed before the pen is on one.
    game.stylus.leftSoftHighlight = game.stylus.rightSoftHighlight = 0;
    setElementVisible(game, k_betLess, false);
    setElementVisible(game, k_betMore, true);
    if (game.frontEnd.backLayer) paintInterfaceLayer(game, true);
    game.turn.touchHint = 0;
    return;
  }
  const int32_t high = getBetMaximum(game), low = getBetMinimum(game);
  const int32_t step = std::max((high - low) * 10 / 100, 1);
  selectInterface(game, kBetInterface);
  // The key under "MENU" pauses the match, as the label says.
  if (game.keys.isPressed(k_keyRightSoft)) {
    enterIGM(game);
    return;
  }
  if (game.keys.isPressed(kBetMore)) {
    game.setup.currentBet = std::min(game.setup.currentBet + step, high);
    if (game.setup.currentBet >= high) {
      game.setup.betPosition = 2;
      setElementVisible(game, k_betMore, false);
    } else {
      game.setup.betPosition = 1;
    }
    if (game.setup.currentBet > low) setElementVisible(game, k_betLess, true);
    game.keys.lock(5);
  } else if (game.keys.isPressed(kBetLess)) {
    game.setup.currentBet = std::max(game.setup.currentBet - step, low);
    if (game.setup.currentBet <= low) {
      game.setup.betPosition = 0;
      setElementVisible(game, k_betLess, false);
    } else {
      game.setup.betPosition = 1;
    }
    if (game.setup.currentBet < high) setElementVisible(game, k_betMore, true);
    game.keys.lock(5);
  } else if (game.keys.isPressed(k_keySelect)) {
    game.setInGameState(k_stateOpponentIntro);
  }
}

void paintBetScreen(cGame& game, Graphics* g) {
  selectInterface(game, kBetInterface);
  setElementFrame(game, k_betSoftLeft, game.stylus.leftSoftHighlight ? k_softFrameLeftPressed : k_softFrameLeft);
  setElementFrame(game, k_betSoftRight, game.stylus.rightSoftHighlight ? k_softFrameRightPressed : k_softFrameRight);
  paintInterface(game);
  auto money = [&game](int32_t label, int32_t textId, int32_t value) {
    drawElementText(game, label, textId);
    setTextParam(game, 0, value);
    drawElementText(game, label + 1, k_textMoney);
  };
  const int32_t level = stakeLevelOfSlot(game.setup.opponentSlot);
  money(k_betLabel, k_textBet, game.setup.currentBet);
  money(k_betMinimumLabel, k_textBetMinimum, k_stakePrices[level]);
  money(k_betMaximumLabel, k_textBetMaximum, k_betMaximums[level]);
  money(k_betMoneyLabel, k_textBetMoney, getCareerMoney(game));
  game.resetClip(g);
  drawCString(game, g, game.text.fonts, "MENU", kSoftFont, 215, 301, kAnchorCentre);
  drawCString(game, g, game.text.fonts, "SELECT", kSoftFont, 30, 301, kAnchorCentre);
  selectInterface(game, kHud);
}

// ---- coin toss (710)

void updateCoinTossElements(cGame& game) {
  setInterfaceElementVisible(game, kCoinInterface, k_tossCoin0, game.setup.tossPhase == 0);
  setInterfaceElementVisible(game, kCoinInterface, k_tossCoin1, game.setup.tossPhase == 0);
  setInterfaceElementVisible(game, kCoinInterface, k_tossSpin, game.setup.tossPhase == 1);
}

void updateCoinToss(cGame& game) {
  if (game.states.subState == k_subStateDestroy) return;
  if (game.states.subState == k_subStateInit) {
    selectInterface(game, kCoinInterface);
    initMenu(game, kCoinTossItems, k_tossList, 2, true);
    setMenuCount(game, 2);
    game.menu.selection = 0;
    game.setup.tossPhase = 0;
    game.setup.tossFrames = 0;
    updateCoinTossElements(game);
    if (game.frontEnd.backLayer) paintInterfaceLayer(game, true);
    game.turn.touchHint = 1;
    game.menu.selection = -1;
    return;
  }
  selectInterface(game, kCoinInterface);
  if (game.keys.isPressed(k_keyRightSoft)) {
    enterIGM(game);
    return;
  }
  if (game.setup.tossPhase == 0) {
    const int32_t id = updateMenu(game);
    if (id == k_textTails || id == k_textHeads) {
      game.turn.touchHint = 0;
      game.setup.tossCall = id == k_textHeads ? 0 : 1;
      game.setup.tossPhase = 1;
      game.setup.tossFrames = 0;
      setElementAnim(game, k_tossSpin, game.engine.random ? game.engine.random->nextInt(0, k_coinSpinAnims) : 0);
      // The spin starts from its first look, whatever an earlier toss left.
      if (int16_t* spin = getInterfaceElement(game, kCoinInterface, k_tossSpin))
        if (spin[F::kWordType] == F::kSprite) spin[F::kWordParams + F::kSpriteFrame] = 0;
      startInterfaceAnimation(game);
      updateCoinTossElements(game);
      game.keys.lock(5);
    }
    return;
  }
  // The outcome shows on the 32nd frame after the pick.
  game.setup.tossFrames += 1;
  if (game.setup.tossFrames >= kTossFrames) {
    game.turn.coinTossPending = 0;
    const int32_t anim = std::clamp(getInterfaceElementAnim(game, kCoinInterface, k_tossSpin), 0, k_coinSpinAnims - 1);
    game.match.currentPlayer = k_coinFaces[anim] == game.setup.tossCall ? 0 : 1;
    selectInterface(game, kHud);
    addTextMessage(game, 2, k_textTossDone, -1);
    chooseNextTurnState(game);
  }
}

void paintCoinToss(cGame& game, Graphics* g) {
  selectInterface(game, kCoinInterface);
  paintInterface(game);
  drawElementText(game, k_tossPrompt, game.setup.tossPhase == 0 ? k_textTossPrompt : k_textTossSpinning);
  paintMenu(game);
  setTextParam(game, 0, 0);
  game.resetClip(g);
  drawCString(game, g, game.text.fonts, "MENU", kSoftFont, 215, 301, kAnchorCentre);
  selectInterface(game, kHud);
}

// ---- UK break choice (720)

void updateBreakChoiceElements(cGame& game) {
  const int32_t n = getInterfaceElementCount(game, kBreakInterface);
  for (int32_t i = 0; i < n; ++i)
    setInterfaceElementVisible(game, kBreakInterface, i, (i == k_breakBack) == (game.setup.breakChoiceView == 1));
}

void updateBreakChoice(cGame& game) {
  if (game.states.subState == k_subStateDestroy) return;
  if (game.states.subState == k_subStateInit) {
    selectInterface(game, kBreakInterface);
    initMenu(game, kBreakChoiceItems, k_breakList, 3, true);
    setMenuCount(game, 3);
    game.setup.breakChoiceView = 0;
    updateBreakChoiceElements(game);
    if (game.frontEnd.backLayer) paintInterfaceLayer(game, true);
    return;
  }
  selectInterface(game, kBreakInterface);
  // The key under "MENU" pauses the match, as the label says.
  if (game.keys.isPressed(k_keyRightSoft)) {
    enterIGM(game);
    return;
  }
  if (game.setup.breakChoiceView == 1) {
    if (game.keys.isPressed(k_keySelect)) {
      game.setup.breakChoiceView = 0;
      updateBreakChoiceElements(game);
      game.keys.lock(5);
    }
    return;
  }
  const int32_t id = updateMenu(game);
  const int32_t me = std::clamp(game.match.currentPlayer, 0, 1), other = 1 - me;
  if (id == k_textYellows || id == k_textReds) {
    if (id == k_textYellows)
      assignGroups(game, other, me);
    else
      assignGroups(game, me, other);
    selectInterface(game, kHud);
    chooseNextTurnState(game);
    game.keys.lock(5);
  } else if (id == k_textViewTable) {
    game.setup.breakChoiceView = 1;
    updateBreakChoiceElements(game);
    game.keys.lock(5);
  }
}

void paintBreakChoice(cGame& game, Graphics* g) {
  selectInterface(game, kBreakInterface);
  setElementFrame(game, k_breakBack, game.stylus.leftSoftHighlight ? k_softFrameLeftPressed : k_softFrameLeft);
  paintInterface(game);
  if (game.setup.breakChoiceView == 0) {
    drawElementText(game, k_breakPrompt, k_textChooseGroup);
    paintMenu(game);
  }
  game.resetClip(g);
  if (game.setup.breakChoiceView == 1) drawCString(game, g, game.text.fonts, "BACK", kSoftFont, 8, 301, kAnchorLeft);
  drawCString(game, g, game.text.fonts, "MENU", kSoftFont, 234, 301, kAnchorRight);
  selectInterface(game, kHud);
}

// ---------------------------------------------------- touch mapping and rows

namespace {

using namespace touch;

void mapBet(cGame& g) {
  if (penDown(g)) {
    leftSoftHighlight(g);
    rightSoftHighlight(g);
  }
  leftSoft(g);
  rightSoft(g);
  if (up(g, {0, 115, 40, 44})) pair(g, k_touchKeyLeft);
  if (up(g, {86, 115, 40, 44})) pair(g, k_touchKeyRight);
}

void mapCoinToss(cGame& g) {
  const Rect coins[] = {{48, 92, 45, 45}, {148, 92, 45, 45}};
  const int32_t values[] = {0, 1};
  rowsDown(g, coins, values, 2, -1, false);
  rightSoftHighlight(g);
  // A press without a release: key 17 stays held until the next key lock.
  if (rowsUp(g, coins, 2) >= 0) press(g, k_touchKeyLeftSoft);
  rightSoft(g);
}

void mapBreakChoice(cGame& g) {
  const Rect rows[] = {row(121, 40), row(165, 40), row(212, 40)};
  const int32_t values[] = {0, 1, 2};
  const Rect back{0, 340, 40, 40};
  const Rect menu{175, 340, 65, 38};
  if (penDown(g)) {
    rowsDown(g, rows, values, 3, -1, false);
    g.stylus.leftSoftHighlight = down(g, back);
    g.stylus.rightSoftHighlight = down(g, menu);
  }
  if (g.setup.breakChoiceView != 1) {
    if (rowsUp(g, rows, 3) >= 0) press(g, k_touchKeyLeftSoft);
  } else if (up(g, back)) {
    press(g, k_touchKeyLeftSoft);
  }
  if (up(g, menu)) press(g, k_touchKeyRightSoft);
}

// The screens stand over the table and its touch prompt.
template <void (*paintScreen)(cGame&, Graphics*)>
void overTable(cGame& game, Graphics* g) {
  paintTableScene(game, g);
  paintScreen(game, g);
  paintTouchHint(game, g);
}

}  // namespace

const cGameScreen k_screenBet = {k_stateBet, updateBetScreen, overTable<paintBetScreen>, mapBet};
const cGameScreen k_screenCoinToss = {k_stateCoinToss, updateCoinToss, overTable<paintCoinToss>, mapCoinToss};
const cGameScreen k_screenBreakChoice = {k_stateBreakChoice, updateBreakChoice, overTable<paintBreakChoice>,
                                         mapBreakChoice};
