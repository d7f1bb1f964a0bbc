// Stylus mapping: once a frame the pen-down and pen-up points that the touch
// glue stored are hit-tested against the current screen's buttons and turned
// into virtual key presses and releases, menu selections and the highlight
// bytes the screens draw pressed buttons from.
#include "game/Korvane/cGame/cGameStylus.h"

#include "game/Korvane/cGame/cGame.h"
#include "platform/brew/AppletGameBridge.h"
#include <algorithm>
#include <initializer_list>

#include "zul/lm/Q14.h"

namespace {

struct Rect {
  int32_t x, y, w, h;
};

constexpr Rect kLeftSoft{0, 338, 60, 40};
constexpr Rect kRightSoft{197, 338, 43, 40};
constexpr Rect kWholeScreen{0, 0, 240, 320};
constexpr Rect kAboveSoftKeys{0, 0, 240, 280};
constexpr Rect kAboveBar{0, 0, 240, 285};  // all but the soft-key bar
constexpr Rect kFireLeft{10, 170, 40, 40};
constexpr Rect kFireRight{190, 170, 40, 40};

constexpr int32_t kNoPoint = -1;

// A menu row: x 18, width 212.
constexpr Rect row(int32_t y, int32_t h) { return {18, y, 212, h}; }

bool contains(const Rect& r, int32_t px, int32_t py) { return touchRectContains(r.x, r.y, r.w, r.h, px, py); }

// Keys go through the bridge's key entry when this game is the bridge's;
// otherwise (a game without an applet) straight to the key operations.
void sendKey(cGame& g, bool down, int32_t key) {
  AppletGameBridge* bridge = getAppletGameBridge();
  if (bridge && bridge->getGame() == static_cast<GameBase*>(&g)) {
    bridge->keyEvent(down ? 1 : 0, key);
  } else if (down) {
    g.keyPressed(key);
  } else {
    g.keyReleased(key);
  }
}
void press(cGame& g, int32_t key) { sendKey(g, true, key); }
void release(cGame& g, int32_t key) { sendKey(g, false, key); }
void pair(cGame& g, int32_t key) {
  press(g, key);
  release(g, key);
}

bool down(cGame& g, const Rect& r, bool consume = true) { return g.isPointerPressedIn(r.x, r.y, r.w, r.h, consume); }
bool up(cGame& g, const Rect& r) { return g.isPointerReleasedIn(r.x, r.y, r.w, r.h, true); }
bool kept(cGame& g, const Rect& r) { return down(g, r, false); }

// The pen is down somewhere on the screen (a guard; it consumes nothing).
bool penDown(const cGame& g) { return contains(kWholeScreen, g.pointerX, g.pointerY); }

// While the pen is down: selection := the value of the row under it, else
// `elsewhere`.
void rowsDown(cGame& g, const Rect* rows, const int32_t* values, int32_t n, int32_t elsewhere, bool keep) {
  if (!penDown(g)) return;
  int32_t selection = elsewhere;
  for (int32_t i = 0; i < n; ++i) {
    if (down(g, rows[i], !keep)) {
      selection = values[i];
      break;
    }
  }
  g.m_menu.selection = selection;
}

// Index of the row that a pen-up hit, or -1.
int32_t rowsUp(cGame& g, const Rect* rows, int32_t n) {
  for (int32_t i = 0; i < n; ++i)
    if (up(g, rows[i])) return i;
  return -1;
}

// The common menu: rows give their index, elsewhere -1; a pen-up on a row
// sends press 17.
void menuRows(cGame& g, const Rect* rows, int32_t n, bool keep = false) {
  int32_t values[8] = {};
  if (n > 8) n = 8;
  for (int32_t i = 0; i < n; ++i) values[i] = i;
  rowsDown(g, rows, values, n, -1, keep);
  if (rowsUp(g, rows, n) >= 0) press(g, k_touchKeyLeftSoft);
}

void rightSoftHighlight(cGame& g, bool keep = false) {
  if (penDown(g)) g.m_rightSoftHighlight = down(g, kRightSoft, !keep);
}

void leftSoftHighlight(cGame& g, const Rect& r = kLeftSoft, bool keep = false) {
  if (penDown(g)) g.m_leftSoftHighlight = down(g, r, !keep);
}

enum class Send { Press, Pair };

void send(cGame& g, int32_t key, Send how) {
  if (how == Send::Pair)
    pair(g, key);
  else
    press(g, key);
}

// Right soft key: highlight while the pen is down, the key on a pen-up.
void rightSoft(cGame& g, Send how = Send::Press, int32_t key = k_touchKeyRightSoft, bool keep = false) {
  rightSoftHighlight(g, keep);
  if (up(g, kRightSoft)) {
    send(g, key, how);
    g.m_rightSoftHighlight = 0;
  }
}

// Left soft key: highlight while the pen is down, pair 17 on a pen-up.
void leftSoft(cGame& g, bool keep = false) {
  leftSoftHighlight(g, kLeftSoft, keep);
  if (up(g, kLeftSoft)) {
    pair(g, k_touchKeyLeftSoft);
    g.m_leftSoftHighlight = 0;
  }
}

// Fire button: highlight while the pen is down, pair 19 on a pen-up.
void fireButton(cGame& g, bool right, bool keep) {
  const Rect& fire = right ? kFireRight : kFireLeft;
  if (penDown(g)) g.m_fireHighlight = down(g, fire, !keep);
  if (up(g, fire)) {
    pair(g, k_touchKeyFire);
    g.m_fireHighlight = 0;
  }
}

// Hold-scroll: up while the pen rests on A, down while on B.
void holdScroll(cGame& g, const Rect& a, const Rect& b) {
  if (kept(g, a)) {
    press(g, k_touchKeyUp);
  } else if (kept(g, b)) {
    press(g, k_touchKeyDown);
  } else {
    release(g, k_touchKeyUp);
    release(g, k_touchKeyDown);
  }
}

// A button that repeats its key every frame while the pen rests on it.
void repeatButton(cGame& g, const Rect& r, int32_t key, uint8_t* highlight) {
  const bool hit = kept(g, r);
  if (highlight) *highlight = hit;
  if (hit) pair(g, key);
}

bool isTwoPlayerSecond(const cGame& g) { return g.currentPlayer == 1 && g.gameType == 1; }

bool isHumanAtTable(const cGame& g) {
  const int32_t p = g.currentPlayer;
  return p >= 0 && p < 2 && g.playerProfile[p] == -1;
}

uint32_t flagsOf(const cGame& g, int32_t entry) {
  if (entry < 0 || entry >= static_cast<int32_t>(sizeof g.m_menu.flags / sizeof g.m_menu.flags[0])) return ~0u;
  return g.m_menu.flags[entry];
}

// Paged lists: the second page shows from entry `pageSize` on.
bool onSecondPage(const cGame& g, int32_t pageSize) { return g.m_menu.firstVisible >= pageSize; }
void switchPage(cGame& g, int32_t pageSize) { g.m_menu.firstVisible = onSecondPage(g, pageSize) ? 0 : pageSize; }

// ----------------------------------------------------------------- states

void mapFirstRunQuestion(cGame& g) {
  const Rect rows[] = {{86, 137, 65, 40}, {86, 186, 65, 40}};
  menuRows(g, rows, 2, true);
}

// The main menu's list turns to bring the selection to its third row, so a
// row gives the entry it showed when the pen went down, not its own index.
void mapMainMenu(cGame& g) {
  int32_t& first = g.m_mainMenuTouchFirst;
  if (penDown(g) && first == cGame::k_noTouchFirst) first = g.m_menu.firstVisible;
  const int32_t shownFrom = first == cGame::k_noTouchFirst ? g.m_menu.firstVisible : first;
  Rect rows[7];
  int32_t values[7];
  for (int32_t i = 0; i < 7; ++i) {
    rows[i] = row(49 + 40 * i, 24);
    values[i] = g.getMainMenuRowEntry(i, shownFrom);
  }
  rowsDown(g, rows, values, 7, -1, true);
  const int32_t hit = rowsUp(g, rows, 7);
  if (!penDown(g)) first = cGame::k_noTouchFirst;
  if (hit >= 0) {
    g.m_menu.selection = values[hit];
    press(g, k_touchKeyLeftSoft);
  }
}

void mapQuestion(cGame& g) {
  if (g.m_questionAction < 0 || g.m_questionAction > 14) return;
  const Rect rows[] = {row(150, 40), row(202, 40)};
  menuRows(g, rows, 2);
}

void mapOptions(cGame& g) {
  // The options outside a match show five rows (reset all and help); the
  // fifth is narrower, clear of the back key.
  const Rect rows[] = {row(126, 28), row(176, 28), row(226, 28), row(276, 28), {18, 325, 170, 28}};
  const int32_t values[] = {0, 1, 2, g.m_menusOverMatch ? 4 : 3, 4};
  const int32_t n = g.s_gameState == k_stateOptions && !g.m_menusOverMatch ? 5 : 4;
  rowsDown(g, rows, values, n, -1, false);
  if (rowsUp(g, rows, n) >= 0) press(g, k_touchKeyLeftSoft);
  rightSoft(g);
}

void mapRulesChoice(cGame& g) {
  const Rect rows[] = {row(106, 40), row(154, 40), row(205, 40)};
  const int32_t values[] = {0, 1, 2};
  rowsDown(g, rows, values, 3, 4, false);
  uint8_t& armed = g.m_screenFlags[k_screenFlagDelayedSelect];
  if (rowsUp(g, rows, 3) >= 0) {
    armed = 1;
    g.m_delayedSelectTime = g.m_gameClock;
  }
  if (armed && g.m_gameClock - g.m_delayedSelectTime >= 500) press(g, k_touchKeyLeftSoft);
  rightSoft(g);
}

void mapCharacterSelect(cGame& g) {
  rightSoftHighlight(g);
  const bool left = g.m_subState == k_subStateDestroy;  // the 20 step
  const Rect prev{left ? 25 : 162, 190, 45, 40};
  const Rect next{left ? 25 : 162, 80, 45, 40};
  const Rect name{left ? 13 : 148, 128, 74, 50};
  if (up(g, prev)) pair(g, k_touchKeyLeft);
  if (up(g, next)) pair(g, k_touchKeyRight);
  if (up(g, name)) pair(g, k_touchKeyFire);
  rightSoft(g);
}

// Pictures of the pub spots, by the spot's text id.
struct SpotPicture {
  int32_t text;
  Rect rect;
};
constexpr int32_t kPubSpotTexts[6] = {61, 38, 62, 63, 64, 65};
constexpr SpotPicture kSpotPictures[] = {
    {64, {22, 102, 184, 120}}, {65, {194, 95, 44, 213}}, {63, {94, 167, 101, 140}},
    {38, {78, 133, 81, 102}},  {61, {88, 126, 122, 34}}, {62, {80, 133, 93, 67}},
};

void mapPub(cGame& g) {
  if (!g.swipeLeft && !g.swipeRight && g.m_pubSpot >= 0 && g.m_pubSpot < 6) {
    const int32_t text = kPubSpotTexts[g.m_pubSpot];
    for (const SpotPicture& p : kSpotPictures) {
      if (p.text == text) {
        if (up(g, p.rect)) press(g, k_touchKeyLeftSoft);
        break;
      }
    }
  }
  rightSoft(g, Send::Pair);
  if (up(g, {200, 165, 40, 55})) pair(g, k_touchKeyRight);
  if (up(g, {0, 165, 40, 55})) pair(g, k_touchKeyLeft);
}

void mapRows(cGame& g, std::initializer_list<int32_t> tops, int32_t h) {
  Rect rows[8];
  int32_t n = 0;
  for (int32_t y : tops)
    if (n < 8) rows[n++] = row(y, h);
  menuRows(g, rows, n);
}

// Four rows of five lessons: a row stands for the lesson shown on it, and
// the arrows over and under the rows scroll the list by one lesson.
void mapTutorialChoice(cGame& g) {
  constexpr int32_t kRows = 4;
  const Rect rows[kRows] = {row(129, 29), row(179, 29), row(229, 29), row(279, 29)};
  const int32_t first = std::max(g.m_menu.firstVisible, 0);
  int32_t values[kRows];
  for (int32_t i = 0; i < kRows; ++i) values[i] = first + i;
  rowsDown(g, rows, values, kRows, -1, false);
  if (rowsUp(g, rows, kRows) >= 0) press(g, k_touchKeyLeftSoft);
  if (up(g, {100, 102, 40, 22}) && first > 0) {
    g.m_menu.selection = first;
    pair(g, k_touchKeyUp);
  }
  if (up(g, {100, 316, 40, 18}) && first + kRows < g.m_menu.count) {
    g.m_menu.selection = first + kRows - 1;
    pair(g, k_touchKeyDown);
  }
  rightSoft(g);
}

void mapCareerCharacterSelect(cGame& g) {
  rightSoftHighlight(g);
  if (up(g, {25, 253, 74, 50})) press(g, k_touchKeyLeftSoft);
  if (up(g, {0, 80, 40, 45})) press(g, k_touchKeyLeft);
  if (up(g, {200, 80, 40, 45})) press(g, k_touchKeyRight);
  rightSoft(g);
}

// A tap anywhere acts as `key`, except on the back button in the right soft
// key's place, which is tested first: it goes back.
void mapWholeScreenBesideBack(cGame& g, int32_t key) {
  rightSoft(g);
  if (up(g, kWholeScreen)) press(g, key);
}

// A paged list: rows of the current page, a page-change button (selection
// -2). Returns the row a pen-up hit (-1 none); a pen-up on the button
// switches the page.
int32_t pagedList(cGame& g, int32_t top, int32_t rows, int32_t pageSize, const Rect& pageButton) {
  Rect rects[6];
  int32_t values[6];
  const int32_t base = onSecondPage(g, pageSize) ? pageSize : 0;
  for (int32_t i = 0; i < rows; ++i) {
    rects[i] = row(top + 35 * i, 20);
    values[i] = base + i;
  }
  rects[rows] = pageButton;
  values[rows] = -2;
  rowsDown(g, rects, values, rows + 1, -1, false);
  return rowsUp(g, rects, rows);
}

void pageButtonUp(cGame& g, const Rect& pageButton, int32_t pageSize) {
  if (up(g, pageButton)) {
    switchPage(g, pageSize);
    g.m_menu.selection = -1;
  }
}

// A locked (or hidden) challenge can be selected, so that its note says why
// it is locked, but it never arms the second tap: the list stays usable.
bool isStartable(const cGame& g, int32_t entry) { return entry >= 0 && (flagsOf(g, entry) & 5u) == 0; }

void mapChallengeList(cGame& g) {
  uint8_t& armed = g.m_screenFlags[k_screenFlagChallengeConfirm];
  const Rect pageButton{82, 251, 60, 25};
  if (armed && !isStartable(g, g.m_menu.selection)) armed = 0;
  if (!armed) {
    if (pagedList(g, 100, 4, 4, pageButton) >= 0 && isStartable(g, g.m_menu.selection)) armed = 1;
    pageButtonUp(g, pageButton, 4);
    rightSoft(g);
    return;
  }
  rightSoftHighlight(g);
  if (up(g, kRightSoft)) {
    armed = 0;
    g.m_rightSoftHighlight = 0;
    return;
  }
  if (up(g, kAboveSoftKeys)) {
    press(g, k_touchKeyLeftSoft);
    armed = 0;
  }
}

void mapTournamentCharacterSelect(cGame& g) {
  rightSoftHighlight(g);
  if (up(g, {79, 137, 80, 54})) pair(g, k_touchKeyFire);
  rightSoft(g);
  if (up(g, {0, 137, 40, 40})) pair(g, k_touchKeyLeft);
  if (up(g, {200, 137, 40, 40})) pair(g, k_touchKeyRight);
}

void mapTableChoice(cGame& g) {
  const Rect button{103, 285, 44, 44};
  if (contains({0, 0, 240, 360}, g.pointerX, g.pointerY)) {
    g.m_leftSoftHighlight = down(g, button);
    rightSoftHighlight(g);
  }
  if (up(g, button)) pair(g, k_touchKeyLeftSoft);
  if (up(g, {15, 186, 40, 55})) pair(g, k_touchKeyLeft);
  if (up(g, {185, 186, 40, 55})) pair(g, k_touchKeyRight);
  rightSoft(g);
}

void mapStakeChoice(cGame& g) {
  g.previousStakeLevel = g.stakeLevel;
  const int32_t seats[8][2] = {{0, 125},   {5, 175},   {55, 155},  {70, 202},
                               {g.skippedSeat == 5 ? 125 : 100, 105}, {130, 200}, {160, 155}, {200, 224}};
  bool touched = false;
  for (int32_t level = 0; level < 8; ++level) {
    if (down(g, {seats[level][0], seats[level][1], 40, 40})) {
      g.stakeLevel = level;
      touched = true;
      break;
    }
  }
  const Rect button{155, 85, 44, 44};
  leftSoftHighlight(g, button, true);
  rightSoftHighlight(g, true);
  if (touched) g.refreshStakeSelection();
  if (up(g, button)) pair(g, k_touchKeyFire);
  rightSoft(g);
}

void mapShop(cGame& g) {
  rightSoftHighlight(g);
  leftSoftHighlight(g, {99, 132, 40, 40});
  // The item is the shop's select key: it opens the detail panel, and then
  // asks to buy (or, owned, to equip) as the panel's "buy" tag does.
  if (up(g, {99, 137, 40, 40})) {
    press(g, k_touchKeyLeftSoft);
    g.m_leftSoftHighlight = 0;
  }
  if (g.m_shopPanelFullyOpen && up(g, {150, 350, 44, 22})) press(g, k_touchKeyLeftSoft);
  if (up(g, {42, 135, 40, 40})) press(g, k_touchKeyLeft);
  if (up(g, {160, 135, 40, 40})) press(g, k_touchKeyRight);
  if (up(g, {97, 80, 40, 40})) press(g, k_touchKeyUp);
  if (up(g, {97, 185, 40, 40})) press(g, k_touchKeyDown);
  // The back button goes back: with the detail panel open it slides the
  // panel away, else it leaves the shop.
  rightSoft(g);
}

void mapIGM(cGame& g) {
  Rect rows[5];
  int32_t values[5];
  int32_t n = 0;
  for (int32_t selection = 0; selection < 5; ++selection) {
    // With one hidden option the second entry takes no row.
    if (g.igmInvisibleOptions == 1 && selection == 1) continue;
    rows[n] = row(118 + 40 * n, 24);
    values[n] = selection;
    ++n;
  }
  rowsDown(g, rows, values, n, -1, false);
  rightSoftHighlight(g);
  if (rowsUp(g, rows, n) >= 0) press(g, k_touchKeyLeftSoft);
}

// A single button: highlight while the pen is down on it, press 17 on a pen-up.
void mapMainButton(cGame& g, const Rect& button) {
  leftSoftHighlight(g, button);
  if (up(g, button)) press(g, k_touchKeyLeftSoft);
}

void mapPostMatchMenu(cGame& g) {
  uint8_t& armed = g.m_screenFlags[k_screenFlagPostMatchConfirm];
  if (!armed) {
    Rect rows[4];
    int32_t values[4];
    for (int32_t i = 0; i < 4; ++i) {
      rows[i] = row(97 + 35 * i, 20);
      values[i] = i;
    }
    rowsDown(g, rows, values, 4, -1, false);
    if (rowsUp(g, rows, 4) >= 0) armed = 1;
    return;
  }
  rightSoftHighlight(g);
  if (up(g, kRightSoft)) {
    armed = 0;
    g.m_rightSoftHighlight = 0;
    return;
  }
  if (up(g, kAboveSoftKeys)) {
    press(g, k_touchKeyLeftSoft);
    armed = 0;
  }
}

void mapTournamentFieldChoice(cGame& g) {
  const Rect rows[] = {row(141, 24), row(181, 24)};
  const int32_t values[] = {0, 1};
  rowsDown(g, rows, values, 2, -1, false);
  rightSoftHighlight(g);
  if (rowsUp(g, rows, 2) >= 0) press(g, k_touchKeyLeftSoft);
  rightSoft(g);
}

void mapAchievementList(cGame& g) {
  const Rect pageButton{82, 275, 66, 25};
  pagedList(g, 97, 5, 5, pageButton);  // a row sends nothing
  rightSoft(g);
  pageButtonUp(g, pageButton, 5);
}

void mapBallInHand(cGame& g);
void mapAim(cGame& g);
void mapSpinSelector(cGame& g);

void mapDoubleSoftThen(cGame& g) {
  if (penDown(g)) {
    rightSoftHighlight(g);
    leftSoftHighlight(g);
  }
  leftSoft(g);
  rightSoft(g, Send::Pair);
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

void mapMessageBox(cGame& g) {
  rightSoftHighlight(g);
  // Taps in the first 500 ms after the box opened are dropped, not kept for
  // later.
  if (up(g, kAboveSoftKeys) &&
      static_cast<int64_t>(g.m_gameClock) - static_cast<int64_t>(g.m_messageTime) > 500) {
    pair(g, k_touchKeyFire);
    g.m_messageTime = -1;
  }
  rightSoft(g);
}

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

// ----------------------------------------------------- table screens

void mapBallInHand(cGame& g) {
  rightSoftHighlight(g);
  if (isHumanAtTable(g)) fireButton(g, g.currentPlayer == 1, false);
  rightSoft(g, Send::Pair);

  // Cue-ball placement from the pen-down point.
  int32_t px = g.pointerX;
  int32_t py = g.pointerY;
  const bool onTable = px >= 85 || (isTwoPlayerSecond(g) && px < 156);
  if (!onTable || !isHumanAtTable(g) || py >= 300 || py == kNoPoint || g.m_subState != k_subStateInGameUpdate ||
      px == kNoPoint)
    return;
  const bool uk = g.ruleSet == 1;
  if (g.ballInHandInD && uk && py < 203) py = 202;
  const int64_t panel = g.currentPlayer == 1 ? 6 : 67;
  int64_t x = (px - panel) * kQ14One;
  int64_t y = -static_cast<int64_t>(py) * kQ14One;
  if (g.ballInHandInD) {
    if (uk) {
      // Into the D: radius 38.0 around (85.0, -201.0).
      constexpr int64_t cx = 0x154000, cy = -0x324000, r = 0x98000;
      const int64_t dx = x - cx, dy = y - cy;
      const uint64_t sq = static_cast<uint64_t>(dx * dx + dy * dy);
      if (sq > static_cast<uint64_t>(r * r)) {
        uint64_t len = 0;
        for (uint64_t bit = uint64_t{1} << 31; bit; bit >>= 1)
          if ((len | bit) * (len | bit) <= sq) len |= bit;
        x = cx + dx * r / static_cast<int64_t>(len);
        y = cy + dy * r / static_cast<int64_t>(len);
      }
    } else if (y > -0x328000) {
      y = -0x328000;  // behind the head line, -202.0
    }
  }
  if (x < 0x56000) x = 0x56000;
  if (x > 0x24E000) x = 0x24E000;
  if (y < -4546560) y = -4546560;
  if (y > -401408) y = -401408;
  g.handX = static_cast<int32_t>(x);
  g.handY = static_cast<int32_t>(y);
}

void mapAim(cGame& g) {
  const bool secondSide = isTwoPlayerSecond(g);
  rightSoftHighlight(g);
  leftSoftHighlight(g, kLeftSoft, true);
  leftSoft(g, true);
  rightSoft(g, Send::Pair);
  fireButton(g, secondSide, true);
  if (secondSide) {
    repeatButton(g, {198, 295, 40, 40}, k_touchKeyFineTurnB, &g.m_rightArrowHighlight);
    repeatButton(g, {158, 295, 40, 40}, k_touchKeyFineTurnA, &g.m_leftArrowHighlight);
  } else {
    repeatButton(g, {2, 295, 40, 40}, k_touchKeyFineTurnA, &g.m_leftArrowHighlight);
    repeatButton(g, {42, 295, 40, 40}, k_touchKeyFineTurnB, &g.m_rightArrowHighlight);
  }
}

void mapShotPower(cGame& g) {
  mapDoubleSoftThen(g);
  fireButton(g, g.currentPlayer == 1, true);
}

void mapBallsMoving(cGame& g) {
  mapDoubleSoftThen(g);
  if (up(g, {106, 303, 40, 40})) pair(g, k_touchKeyFire);
}

void spinButton(cGame& g, int32_t x) {
  const Rect button{x, 0, 70, 45};
  if (penDown(g)) g.m_spinButtonHighlight = kept(g, button);
  if (up(g, button)) {
    pair(g, k_touchKeySpinButton);
    g.m_spinButtonHighlight = 0;
  }
}

void spinArrows(cGame& g, int32_t left) {
  // The pad: up and down in the middle column, left and right beside them.
  const int32_t middle = left + 45;
  repeatButton(g, {middle, 206, 40, 40}, k_touchKeyUp, &g.m_upArrowHighlight);
  repeatButton(g, {middle, 250, 40, 40}, k_touchKeyDown, &g.m_downArrowHighlight);
  repeatButton(g, {left, 227, 40, 40}, k_touchKeyLeft, &g.m_leftArrowHighlight);
  repeatButton(g, {middle + 43, 227, 40, 40}, k_touchKeyRight, &g.m_rightArrowHighlight);
}

void mapSpinSelector(cGame& g) {
  if (isTwoPlayerSecond(g)) {
    spinButton(g, 170);
    spinArrows(g, 25);
  } else {
    if (!g.spinButtonHidden) spinButton(g, 2);
    if (!g.spinArrowsLocked) spinArrows(g, 88);
  }
  // A lesson's text box over the selector: a tap anywhere turns its page. The
  // fire key is one of the keys it reads; key 17 is the match's menu key.
  if (g.gameType == 5 && g.spinArrowsLocked) {
    if (up(g, kWholeScreen)) pair(g, k_touchKeyFire);
    return;
  }
  // The selector's "Back" on the left soft key closes it: it sends the key
  // the selector closes on (the left soft key's own would open the in-game
  // menu and leave the selector open).
  const int32_t close = g.altPanelLayout ? k_touchKeyLeftSoft : k_touchKeyRightSoft;
  // Lit only while the pen rests on the key, and dark again when it closes.
  leftSoftHighlight(g, kLeftSoft, true);
  if (up(g, kLeftSoft)) {
    pair(g, close);
    g.m_leftSoftHighlight = 0;
  }
}

void mapState(cGame& g) {
  switch (g.s_gameState) {
    case k_stateFirstRunQuestion: mapFirstRunQuestion(g); break;
    case k_stateTitle:
      if (up(g, kWholeScreen)) press(g, k_touchKeyFire);
      break;
    case k_stateMainMenu: mapMainMenu(g); break;
    case k_stateQuestion: mapQuestion(g); break;
    case k_stateOptions:
    case k_stateHelpMenu: mapOptions(g); break;
    case k_stateRulesChoice: mapRulesChoice(g); break;
    case k_stateCharacterSelect: mapCharacterSelect(g); break;
    case k_statePub: mapPub(g); break;
    case k_stateTutorialChoice: mapTutorialChoice(g); break;
    case k_stateTournamentMenu:
      mapRows(g, {106, 154, 205}, 40);
      rightSoft(g);
      break;
    case k_stateCareerCharacterSelect: mapCareerCharacterSelect(g); break;
    case k_stateCareerIntro: mapWholeScreenBesideBack(g, k_touchKeyLeftSoft); break;
    case k_stateChallengeMenu:
      mapRows(g, {97, 132, 167, 202, 237}, 20);
      rightSoft(g);
      break;
    case k_stateChallengeList: mapChallengeList(g); break;
    case k_stateTournamentCharacterSelect: mapTournamentCharacterSelect(g); break;
    case k_stateTournamentStage:
      // The bracket's back button first; anywhere else goes on.
      rightSoft(g);
      if (up(g, kWholeScreen)) pair(g, k_touchKeyFire);
      mapTournamentCharacterSelect(g);
      break;
    case k_stateTableChoice: mapTableChoice(g); break;
    case k_stateVersus: mapWholeScreenBesideBack(g, k_touchKeyFineTurnB); break;
    case k_stateStakeChoice: mapStakeChoice(g); break;
    case k_stateHelpText:
      rightSoftHighlight(g);
      holdScroll(g, {103, 72, 40, 40}, {103, 299, 40, 40});
      rightSoft(g);
      break;
    case k_stateAchievementMenu:
      mapRows(g, {101, 151, 201}, 30);
      rightSoft(g);
      break;
    case k_stateAchievementList: mapAchievementList(g); break;
    case k_stateShop: mapShop(g); break;
    case k_stateGameOver:
    case k_stateItemBought:
      if (up(g, kWholeScreen)) press(g, k_touchKeyLeftSoft);
      break;
    case k_stateFrameWon:
      // The frame's dialog waits for select: a tap gives its fire key (the
      // left soft key would open the in-game menu).
      if (up(g, kWholeScreen)) pair(g, k_touchKeyFire);
      break;
    case k_stateAbout:
      holdScroll(g, {98, 60, 50, 40}, {98, 300, 40, 40});
      rightSoft(g);
      break;
    case k_stateIGM: mapIGM(g); break;
    case k_stateInGameQuestion: mapRows(g, {153, 205}, 40); break;
    case k_stateChallengeUnlocked:
    case k_stateCharacterUnlocked: mapMainButton(g, {98, 293, 40, 40}); break;
    case k_statePostMatchMenu: mapPostMatchMenu(g); break;
    case k_stateTournamentPrize:
      if (up(g, kWholeScreen)) pair(g, k_touchKeyLeftSoft);
      break;
    case k_stateContinue: mapMainButton(g, {100, 290, 40, 40}); break;
    case k_stateTournamentFieldChoice: mapTournamentFieldChoice(g); break;
    case k_stateTournamentFieldConfirm: mapRows(g, {154, 206}, 40); break;
    case k_stateShopExplanation: mapWholeScreenBesideBack(g, k_touchKeyLeftSoft); break;
    case k_stateCareerComplete:
      g.m_leftSoftHighlight = penDown(g);
      if (up(g, kWholeScreen)) pair(g, k_touchKeyLeftSoft);
      break;
    case k_stateOpponentIntro:
    case k_stateResultLines:
      rightSoftHighlight(g);
      if (up(g, kWholeScreen)) pair(g, k_touchKeyFire);
      rightSoft(g, Send::Pair);
      break;
    case k_stateBallInHand: mapBallInHand(g); break;
    case k_stateAim: mapAim(g); break;
    case k_stateShotPower: mapShotPower(g); break;
    case k_stateBallsMoving: mapBallsMoving(g); break;
    case k_stateAfterShot:
    case k_stateMatchNotices:
    case k_stateTutorialLessonIntro:
    case k_stateChallengeIntro:
    case k_stateTutorialFinished:
      // A tap dismisses the message these states show: the fire key is a
      // dismiss key; key 17 is not, and it is the match's menu key.
      if (up(g, kWholeScreen)) pair(g, k_touchKeyFire);
      break;
    case k_stateHumanBallInHandStart:
      g.m_leftSoftHighlight = 0;
      g.m_rightSoftHighlight = 0;
      break;
    case k_stateComputerShot: rightSoft(g, Send::Pair); break;
    case k_stateSpinSelector: mapSpinSelector(g); break;
    case k_stateMessageBox: mapMessageBox(g); break;
    case k_stateBet: mapBet(g); break;
    case k_stateCoinToss: mapCoinToss(g); break;
    case k_stateBreakChoice: mapBreakChoice(g); break;
    default:
      // Screens without buttons: a tap is key 4.
      if (up(g, kWholeScreen)) press(g, k_touchKeyFineTurnB);
      break;
  }
}

// Sine and cosine of Q14 degrees through the 4096-step table.
Q14 sinDegrees(Q14 d) { return sinQ14(static_cast<int32_t>(static_cast<int64_t>(d) * 4096 / 5898240)); }
Q14 cosDegrees(Q14 d) { return cosQ14(static_cast<int32_t>(static_cast<int64_t>(d) * 4096 / 5898240)); }

}  // namespace

bool cGame::isPointerPressedIn(int32_t x, int32_t y, int32_t w, int32_t h, bool consume) {
  if (!touchRectContains(x, y, w, h, pointerX, pointerY)) return false;
  m_pointerHit = 1;
  if (consume) {
    pointerX = pointerY = kNoPoint;
    m_pointerHit = 0;
  }
  return true;
}

bool cGame::isPointerReleasedIn(int32_t x, int32_t y, int32_t w, int32_t h, bool consume) {
  if (!touchRectContains(x, y, w, h, releaseX, releaseY)) return false;
  m_pointerHit = 1;
  if (consume) {
    releaseX = releaseY = kNoPoint;
    m_pointerHit = 0;
  }
  return true;
}

bool cGame::isPointOnCueSide(int32_t x, int32_t y) const {
  constexpr Q14 k90 = 0x168000, k180 = 0x2D0000, k360 = 0x5A0000;
  Q14 a = wrapAdd(cueAimAngle, k90);
  if (a > k180) a = wrapSub(a, k360);
  const int64_t s = sinDegrees(a);
  const int64_t c = cosDegrees(a);
  const int64_t across = static_cast<int64_t>(cueScreenX) - x;
  if (c == 0) return across * s < 0;
  const int64_t lineY = cueScreenY + across * s / c;
  return c < 0 ? lineY < y : lineY > y;
}

void cGame::mapPointerToKeys() {
  // A press and release that both came since the last pass: the pass sees
  // the pen down at the press point as well as the pen-up, so a click
  // shorter than a frame moves the highlight and the selection as a longer
  // one does. The pen is up again after the pass.
  const bool shortClick = pressUnmapped && pointerX == kNoPoint && releaseX != kNoPoint;
  if (shortClick) {
    pointerX = pressPointX;
    pointerY = pressPointY;
  }
  pressUnmapped = 0;
  mapScreenTouches();
  if (shortClick) pointerX = pointerY = kNoPoint;
}

void cGame::mapScreenTouches() {
  if (s_gameState != k_stateIGM && hasCompletionNotice()) {
    leftSoftHighlight(*this);
    if (up(*this, kLeftSoft)) {
      pair(*this, k_touchKeyLeftSoft);
      m_leftSoftHighlight = 0;
    }
  }
  // A box over the table that waits for the player takes the touches above
  // the soft-key bar: a tap closes it with the fire key, one of the keys it
  // is closed by, and the pen aims, places or presses nothing under it.
  if (m_inGame == 1 && s_gameState >= 500 && s_gameState <= 899 && isBoxOverTable()) {
    down(*this, kAboveBar);
    if (up(*this, kAboveBar)) pair(*this, k_touchKeyFire);
  }
  // A screen's row maps its own touches; the others share mapState.
  const cGameScreen* row = findScreen(m_frontEndScreens, m_inGameScreens, s_gameState);
  if (row && row->mapTouch)
    row->mapTouch(*this);
  else
    mapState(*this);
}
