// Screens over the table before and at the start of play: the career bet
// (700), the coin toss that decides who breaks (710) and the UK break
// choice of a group (720). Each paint ends by selecting the HUD again.
#include <algorithm>

#include "game/Korvane/cGame/cGame.h"
#include "game/Korvane/cGame/cGameDataIds.h"

const int32_t k_coinFaces[4] = {0, 1, 0, 1};

namespace {

constexpr int32_t kHud = 56;
constexpr int32_t kBetInterface = 11, kCoinInterface = 13, kBreakInterface = 14;
constexpr int32_t kSoftFont = 0;
constexpr int32_t kTossFrames = 32;
constexpr uint32_t kBetLess = 4128, kBetMore = 16512;
const uint32_t kCoinTossItems[] = {27, 28};
const uint32_t kBreakChoiceItems[] = {26, 25, 655};
constexpr uint32_t kGroupLow = 254, kGroupHigh = 65024;

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
    setElementVisible(17, false);
    setElementVisible(16, true);
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
      setElementVisible(16, false);
    } else {
      betPosition = 1;
    }
    if (currentBet > low) setElementVisible(17, true);
    m_keys.lock(5);
  } else if (m_keys.isPressed(kBetLess)) {
    currentBet = std::max(currentBet - step, low);
    if (currentBet <= low) {
      betPosition = 0;
      setElementVisible(17, false);
    } else {
      betPosition = 1;
    }
    if (currentBet < high) setElementVisible(16, true);
    m_keys.lock(5);
  } else if (m_keys.isPressed(k_keySelect)) {
    setInGameState(k_stateOpponentIntro);
  }
}

void cGame::paintBetScreen(Graphics* g) {
  selectInterface(kBetInterface);
  setElementFrame(18, m_leftSoftHighlight ? 84 : 83);
  setElementFrame(19, m_rightSoftHighlight ? 86 : 85);
  paintInterface();
  auto money = [this](int32_t label, int32_t textId, int32_t value) {
    drawElementText(label, textId);
    setTextParam(0, value);
    drawElementText(label + 1, 435);
  };
  money(10, 208, currentBet);
  money(4, 209, getBetMinimum());
  money(6, 210, k_betMaximums[stakeLevelOfSlot(opponentSlot)]);
  money(8, 211, static_cast<int32_t>(std::min<uint32_t>(m_career.money, 0x7FFFFFFF)));
  resetClip(g);
  drawCString(g, m_fonts, "MENU", kSoftFont, 215, 301, 32);
  drawCString(g, m_fonts, "SELECT", kSoftFont, 30, 301, 32);
  selectInterface(kHud);
}

// ---- coin toss (710)

void cGame::updateCoinTossElements() {
  setInterfaceElementVisible(kCoinInterface, 10, tossPhase == 0);
  setInterfaceElementVisible(kCoinInterface, 11, tossPhase == 0);
  setInterfaceElementVisible(kCoinInterface, 12, tossPhase == 1);
}

void cGame::updateCoinToss() {
  if (m_subState == k_subStateDestroy) return;
  if (m_subState == k_subStateInit) {
    selectInterface(kCoinInterface);
    initMenu(kCoinTossItems, 8, 2, true);
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
    if (id == 27 || id == 28) {
      touchHint = 0;
      tossCall = id == 28 ? 0 : 1;
      tossPhase = 1;
      tossFrames = 0;
      setElementAnim(12, m_random ? m_random->nextInt(0, 4) : 0);
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
    const int32_t anim = std::clamp(getInterfaceElementAnim(kCoinInterface, 12), 0, 3);
    currentPlayer = k_coinFaces[anim] == tossCall ? 0 : 1;
    selectInterface(kHud);
    addTextMessage(2, 653, -1);
    chooseNextTurnState();
  }
}

void cGame::paintCoinToss(Graphics* /*g*/) {
  selectInterface(kCoinInterface);
  paintInterface();
  drawElementText(7, tossPhase == 0 ? 652 : 654);
  paintMenu();
  setTextParam(0, 0);
  selectInterface(kHud);
}

// ---- UK break choice (720)

void cGame::updateBreakChoiceElements() {
  const int32_t n = getInterfaceElementCount(kBreakInterface);
  for (int32_t i = 0; i < n; ++i) setInterfaceElementVisible(kBreakInterface, i, (i == 12) == (breakChoiceView == 1));
}

void cGame::updateBreakChoice() {
  if (m_subState == k_subStateDestroy) return;
  if (m_subState == k_subStateInit) {
    selectInterface(kBreakInterface);
    initMenu(kBreakChoiceItems, 9, 3, true);
    setMenuCount(3);
    breakChoiceView = 0;
    updateBreakChoiceElements();
    if (m_backLayer) paintInterfaceLayer(true);
    return;
  }
  selectInterface(kBreakInterface);
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
  if (id == 26 || id == 25) {
    if (id == 26)
      assignGroups(other, me);
    else
      assignGroups(me, other);
    selectInterface(kHud);
    chooseNextTurnState();
    m_keys.lock(5);
  } else if (id == 655) {
    breakChoiceView = 1;
    updateBreakChoiceElements();
    m_keys.lock(5);
  }
}

void cGame::paintBreakChoice(Graphics* g) {
  selectInterface(kBreakInterface);
  setElementFrame(12, m_leftSoftHighlight ? 84 : 83);
  paintInterface();
  if (breakChoiceView == 0) {
    drawElementText(8, 656);
    paintMenu();
  }
  resetClip(g);
  if (breakChoiceView == 1) drawCString(g, m_fonts, "BACK", kSoftFont, 8, 301, 16);
  drawCString(g, m_fonts, "MENU", kSoftFont, 234, 301, 64);
  selectInterface(kHud);
}
