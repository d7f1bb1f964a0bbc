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

int32_t cGame::getBetMinimum() {
  const int32_t level = stakeLevelOfSlot(opponentSlot);
  // A bet never takes more than the player has.
  return std::min<int64_t>(k_stakePrices[level], m_career.money);
}

int32_t cGame::getBetMaximum() {
  const int32_t level = stakeLevelOfSlot(opponentSlot);
  return static_cast<int32_t>(std::max<int64_t>(std::min<int64_t>(k_betMaximums[level], m_career.money), getBetMinimum()));
}

void cGame::updateBetScreen() {
  if (m_subState == k_subStateDestroy) return;
  if (m_subState == k_subStateInit) {
    selectInterface(kBetInterface);
    currentBet = getBetMinimum();
    betPosition = 0;
    // No soft key looks pressed before the pen is on one.
    m_leftSoftHighlight = m_rightSoftHighlight = 0;
    setElementVisible(k_betLess, false);
    setElementVisible(k_betMore, true);
    if (m_backLayer) paintInterfaceLayer(true);
    touchHint = 0;
    return;
  }
  const int32_t high = getBetMaximum(), low = getBetMinimum();
  const int32_t step = std::max((high - low) * 10 / 100, 1);
  selectInterface(kBetInterface);
  if (m_keys.isPressed(kBetMore)) {
    currentBet = std::min(currentBet + step, high);
    if (currentBet >= high) {
      betPosition = 2;
      setElementVisible(k_betMore, false);
    } else {
      betPosition = 1;
    }
    if (currentBet > low) setElementVisible(k_betLess, true);
    m_keys.lock(5);
  } else if (m_keys.isPressed(kBetLess)) {
    currentBet = std::max(currentBet - step, low);
    if (currentBet <= low) {
      betPosition = 0;
      setElementVisible(k_betLess, false);
    } else {
      betPosition = 1;
    }
    if (currentBet < high) setElementVisible(k_betMore, true);
    m_keys.lock(5);
  } else if (m_keys.isPressed(k_keySelect)) {
    setInGameState(k_stateOpponentIntro);
  }
}

void cGame::paintBetScreen(Graphics* g) {
  selectInterface(kBetInterface);
  setElementFrame(k_betSoftLeft, m_leftSoftHighlight ? k_softFrameLeftPressed : k_softFrameLeft);
  setElementFrame(k_betSoftRight, m_rightSoftHighlight ? k_softFrameRightPressed : k_softFrameRight);
  paintInterface();
  auto money = [this](int32_t label, int32_t textId, int32_t value) {
    drawElementText(label, textId);
    setTextParam(0, value);
    drawElementText(label + 1, k_textMoney);
  };
  money(k_betLabel, k_textBet, currentBet);
  money(k_betMinimumLabel, k_textBetMinimum, getBetMinimum());
  money(k_betMaximumLabel, k_textBetMaximum, k_betMaximums[stakeLevelOfSlot(opponentSlot)]);
  money(k_betMoneyLabel, k_textBetMoney, static_cast<int32_t>(std::min<uint32_t>(m_career.money, 0x7FFFFFFF)));
  resetClip(g);
  drawCString(g, m_fonts, "MENU", kSoftFont, 215, 301, kAnchorCentre);
  drawCString(g, m_fonts, "SELECT", kSoftFont, 30, 301, kAnchorCentre);
  selectInterface(kHud);
}

// ---- coin toss (710)

void cGame::updateCoinTossElements() {
  setInterfaceElementVisible(kCoinInterface, k_tossCoin0, tossPhase == 0);
  setInterfaceElementVisible(kCoinInterface, k_tossCoin1, tossPhase == 0);
  setInterfaceElementVisible(kCoinInterface, k_tossSpin, tossPhase == 1);
}

void cGame::updateCoinToss() {
  if (m_subState == k_subStateDestroy) return;
  if (m_subState == k_subStateInit) {
    selectInterface(kCoinInterface);
    initMenu(kCoinTossItems, k_tossList, 2, true);
    setMenuCount(2);
    m_menu.selection = 0;
    tossPhase = 0;
    tossFrames = 0;
    updateCoinTossElements();
    if (m_backLayer) paintInterfaceLayer(true);
    touchHint = 1;
    m_menu.selection = -1;
    return;
  }
  selectInterface(kCoinInterface);
  if (tossPhase == 0) {
    const int32_t id = updateMenu();
    if (id == k_textTails || id == k_textHeads) {
      touchHint = 0;
      tossCall = id == k_textHeads ? 0 : 1;
      tossPhase = 1;
      tossFrames = 0;
      setElementAnim(k_tossSpin, m_random ? m_random->nextInt(0, k_coinSpinAnims) : 0);
      // The spin starts from its first look, whatever an earlier toss left.
      if (int16_t* spin = getInterfaceElement(kCoinInterface, k_tossSpin))
        if (spin[F::kWordType] == F::kSprite) spin[F::kWordParams + F::kSpriteFrame] = 0;
      startInterfaceAnimation();
      updateCoinTossElements();
      m_keys.lock(5);
    }
    return;
  }
  // The outcome shows on the 32nd frame after the pick.
  tossFrames += 1;
  if (tossFrames >= kTossFrames) {
    coinTossPending = 0;
    const int32_t anim = std::clamp(getInterfaceElementAnim(kCoinInterface, k_tossSpin), 0, k_coinSpinAnims - 1);
    currentPlayer = k_coinFaces[anim] == tossCall ? 0 : 1;
    selectInterface(kHud);
    addTextMessage(2, k_textTossDone, -1);
    chooseNextTurnState();
  }
}

void cGame::paintCoinToss(Graphics* /*g*/) {
  selectInterface(kCoinInterface);
  paintInterface();
  drawElementText(k_tossPrompt, tossPhase == 0 ? k_textTossPrompt : k_textTossSpinning);
  paintMenu();
  setTextParam(0, 0);
  selectInterface(kHud);
}

// ---- UK break choice (720)

void cGame::updateBreakChoiceElements() {
  const int32_t n = getInterfaceElementCount(kBreakInterface);
  for (int32_t i = 0; i < n; ++i)
    setInterfaceElementVisible(kBreakInterface, i, (i == k_breakBack) == (breakChoiceView == 1));
}

void cGame::updateBreakChoice() {
  if (m_subState == k_subStateDestroy) return;
  if (m_subState == k_subStateInit) {
    selectInterface(kBreakInterface);
    initMenu(kBreakChoiceItems, k_breakList, 3, true);
    setMenuCount(3);
    breakChoiceView = 0;
    updateBreakChoiceElements();
    if (m_backLayer) paintInterfaceLayer(true);
    return;
  }
  selectInterface(kBreakInterface);
  // The key under "MENU" pauses the match, as the label says.
  if (m_keys.isPressed(k_keyRightSoft)) {
    enterIGM();
    return;
  }
  if (breakChoiceView == 1) {
    if (m_keys.isPressed(k_keySelect)) {
      breakChoiceView = 0;
      updateBreakChoiceElements();
      m_keys.lock(5);
    }
    return;
  }
  const int32_t id = updateMenu();
  const int32_t me = std::clamp(currentPlayer, 0, 1), other = 1 - me;
  if (id == k_textYellows || id == k_textReds) {
    if (id == k_textYellows)
      assignGroups(other, me);
    else
      assignGroups(me, other);
    selectInterface(kHud);
    chooseNextTurnState();
    m_keys.lock(5);
  } else if (id == k_textViewTable) {
    breakChoiceView = 1;
    updateBreakChoiceElements();
    m_keys.lock(5);
  }
}

void cGame::paintBreakChoice(Graphics* g) {
  selectInterface(kBreakInterface);
  setElementFrame(k_breakBack, m_leftSoftHighlight ? k_softFrameLeftPressed : k_softFrameLeft);
  paintInterface();
  if (breakChoiceView == 0) {
    drawElementText(k_breakPrompt, k_textChooseGroup);
    paintMenu();
  }
  resetClip(g);
  if (breakChoiceView == 1) drawCString(g, m_fonts, "BACK", kSoftFont, 8, 301, kAnchorLeft);
  drawCString(g, m_fonts, "MENU", kSoftFont, 234, 301, kAnchorRight);
  selectInterface(kHud);
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
    g.m_leftSoftHighlight = down(g, back);
    g.m_rightSoftHighlight = down(g, menu);
  }
  if (g.breakChoiceView != 1) {
    if (rowsUp(g, rows, 3) >= 0) press(g, k_touchKeyLeftSoft);
  } else if (up(g, back)) {
    press(g, k_touchKeyLeftSoft);
  }
  if (up(g, menu)) press(g, k_touchKeyRightSoft);
}

}  // namespace

const cGameScreen k_screenBet = {k_stateBet, [](cGame& g) { g.updateBetScreen(); },
                                 [](cGame& g, Graphics* t) { g.paintBetScreen(t); }, mapBet};
const cGameScreen k_screenCoinToss = {k_stateCoinToss, [](cGame& g) { g.updateCoinToss(); },
                                      [](cGame& g, Graphics* t) { g.paintCoinToss(t); }, mapCoinToss};
const cGameScreen k_screenBreakChoice = {k_stateBreakChoice, [](cGame& g) { g.updateBreakChoice(); },
                                         [](cGame& g, Graphics* t) { g.paintBreakChoice(t); }, mapBreakChoice};
