// Stylus mapping: once a frame the pen-down and pen-up points that the touch
// glue stored are hit-tested against the current screen's buttons and turned
// into virtual key presses and releases, menu selections and the highlight
// bytes the screens draw pressed buttons from. The kit of touch helpers is
// here; each screen's mapping, and each match state's, is in its file with
// its row.
#include "game/Korvane/cGame/cGameStylus.h"

#include "game/Korvane/cGame/cGame.h"
#include "platform/brew/AppletGameBridge.h"
#include <algorithm>
#include <initializer_list>

#include "zul/lm/Q14.h"

namespace {

constexpr int32_t kNoPoint = -1;

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

// Paged lists: the second page shows from entry `pageSize` on.
bool onSecondPage(const cGame& g, int32_t pageSize) { return g.menu.firstVisible >= pageSize; }
void switchPage(cGame& g, int32_t pageSize) { g.menu.firstVisible = onSecondPage(g, pageSize) ? 0 : pageSize; }

}  // namespace

namespace touch {

void press(cGame& g, int32_t key) { sendKey(g, true, key); }
void release(cGame& g, int32_t key) { sendKey(g, false, key); }
void pair(cGame& g, int32_t key) {
  press(g, key);
  release(g, key);
}

bool down(cGame& g, const Rect& r, bool consume) { return isPointerPressedIn(g, r.x, r.y, r.w, r.h, consume); }
bool up(cGame& g, const Rect& r) { return isPointerReleasedIn(g, r.x, r.y, r.w, r.h, true); }
bool kept(cGame& g, const Rect& r) { return down(g, r, false); }

bool penDown(const cGame& g) { return contains(kWholeScreen, g.pointerX, g.pointerY); }

void rowsDown(cGame& g, const Rect* rows, const int32_t* values, int32_t n, int32_t elsewhere, bool keep) {
  if (!penDown(g)) return;
  int32_t selection = elsewhere;
  for (int32_t i = 0; i < n; ++i) {
    if (down(g, rows[i], !keep)) {
      selection = values[i];
      break;
    }
  }
  g.menu.selection = selection;
}

int32_t rowsUp(cGame& g, const Rect* rows, int32_t n) {
  for (int32_t i = 0; i < n; ++i)
    if (up(g, rows[i])) return i;
  return -1;
}

void menuRows(cGame& g, const Rect* rows, int32_t n, bool keep) {
  int32_t values[8] = {};
  if (n > 8) n = 8;
  for (int32_t i = 0; i < n; ++i) values[i] = i;
  rowsDown(g, rows, values, n, -1, keep);
  if (rowsUp(g, rows, n) >= 0) press(g, k_touchKeyLeftSoft);
}

void mapRows(cGame& g, std::initializer_list<int32_t> tops, int32_t h) {
  Rect rows[8];
  int32_t n = 0;
  for (int32_t y : tops)
    if (n < 8) rows[n++] = row(y, h);
  menuRows(g, rows, n);
}

void rightSoftHighlight(cGame& g, bool keep) {
  if (penDown(g)) g.stylus.rightSoftHighlight = down(g, kRightSoft, !keep);
}

void leftSoftHighlight(cGame& g, const Rect& r, bool keep) {
  if (penDown(g)) g.stylus.leftSoftHighlight = down(g, r, !keep);
}

void send(cGame& g, int32_t key, Send how) {
  if (how == Send::Pair)
    pair(g, key);
  else
    press(g, key);
}

void rightSoft(cGame& g, Send how, int32_t key, bool keep) {
  rightSoftHighlight(g, keep);
  if (up(g, kRightSoft)) {
    send(g, key, how);
    g.stylus.rightSoftHighlight = 0;
  }
}

void leftSoft(cGame& g, bool keep) {
  leftSoftHighlight(g, kLeftSoft, keep);
  if (up(g, kLeftSoft)) {
    pair(g, k_touchKeyLeftSoft);
    g.stylus.leftSoftHighlight = 0;
  }
}

void mapMainButton(cGame& g, const Rect& button) {
  leftSoftHighlight(g, button);
  if (up(g, button)) press(g, k_touchKeyLeftSoft);
}

void mapWholeScreenBesideBack(cGame& g, int32_t key) {
  rightSoft(g);
  if (up(g, kWholeScreen)) press(g, key);
}

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

void mapOptionRows(cGame& g, int32_t n) {
  const Rect rows[] = {row(126, 28), row(176, 28), row(226, 28), row(276, 28), {18, 325, 170, 28}};
  const int32_t values[] = {0, 1, 2, g.frontEnd.menusOverMatch ? 4 : 3, 4};
  rowsDown(g, rows, values, n, -1, false);
  if (rowsUp(g, rows, n) >= 0) press(g, k_touchKeyLeftSoft);
  rightSoft(g);
}

void mapNoButtons(cGame& g) {
  if (up(g, kWholeScreen)) press(g, k_touchKeyFineTurnB);
}

void confirmTap(cGame& g, uint8_t& armed) {
  rightSoftHighlight(g);
  if (up(g, kRightSoft)) {
    armed = 0;
    g.stylus.rightSoftHighlight = 0;
    return;
  }
  if (up(g, kAboveSoftKeys)) {
    press(g, k_touchKeyLeftSoft);
    armed = 0;
  }
}

uint32_t flagsOf(const cGame& g, int32_t entry) {
  if (entry < 0 || entry >= static_cast<int32_t>(sizeof g.menu.flags / sizeof g.menu.flags[0])) return ~0u;
  return g.menu.flags[entry];
}

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
    g.menu.selection = -1;
  }
}

constexpr Rect kFireLeft{10, 170, 40, 40};
constexpr Rect kFireRight{190, 170, 40, 40};

// Fire button: highlight while the pen is down, pair 19 on a pen-up.
void fireButton(cGame& g, bool right, bool keep) {
  const Rect& fire = right ? kFireRight : kFireLeft;
  if (penDown(g)) g.stylus.fireHighlight = down(g, fire, !keep);
  if (up(g, fire)) {
    pair(g, k_touchKeyFire);
    g.stylus.fireHighlight = 0;
  }
}

// A button that repeats its key every frame while the pen rests on it.
void repeatButton(cGame& g, const Rect& r, int32_t key, uint8_t* highlight) {
  const bool hit = kept(g, r);
  if (highlight) *highlight = hit;
  if (hit) pair(g, key);
}

bool isTwoPlayerSecond(const cGame& g) {
  return g.match.currentPlayer == 1 && g.match.gameType == k_gameTypeSingleMatch;
}

void mapDoubleSoftThen(cGame& g) {
  if (penDown(g)) {
    rightSoftHighlight(g);
    leftSoftHighlight(g);
  }
  leftSoft(g);
  rightSoft(g, Send::Pair);
}

void mapTapAsFire(cGame& g) {
  if (up(g, kWholeScreen)) pair(g, k_touchKeyFire);
}

void mapTextBoxTap(cGame& g) {
  rightSoftHighlight(g);
  if (up(g, kWholeScreen)) pair(g, k_touchKeyFire);
  rightSoft(g, Send::Pair);
}

}  // namespace touch

namespace {

using namespace touch;

// Sine and cosine of Q14 degrees through the 4096-step table.
Q14 sinDegrees(Q14 d) { return sinQ14(static_cast<int32_t>(static_cast<int64_t>(d) * 4096 / 5898240)); }
Q14 cosDegrees(Q14 d) { return cosQ14(static_cast<int32_t>(static_cast<int64_t>(d) * 4096 / 5898240)); }

}  // namespace

bool isPointerPressedIn(cGame& game, int32_t x, int32_t y, int32_t w, int32_t h, bool consume) {
  if (!touchRectContains(x, y, w, h, game.pointerX, game.pointerY)) return false;
  game.stylus.pointerHit = 1;
  if (consume) {
    game.pointerX = game.pointerY = kNoPoint;
    game.stylus.pointerHit = 0;
  }
  return true;
}

bool isPointerReleasedIn(cGame& game, int32_t x, int32_t y, int32_t w, int32_t h, bool consume) {
  if (!touchRectContains(x, y, w, h, game.releaseX, game.releaseY)) return false;
  game.stylus.pointerHit = 1;
  if (consume) {
    game.releaseX = game.releaseY = kNoPoint;
    game.stylus.pointerHit = 0;
  }
  return true;
}

bool isPointOnCueSide(const cGame& game, int32_t x, int32_t y) {
  constexpr Q14 k90 = 0x168000, k180 = 0x2D0000, k360 = 0x5A0000;
  Q14 a = wrapAdd(game.stylus.cueAimAngle, k90);
  if (a > k180) a = wrapSub(a, k360);
  const int64_t s = sinDegrees(a);
  const int64_t c = cosDegrees(a);
  const int64_t across = static_cast<int64_t>(game.stylus.cueScreenX) - x;
  if (c == 0) return across * s < 0;
  const int64_t lineY = game.stylus.cueScreenY + across * s / c;
  return c < 0 ? lineY < y : lineY > y;
}

void mapPointerToKeys(cGame& game) {
  // A press and release that both came since the last pass: the pass sees
  // the pen down at the press point as well as the pen-up, so a click
  // shorter than a frame moves the highlight and the selection as a longer
  // one does. The pen is up again after the pass.
  const bool shortClick = game.pressUnmapped && game.pointerX == kNoPoint && game.releaseX != kNoPoint;
  if (shortClick) {
    game.pointerX = game.pressPointX;
    game.pointerY = game.pressPointY;
  }
  game.pressUnmapped = 0;
  mapScreenTouches(game);
  if (shortClick) game.pointerX = game.pointerY = kNoPoint;
}

void mapScreenTouches(cGame& game) {
  if (game.states.gameState != k_stateIGM && hasCompletionNotice(game)) {
    leftSoftHighlight(game);
    if (up(game, kLeftSoft)) {
      pair(game, k_touchKeyLeftSoft);
      game.stylus.leftSoftHighlight = 0;
    }
  }
  // A box over the table that waits for the player takes the touches above
  // the soft-key bar: a tap closes it with the fire key, one of the keys it
  // is closed by, and the pen aims, places or presses nothing under it.
  if (game.states.inGame == 1 && isMatchState(game.states.gameState) && isBoxOverTable(game)) {
    down(game, kAboveBar);
    if (up(game, kAboveBar)) pair(game, k_touchKeyFire);
  }
  // A screen's row maps its own touches, else the match state's row; a
  // state without either takes a tap as key 4.
  const cGameScreen* screen = findScreen(game.frontEndScreens, game.inGameScreens, game.states.gameState);
  if (!screen || !screen->mapTouch) screen = k_matchScreens.find(game.states.gameState);
  if (screen && screen->mapTouch)
    screen->mapTouch(game);
  else
    mapNoButtons(game);
}

bool isPointerDownIn(cGame& game, int32_t x, int32_t y, int32_t w, int32_t h, bool consume) {
  return isPointerPressedIn(game, x, y, w, h, consume);
}
