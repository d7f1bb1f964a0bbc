// Stylus to virtual keys: the touch layout and the screen flags that the
// mapping keeps for the screens that read them.
#pragma once

#include <cstdint>
#include <initializer_list>

// Touch rectangles are laid out in a 240 x 378 space: y is scaled to the
// 320-pixel screen, x, width and height are not.
constexpr int32_t k_touchLayoutHeight = 378;

// Screen y of a layout y (rounding down).
constexpr int32_t touchLayoutY(int32_t y) { return y * 320 / k_touchLayoutHeight; }

// True when the screen point lies in the layout rectangle; both ends are
// included.
constexpr bool touchRectContains(int32_t x, int32_t y, int32_t w, int32_t h, int32_t px, int32_t py) {
  const int32_t top = touchLayoutY(y);
  return px >= x && px <= x + w && py >= top && py <= top + h;
}

// Screen flags (cleared by every setState) used as phase flags.
constexpr int32_t k_screenFlagDelayedSelect = 0;    // rule-set choice: a row was touched
constexpr int32_t k_screenFlagChallengeConfirm = 1;  // challenge list: the next tap confirms
constexpr int32_t k_screenFlagPostMatchConfirm = 2;  // post-match menu: the next tap confirms

// Virtual keys that touches produce.
constexpr int32_t k_touchKeyFineTurnA = 2;
constexpr int32_t k_touchKeyFineTurnB = 4;
constexpr int32_t k_touchKeyUp = 11;
constexpr int32_t k_touchKeyLeft = 12;
constexpr int32_t k_touchKeyDown = 13;
constexpr int32_t k_touchKeyRight = 14;
constexpr int32_t k_touchKeySpinButton = 16;
constexpr int32_t k_touchKeyLeftSoft = 17;
constexpr int32_t k_touchKeyRightSoft = 18;
constexpr int32_t k_touchKeyFire = 19;

class cGame;

// The kit every screen's touch mapping is made of: rectangles in the touch
// layout, pen-down and pen-up tests, keys sent through the applet, menu rows,
// soft keys and the table's buttons. A screen's mapping, and a match
// state's, lives in its file beside its row.
namespace touch {

struct Rect {
  int32_t x, y, w, h;
};

constexpr Rect kLeftSoft{0, 338, 60, 40};
constexpr Rect kRightSoft{197, 338, 43, 40};
constexpr Rect kWholeScreen{0, 0, 240, 320};
constexpr Rect kAboveSoftKeys{0, 0, 240, 280};
constexpr Rect kAboveBar{0, 0, 240, 285};  // all but the soft-key bar

// A menu row: x 18, width 212.
constexpr Rect row(int32_t y, int32_t h) { return {18, y, 212, h}; }

constexpr bool contains(const Rect& r, int32_t px, int32_t py) { return touchRectContains(r.x, r.y, r.w, r.h, px, py); }

// Keys go through the bridge's key entry when this game is the bridge's;
// otherwise (a game without an applet) straight to the key operations.
void press(cGame& g, int32_t key);
void release(cGame& g, int32_t key);
void pair(cGame& g, int32_t key);  // a press and its release

// Pen-down in r (consumed unless `consume` is false), pen-up in r
// (consumed), pen-down kept for later tests.
bool down(cGame& g, const Rect& r, bool consume = true);
bool up(cGame& g, const Rect& r);
bool kept(cGame& g, const Rect& r);
// The pen is down somewhere on the screen (a guard; it consumes nothing).
bool penDown(const cGame& g);

// While the pen is down: selection := the value of the row under it, else
// `elsewhere`.
void rowsDown(cGame& g, const Rect* rows, const int32_t* values, int32_t n, int32_t elsewhere, bool keep);
// Index of the row that a pen-up hit, or -1.
int32_t rowsUp(cGame& g, const Rect* rows, int32_t n);
// The common menu: rows give their index, elsewhere -1; a pen-up on a row
// sends press 17.
void menuRows(cGame& g, const Rect* rows, int32_t n, bool keep = false);
// menuRows over full-width rows of height h at the given tops (8 at most).
void mapRows(cGame& g, std::initializer_list<int32_t> tops, int32_t h);

void rightSoftHighlight(cGame& g, bool keep = false);
void leftSoftHighlight(cGame& g, const Rect& r = kLeftSoft, bool keep = false);
enum class Send { Press, Pair };
void send(cGame& g, int32_t key, Send how);
// Right soft key: highlight while the pen is down, the key on a pen-up.
void rightSoft(cGame& g, Send how = Send::Press, int32_t key = k_touchKeyRightSoft, bool keep = false);
// Left soft key: highlight while the pen is down, pair 17 on a pen-up.
void leftSoft(cGame& g, bool keep = false);
// A single button: highlight while the pen is down on it, press 17 on a pen-up.
void mapMainButton(cGame& g, const Rect& button);
// A tap anywhere acts as `key`, except on the back button in the right soft
// key's place, which is tested first: it goes back.
void mapWholeScreenBesideBack(cGame& g, int32_t key);
// Hold-scroll: up while the pen rests on A, down while on B.
void holdScroll(cGame& g, const Rect& a, const Rect& b);
// The options list and the help menu: rows 0-2, the fourth row's entry (4
// over a match, else 3) and, where n is 5, the narrower fifth row clear of
// the back key; the back key.
void mapOptionRows(cGame& g, int32_t n);
// A screen without buttons: a tap is key 4.
void mapNoButtons(cGame& g);
// A chosen row waits for its confirming tap: the back key drops it, a tap
// above the soft keys confirms it with press 17; either ends the wait.
void confirmTap(cGame& g, uint8_t& armed);

// The flags of a menu entry (~0 outside the list).
uint32_t flagsOf(const cGame& g, int32_t entry);
// A paged list: rows of the current page, a page-change button (selection
// -2). Returns the row a pen-up hit (-1 none); a pen-up on the button
// switches the page (pageButtonUp).
int32_t pagedList(cGame& g, int32_t top, int32_t rows, int32_t pageSize, const Rect& pageButton);
void pageButtonUp(cGame& g, const Rect& pageButton, int32_t pageSize);

// The table screens. The fire button (the right one or the left): highlight
// while the pen is down (the point kept with keep), pair 19 on a pen-up.
void fireButton(cGame& g, bool right, bool keep);
// A button that repeats its key every frame while the pen rests on it.
void repeatButton(cGame& g, const Rect& r, int32_t key, uint8_t* highlight);
// Player 1 of a two-player match: the buttons stand on the other side.
bool isTwoPlayerSecond(const cGame& g);
// Both soft keys' highlights while the pen is down; the left soft key, then
// the right one as pair 18.
void mapDoubleSoftThen(cGame& g);
// A tap anywhere is the fire key: it dismisses what the state shows (key 17
// would not: it is the match's menu key).
void mapTapAsFire(cGame& g);
// A text box over the table: the right soft key's highlight; a tap anywhere
// (the right soft key too) turns it with pair 19.
void mapTextBoxTap(cGame& g);

}  // namespace touch

// Entries of other topics that the frame step, the state machine and init
// call: the stylus mapping (cGameStylus.cpp), the match's update and paint
// (cGamePool.cpp, cGamePoolPaint.cpp), start-up loading (cGameLoadInit.cpp),
// the in-game menu (cGameInterfaces/InGameMenu.cpp), music
// (cGameSoundControl.cpp), the resource pack index (cGame.cpp) and the
// table's objects (cGameTable.cpp).
void mapPointerToKeys(cGame& game);
void mapScreenTouches(cGame& game);
// stylus mapping (cGameStylus.cpp): touches become this frame's keys
// True when the pen-down (pen-up) point lies in the layout rectangle; a
// hit sets the pointer-hit byte, and with consume removes the point.
bool isPointerPressedIn(cGame& game, int32_t x, int32_t y, int32_t w, int32_t h, bool consume);
bool isPointerReleasedIn(cGame& game, int32_t x, int32_t y, int32_t w, int32_t h, bool consume);
// Which side of the cue line, as last drawn, a screen point lies on.
bool isPointOnCueSide(const cGame& game, int32_t x, int32_t y);

struct StylusState {
  uint8_t pointerHit = 0;
  uint8_t leftSoftHighlight = 0;
  uint8_t fireHighlight = 0;
  uint8_t leftArrowHighlight = 0;
  uint8_t rightArrowHighlight = 0;
  uint8_t upArrowHighlight = 0;
  uint8_t downArrowHighlight = 0;
  uint8_t rightSoftHighlight = 0;
  uint8_t spinButtonHighlight = 0;
  uint32_t delayedSelectTime = 0;  // rule-set choice: when a row was touched
  int32_t messageTime = -1;        // when the message box opened; -1 after a confirm
  // Read by the mapping, set by the screens and the match.
  int32_t cueAimAngle = 0;         // Q14 degrees, as last drawn with the cue
  int32_t cueScreenX = 0;
  int32_t cueScreenY = 0;
  uint8_t spinButtonHidden = 0;
  uint8_t spinArrowsLocked = 0;  // a lesson's box is open: a tap off the selector's controls turns its page
};

// The pen-down test under a second name.
bool isPointerDownIn(cGame& game, int32_t x, int32_t y, int32_t w, int32_t h, bool consume);
